// Reading table files: the native layout (also appended below the table), normal and transposed text.

#include <algorithm>
#include <cstring>

#include "core/file_io.h"
#include "core/text.h"
#include "table/edit_buffer.h"
#include "table/work_files.h"

namespace tav {

namespace {

constexpr int kMaxColumns = 1 << 24;
// Cell handles are 32 bits and the reader holds the file in memory: larger files are refused.
constexpr std::size_t kMaxFileBytes = std::size_t{2} << 30;
constexpr std::int64_t kStatusEvery = 1024;

std::string utf8Of(char32_t c) {
    std::string s;
    if (c) appendUtf8(s, c);
    return s;
}

// Splits text into lines at CR LF, LF or a lone CR.
class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const char* base = text_.data() + pos_;
        std::size_t left = text_.size() - pos_;
        const void* lf = std::memchr(base, '\n', left);
        std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - base) : left;
        const void* cr = std::memchr(base, '\r', end);
        if (cr) {
            std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - base);
            line = text_.substr(pos_, at);
            pos_ += at + 1;
            if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
            return true;
        }
        line = text_.substr(pos_, end);
        pos_ += end + (lf ? 1 : 0);
        return true;
    }
    std::int64_t countRemaining() const {
        LineCursor c = *this;
        std::string_view l;
        std::int64_t n = 0;
        while (c.next(l)) ++n;
        return n;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The fields of one line: how many there are, and the non-empty ones (blanks around removed) with their
// field number. Most cells of a vegetation table are empty, so only the filled ones are kept.
struct LineFields {
    int count = 0;
    std::vector<std::pair<int, std::string_view>> filled;

    void split(std::string_view line, std::string_view delim) {
        count = 0;
        filled.clear();
        if (delim.size() == 1) {
            const char d = delim[0];
            std::size_t start = 0;
            const std::size_t n = line.size();
            for (std::size_t i = 0; i <= n; ++i) {
                if (i == n || line[i] == d) {
                    if (i > start) add(line.substr(start, i - start));
                    ++count;
                    start = i + 1;
                }
            }
            return;
        }
        std::size_t start = 0;
        for (;;) {
            std::size_t at = line.find(delim, start);
            std::string_view f = line.substr(start, at == std::string_view::npos ? at : at - start);
            if (!f.empty()) add(f);
            ++count;
            if (at == std::string_view::npos) break;
            start = at + delim.size();
        }
    }

  private:
    void add(std::string_view f) {
        f = trimBlanks(f);
        if (!f.empty()) filled.emplace_back(count, f);
    }
};

bool hasHighByte(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

}  // namespace

// Reads one file into a fresh buffer; the table being edited changes only when the whole file was read.
class TableReader {
  public:
    TableReader(TEditBuffer& target, int layout, Progress& pt) : target_(target), layout_(layout), pt_(pt) {
        fresh_.IoSettings = target.IoSettings;
        fresh_.IsSpeciesName = target.IsSpeciesName;
    }

    ReadResult run(const std::string& fname);

  private:
    bool chooseDelimiter(std::string_view firstLine);
    std::string_view convert(std::string_view field);
    void putCell(int row, int col, std::string_view field);
    int newRow(char OC, std::string_view type);
    bool ensureColumns(int n);
    bool status(std::int64_t lines, std::int64_t every);
    std::string_view logicalLine(LineCursor& lines, std::string_view first);
    void unquote(std::string& field) const;
    ReadResult readRows(LineCursor& lines);
    ReadResult readColumns(LineCursor& lines);
    void adopt();
    void appendBelow();

    TEditBuffer& target_;
    TEditBuffer fresh_;
    int layout_;
    Progress& pt_;
    std::string delim_ = ";";
    std::string quote_;
    bool cp1252_ = false;
    std::string scratch_;
    std::string logical_;
    std::string error_;
    std::int64_t lineNo_ = 0;
};

bool TableReader::status(std::int64_t lines, std::int64_t every) {
    if (lines % every == 0) {
        std::string text = alignRight(std::to_string(lines), 8) + " Zeilen gelesen.";
        pt_.setStatus(text);
        if (pt_.aborted()) return false;
    }
    return true;
}

std::string_view TableReader::convert(std::string_view field) {
    if (!cp1252_ || !hasHighByte(field)) return field;
    scratch_.clear();
    appendCp1252AsUtf8(scratch_, field);
    return scratch_;
}

int TableReader::newRow(char OC, std::string_view type) {
    TLongList& part = OC == 'A' ? fresh_.IrowA : fresh_.IrowK;
    int row = fresh_.L.AppendStringList();
    fresh_.putEntry(row, 0, convert(type));
    part.AppendLong(row);
    return row;
}

bool TableReader::ensureColumns(int n) {
    if (n > kMaxColumns) {
        error_ =
            "Zeile " + std::to_string(lineNo_) + ": mehr als " + std::to_string(kMaxColumns) + " Spalten.";
        return false;
    }
    if (fresh_.GetColCount() < n) fresh_.InsCols(-9, n - fresh_.GetColCount());
    fresh_.ManyColCt = std::max(fresh_.ManyColCt, n);
    return true;
}

void TableReader::putCell(int row, int col, std::string_view field) {
    std::string_view text = convert(field);
    if (!quote_.empty() && text.find(quote_) != std::string_view::npos) {
        std::string s(text);
        unquote(s);
        fresh_.putEntry(row, col, s);
        return;
    }
    if (col < 3 || (delim_ != ";" && text.find(';') != std::string_view::npos)) {
        fresh_.putEntry(row, col, text);
        return;
    }
    // The fast path of the readers: blanks are already trimmed and the field holds no ";" or line break.
    TableStore& L = fresh_.L;
    std::uint32_t slot = static_cast<std::uint32_t>(fresh_.Icol.GetLong(col - 3) - 3);
    L.rows[row].cells.append(slot, L.pool.intern(text), L.slots);
}

bool TableReader::chooseDelimiter(std::string_view firstLine) {
    TEditBuffer& b = target_;
    if (b.DoKeepDelim && b.KeptDelim != 0) {
        delim_ = utf8Of(b.KeptDelim);
        quote_ = utf8Of(b.KeptCte);
        return true;
    }
    const auto tabs = std::count(firstLine.begin(), firstLine.end(), '\t');
    const auto semis = std::count(firstLine.begin(), firstLine.end(), ';');
    char32_t d = tabs + semis > 0 ? (semis > tabs ? U';' : U'\t') : b.IoSettings.DelimEinst;
    char32_t q = 0;
    if (d == b.IoSettings.DelimEinst) {
        q = b.IoSettings.QualiEinst;
    } else {
        const int preset = d == U'\t' ? 0 : d == U';' ? 1 : 2;
        auto answer = b.Ui->radioDialog("DlgDelimEinst", 4, preset);
        if (!answer) return false;
        if (*answer == 0) {
            d = U'\t';
        } else if (*answer == 1) {
            d = U';';
        } else {
            auto ch = b.Ui->inputText("MsgWhichChar", "MsgDelimitor", "");
            if (!ch) return false;
            std::size_t pos = 0;
            d = ch->empty() ? U'\t' : nextCodePoint(*ch, pos);
            if (*answer == 3) {
                auto qu = b.Ui->inputText("MsgWhichChar", "MsgQualifier", "");
                if (!qu) return false;
                pos = 0;
                q = qu->empty() ? 0 : nextCodePoint(*qu, pos);
            }
        }
    }
    delim_ = utf8Of(d);
    quote_ = q == d ? std::string() : utf8Of(q);
    if (b.DoKeepDelim) {
        b.KeptDelim = d;
        b.KeptCte = q;
    }
    return true;
}

// Joins physical lines while a quoted field is open; a delimiter inside quotes is kept as the quote
// character, which cannot otherwise survive (every quote is dropped), and turned back by unquote.
std::string_view TableReader::logicalLine(LineCursor& lines, std::string_view first) {
    if (quote_.empty()) return first;
    logical_.clear();
    bool inside = false;
    std::string_view line = first;
    for (;;) {
        std::size_t i = 0;
        while (i < line.size()) {
            if (line.compare(i, quote_.size(), quote_) == 0) {
                inside = !inside;
                i += quote_.size();
            } else if (inside && line.compare(i, delim_.size(), delim_) == 0) {
                logical_ += quote_;
                i += delim_.size();
            } else {
                logical_ += line[i++];
            }
        }
        if (!inside || !lines.next(line)) break;
        ++lineNo_;
        logical_ += " --- ";
    }
    return logical_;
}

void TableReader::unquote(std::string& field) const {
    // Put turns a ";" into "," and counts it, which brings up the message about replaced semicolons.
    std::size_t at = 0;
    while ((at = field.find(quote_, at)) != std::string::npos) {
        field.replace(at, quote_.size(), delim_);
        at += delim_.size();
    }
}

ReadResult TableReader::readRows(LineCursor& lines) {
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    const int firstCell = native ? 3 : 1;
    bool species = false;
    LineFields fields;
    std::string_view physical;
    while (lines.next(physical)) {
        ++lineNo_;
        std::string_view line = native ? physical : logicalLine(lines, physical);
        fields.split(line, delim_);
        if (!ensureColumns(fields.count - firstCell)) return ReadResult::Unreadable;
        int row;
        std::size_t k = 0;
        if (native) {
            if (!species && !line.empty() && (line[0] == 'A' || line[0] == 'K')) species = true;
            std::string_view type =
                !fields.filled.empty() && fields.filled[0].first == 0 ? fields.filled[0].second : "";
            row = newRow(species ? 'A' : 'K', type);
            if (!type.empty()) k = 1;
        } else {
            std::string name;
            if (!fields.filled.empty() && fields.filled[0].first == 0) {
                name = convert(fields.filled[0].second);
                if (!quote_.empty()) unquote(name);
            }
            if (!species && !name.empty() && fresh_.IsSpeciesName && fresh_.IsSpeciesName(name))
                species = true;
            row = newRow(species ? 'A' : 'K', species ? "A" : "T");
        }
        for (; k < fields.filled.size(); ++k) {
            auto [n, text] = fields.filled[k];
            // Native: field n is entry n (type, name, margin, cells); text: field 0 is the name.
            putCell(row, native ? n : (n == 0 ? 1 : n + 2), text);
        }
        if (!status(lineNo_, kStatusEvery)) return ReadResult::Aborted;
    }
    return ReadResult::Ok;
}

ReadResult TableReader::readColumns(LineCursor& lines) {
    const std::int64_t count = lines.countRemaining();
    if (!ensureColumns(static_cast<int>(std::min<std::int64_t>(count, kMaxColumns + 1))))
        return ReadResult::Unreadable;
    fresh_.ManyColCt = 0;
    int pa = -1;  // first species row, once the name line has shown one
    LineFields fields;
    std::string_view physical;
    std::int64_t n = 0;
    while (lines.next(physical)) {
        ++lineNo_;
        std::string_view line = logicalLine(lines, physical);
        fields.split(line, delim_);
        if (n >= 1 && !ensureColumns(static_cast<int>(n))) return ReadResult::Unreadable;
        const int col = n == 0 ? 1 : static_cast<int>(n) - 1 + 3;
        auto rowOf = [&](int j) {
            const bool sp = pa >= 0 && j >= pa;
            const char OC = sp ? 'A' : 'K';
            const int r = sp ? j - pa : j;
            TLongList& part = sp ? fresh_.IrowA : fresh_.IrowK;
            while (part.Count() <= r) newRow(OC, sp ? "A" : "T");
            return part.GetLong(r);
        };
        std::size_t next = 0;
        for (int j = 0; j < fields.count; ++j) {
            std::string_view text;
            if (next < fields.filled.size() && fields.filled[next].first == j)
                text = fields.filled[next++].second;
            if (n == 0 && pa < 0 && !text.empty() && fresh_.IsSpeciesName) {
                std::string name(convert(text));
                if (!quote_.empty()) unquote(name);
                if (fresh_.IsSpeciesName(name)) pa = j;
            }
            int row = rowOf(j);
            if (!text.empty()) putCell(row, col, text);
        }
        ++n;
        if (!status(lineNo_, 20)) return ReadResult::Aborted;
    }
    fresh_.RemoveEmptyEndCols();
    return ReadResult::Ok;
}

ReadResult TableReader::run(const std::string& fname) {
    TEditBuffer& b = target_;
    std::string bytes, why;
    if (!readWholeFile(fname, bytes, why, kMaxFileBytes)) {
        b.Ui->showError("Kann " + fname + " nicht öffnen (" + why + ").");
        return ReadResult::Unreadable;
    }
    if (layout_ == kLayoutObservations) {
        b.Ui->showError("Das Einlesen von Beobachtungslisten ist noch nicht verfügbar.");
        return ReadResult::Unreadable;
    }
    if (layout_ != kLayoutNative && layout_ != kLayoutAppend && layout_ != kLayoutNormal &&
        layout_ != kLayoutTransposed) {
        b.Ui->showError("Unbekanntes Dateiformat " + std::to_string(layout_) + ".");
        return ReadResult::Unreadable;
    }
    const DetectedEncoding enc = detectEncoding(bytes);
    std::string decoded;
    std::string_view text = std::string_view(bytes).substr(enc.bomLength);
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    if (enc.encoding == TextEncoding::Utf16LE || enc.encoding == TextEncoding::Utf16BE ||
        (!native && enc.encoding == TextEncoding::Windows1252)) {
        decoded = decodeToUtf8(text, enc.encoding);
        text = decoded;
    } else {
        cp1252_ = enc.encoding == TextEncoding::Windows1252;
    }
    LineCursor lines(text);
    if (!native) {
        LineCursor probe(text);
        std::string_view first;
        probe.next(first);
        if (!chooseDelimiter(first)) {
            b.minimalTable();
            return ReadResult::Cancelled;
        }
    }
    const std::int64_t cleanedBefore = fresh_.cleanedCells_;
    ReadResult r = layout_ == kLayoutTransposed ? readColumns(lines) : readRows(lines);
    pt_.hideStatus();
    if (r != ReadResult::Ok) {
        if (!error_.empty()) b.Ui->showError(fname + ": " + error_);
        return r;
    }
    const bool replaced = fresh_.cleanedCells_ > cleanedBefore;
    if (layout_ == kLayoutAppend) {
        appendBelow();
    } else {
        adopt();
    }
    b.RemoveEmptyEndRows('K');
    b.RemoveEmptyEndRows('A');
    if (b.GetRowCount('K') == 0) b.InsRow('K', -9);
    if (b.GetRowCount('A') == 0) b.InsRow('A', -9);
    if (b.GetColCount() == 0) b.InsCol(-9);
    b.LastRead = ReadInfo{enc.encoding, lineNo_};
    if (replaced) b.Ui->showInfo("Ich habe Strichpunkte durch Kommas ersetzt.");
    return ReadResult::Ok;
}

void TableReader::adopt() {
    TEditBuffer& b = target_;
    b.L = std::move(fresh_.L);
    b.Icol = std::move(fresh_.Icol);
    b.IrowK = std::move(fresh_.IrowK);
    b.IrowA = std::move(fresh_.IrowA);
    b.ManyColCt = fresh_.ManyColCt;
}

void TableReader::appendBelow() {
    TEditBuffer& b = target_;
    for (char OC : {'K', 'A'}) {
        TLongList& from = OC == 'K' ? fresh_.IrowK : fresh_.IrowA;
        for (std::int32_t src : from.items()) {
            b.InsRow(OC, -9);
            const int dst = b.GetBufRow(OC, b.GetRowCount(OC) - 1);
            const StoredRow& row = fresh_.L.rows[src];
            for (int e = 0; e < 3; ++e)
                b.L.putHandle(dst, e, b.L.pool.intern(fresh_.L.pool.text(row.head[e])));
            row.cells.forEach([&](std::uint32_t slot, TextHandle h) {
                // The fresh table's columns are in stored order: slot s is column s.
                const int col = static_cast<int>(slot);
                b.ensureColumns(col + 1);
                b.L.putHandle(dst, b.GetBufCol(col), b.L.pool.intern(fresh_.L.pool.text(h)));
            });
        }
    }
    b.ManyColCt = std::max(b.ManyColCt, fresh_.ManyColCt);
}

ReadResult TEditBuffer::ReadFile(int OCr, const std::string& fname, Progress& pt) {
    TableReader reader(*this, OCr, pt);
    return reader.run(fname);
}

ReadResult TEditBuffer::LoadFile(int OC, const std::string& fName, Progress& pt) {
    if (!fileExists(fName)) {
        Ui->showError("Kann " + fName + " nicht öffnen.");
        return ReadResult::Unreadable;
    }
    return ReadFile(OC, fName, pt);
}

void TEditBuffer::KeepDelim(bool b) {
    DoKeepDelim = b;
    KeptDelim = 0;
    KeptCte = 0;
}

ReadResult TEditBuffer::LoadTmp(int OC, Progress& pt) {
    switch (OC) {
        case 0:
            return ReadFile(kLayoutNative, workFile(".$bt"), pt);
        case 1:
            return ReadFile(kLayoutNative, workFile("1.$tp"), pt);
        case 2:
            return ReadFile(kLayoutNative, workFile("2.$tp"), pt);
        case 3: {
            ReadResult r = ReadFile(kLayoutNative, workFile("1.$tp"), pt);
            return r == ReadResult::Ok ? ReadFile(kLayoutAppend, workFile("2.$tp"), pt) : r;
        }
        case 4:
            return ReadFile(kLayoutNative, workFile("3.$tp"), pt);
        default:
            return ReadResult::Cancelled;
    }
}

}  // namespace tav
