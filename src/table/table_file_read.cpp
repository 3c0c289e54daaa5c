// Reading table files: the native layout (also appended below the table), normal and transposed text.

#include <algorithm>
#include <cstring>

#include "core/file_io.h"
#include "core/text.h"
#include "core/work_files.h"
#include "table/edit_buffer.h"

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

    // Fields already cut (quoted text); the views point into fields, which must outlive them.
    void take(const std::vector<std::string>& fields) {
        count = 0;
        filled.clear();
        for (const std::string& f : fields) {
            add(f);
            ++count;
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

// A read that did not happen: the status fails, with no message of its own for a cancelled or aborted
// read (the user knows), with the reason for an unreadable file.
Result<ReadResult> notRead(ReadResult why) {
    Status s;
    s.fail();
    return Result<ReadResult>(why, std::move(s));
}

}  // namespace

// Reads one file into a fresh buffer; the table being edited changes only when the whole file was read.
class TableReader {
  public:
    TableReader(TEditBuffer& target, int layout, Progress& pt) : target_(target), layout_(layout), pt_(pt) {
        fresh_.IoSettings_ = target.IoSettings_;
        fresh_.IsSpeciesName_ = target.IsSpeciesName_;
    }

    Result<ReadResult> run(const std::string& fname);

  private:
    bool chooseDelimiter(std::string_view firstLine);
    std::string_view convert(std::string_view field);
    void putCell(int row, int col, std::string_view field);
    int newRow(char OC, std::string_view type);
    bool ensureColumns(int n);
    bool status(std::int64_t lines, std::int64_t every);
    void splitLine(LineCursor& lines, std::string_view first, LineFields& fields);
    void splitQuoted(LineCursor& lines, std::string_view first);
    ReadResult readRows(LineCursor& lines);
    ReadResult readColumns(LineCursor& lines);
    void appendBelow();
    static void appendRowsOf(TEditBuffer& into, const TEditBuffer& from);

    TEditBuffer& target_;
    TEditBuffer fresh_;
    int layout_;
    Progress& pt_;
    std::string delim_ = ";";
    std::string quote_;
    bool cp1252_ = false;
    std::string scratch_;
    std::vector<std::string> quoted_;
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
    TLongList& part = OC == 'A' ? fresh_.t_.IrowA : fresh_.t_.IrowK;
    int row = fresh_.t_.L.AppendStringList();
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
    fresh_.t_.ManyColCt = std::max(fresh_.t_.ManyColCt, n);
    return true;
}

void TableReader::putCell(int row, int col, std::string_view field) {
    std::string_view text = convert(field);
    // A quoted field may hold ";" (which Put turns into "," and counts for the message about it).
    if (col < 3 || text.find(';') != std::string_view::npos) {
        fresh_.putEntry(row, col, text);
        return;
    }
    // The fast path of the readers: blanks are already trimmed and the field holds no ";" or line break.
    TableStore& L = fresh_.t_.L;
    std::uint32_t slot = static_cast<std::uint32_t>(fresh_.t_.Icol.GetLong(col - 3) - 3);
    L.rows[row].cells.append(slot, L.pool.intern(text), L.slots);
}

bool TableReader::chooseDelimiter(std::string_view firstLine) {
    TEditBuffer& b = target_;
    if (b.DoKeepDelim_ && b.KeptDelim_ != 0) {
        delim_ = utf8Of(b.KeptDelim_);
        quote_ = utf8Of(b.KeptCte_);
        return true;
    }
    const std::optional<TextDelimiter> chosen =
        askTextDelimiter(*b.Ui_, firstLine, {b.IoSettings_.DelimEinst, b.IoSettings_.QualiEinst});
    if (!chosen) return false;
    const char32_t d = chosen->delimiter, q = chosen->qualifier;
    delim_ = utf8Of(d);
    quote_ = q == d ? std::string() : utf8Of(q);
    if (b.DoKeepDelim_) {
        b.KeptDelim_ = d;
        b.KeptCte_ = q;
    }
    return true;
}

void TableReader::splitLine(LineCursor& lines, std::string_view first, LineFields& fields) {
    if (quote_.empty()) {
        fields.split(first, delim_);
        return;
    }
    splitQuoted(lines, first);
    fields.take(quoted_);
}

// Cuts one logical line into fields. Every qualifier opens or closes a quoted stretch and is dropped;
// inside one, a delimiter is text and a doubled qualifier stands for one qualifier, which is how the
// writer protects them. A line that ends inside quotes continues on the next physical line, joined by
// " --- ". Each byte is looked at once, so a long field costs no more than its length.
void TableReader::splitQuoted(LineCursor& lines, std::string_view first) {
    quoted_.clear();
    std::string field;
    bool inside = false;
    std::string_view line = first;
    const char q0 = quote_[0];
    const char d0 = delim_[0];
    for (;;) {
        std::size_t i = 0;
        const std::size_t n = line.size();
        while (i < n) {
            std::size_t j = i;
            while (j < n && line[j] != q0 && line[j] != d0) ++j;
            field.append(line.data() + i, j - i);
            i = j;
            if (i >= n) break;
            if (line.compare(i, quote_.size(), quote_) == 0) {
                i += quote_.size();
                if (inside && line.compare(i, quote_.size(), quote_) == 0) {
                    field += quote_;
                    i += quote_.size();
                } else {
                    inside = !inside;
                }
            } else if (!inside && line.compare(i, delim_.size(), delim_) == 0) {
                quoted_.push_back(std::move(field));
                field.clear();
                i += delim_.size();
            } else {
                field += line[i++];
            }
        }
        if (!inside || !lines.next(line)) break;
        ++lineNo_;
        field += " --- ";
    }
    quoted_.push_back(std::move(field));
}

ReadResult TableReader::readRows(LineCursor& lines) {
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    const int firstCell = native ? 3 : 1;
    bool species = false;
    // Blank lines are only counted until a line with content follows: trailing empty rows are dropped
    // after reading anyway, and a file of nothing but line ends would otherwise cost a row each. A part
    // keeps one of them when it has no other row, as it would after trimming.
    std::int64_t blanks = 0;
    auto storeBlanks = [&](std::int64_t n) {
        const char OC = species ? 'A' : 'K';
        for (; n > 0; --n) newRow(OC, native ? "" : species ? "A" : "T");
        blanks = 0;
    };
    auto oneIfPartEmpty = [&] {
        return fresh_.GetRowCount(species ? 'A' : 'K') == 0 ? std::min<std::int64_t>(blanks, 1) : 0;
    };
    LineFields fields;
    std::string_view physical;
    while (lines.next(physical)) {
        ++lineNo_;
        splitLine(lines, physical, fields);
        if (!ensureColumns(fields.count - firstCell)) return ReadResult::Unreadable;
        std::string_view first =
            !fields.filled.empty() && fields.filled[0].first == 0 ? fields.filled[0].second : "";
        // Native: the type field, blanks around it removed as for every field, so that a line the writer
        // gives back without them starts the species part just as the original did.
        const bool startsSpecies =
            !species && (native ? !first.empty() && (first[0] == 'A' || first[0] == 'K')
                                : !first.empty() && fresh_.IsSpeciesName_ && fresh_.IsSpeciesName_(first));
        if (startsSpecies) {
            storeBlanks(oneIfPartEmpty());
            species = true;
        }
        if (fields.filled.empty()) {
            ++blanks;
        } else {
            storeBlanks(blanks);
            std::size_t k = 0;
            int row;
            if (native) {
                row = newRow(species ? 'A' : 'K', first);
                if (!first.empty()) k = 1;
            } else {
                row = newRow(species ? 'A' : 'K', species ? "A" : "T");
            }
            for (; k < fields.filled.size(); ++k) {
                auto [n, text] = fields.filled[k];
                // Native: field n is entry n (type, name, margin, cells); text: field 0 is the name.
                putCell(row, native ? n : (n == 0 ? 1 : n + 2), text);
            }
        }
        if (!status(lineNo_, kStatusEvery)) return ReadResult::Aborted;
    }
    storeBlanks(oneIfPartEmpty());
    return ReadResult::Ok;
}

ReadResult TableReader::readColumns(LineCursor& lines) {
    int pa = -1;  // first species row, once the name line has shown one
    LineFields fields;
    std::string_view physical;
    std::int64_t n = 0;
    // Columns and rows are made when a value needs them, not per line or field: a file of line ends or
    // delimiters costs nothing, and the empty columns and rows between values still come into being
    // because a value further on needs all that lie before it.
    auto rowOf = [&](int j) {
        const bool sp = pa >= 0 && j >= pa;
        const char OC = sp ? 'A' : 'K';
        const int r = sp ? j - pa : j;
        TLongList& part = sp ? fresh_.t_.IrowA : fresh_.t_.IrowK;
        while (part.Count() <= r) newRow(OC, sp ? "A" : "T");
        return part.GetLong(r);
    };
    while (lines.next(physical)) {
        ++lineNo_;
        splitLine(lines, physical, fields);
        if (n >= 1 && !fields.filled.empty() &&
            !ensureColumns(static_cast<int>(std::min<std::int64_t>(n, kMaxColumns + 1))))
            return ReadResult::Unreadable;
        const int col = n == 0 ? 1 : static_cast<int>(n) - 1 + 3;
        for (auto [j, text] : fields.filled) {
            if (n == 0 && pa < 0 && fresh_.IsSpeciesName_ && fresh_.IsSpeciesName_(text)) pa = j;
            putCell(rowOf(j), col, text);
        }
        ++n;
        if (!status(lineNo_, 20)) return ReadResult::Aborted;
    }
    fresh_.RemoveEmptyEndCols();
    return ReadResult::Ok;
}

Result<ReadResult> TableReader::run(const std::string& fname) {
    TEditBuffer& b = target_;
    const auto unreadable = [](std::string message) {
        return Result<ReadResult>(ReadResult::Unreadable, Status::failure(std::move(message)));
    };
    Result<std::string> read = readWholeFile(fname, kMaxFileBytes);
    if (!read) return unreadable("Kann " + fname + " nicht öffnen (" + read.status().plain() + ").");
    std::string& bytes = read.value();
    if (layout_ == kLayoutObservations)
        return unreadable("Das Einlesen von Beobachtungslisten ist noch nicht verfügbar.");
    if (layout_ != kLayoutNative && layout_ != kLayoutAppend && layout_ != kLayoutNormal &&
        layout_ != kLayoutTransposed)
        return unreadable("Unbekanntes Dateiformat " + std::to_string(layout_) + ".");
    const DetectedEncoding enc = detectEncoding(bytes);
    std::string decoded;
    std::string_view text = std::string_view(bytes).substr(enc.bomLength);
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    const bool utf16 = enc.encoding == TextEncoding::Utf16LE || enc.encoding == TextEncoding::Utf16BE;
    std::size_t repaired = 0;
    if (utf16 || (!native && enc.encoding == TextEncoding::Windows1252) ||
        (enc.encoding == TextEncoding::Utf8Bom && !isValidUtf8(text))) {
        decoded = decodeToUtf8(text, enc.encoding, &repaired);
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
            return notRead(ReadResult::Cancelled);
        }
    }
    const std::int64_t cleanedBefore = fresh_.cleanedCells_;
    ReadResult r = layout_ == kLayoutTransposed ? readColumns(lines) : readRows(lines);
    pt_.hideStatus();
    if (r != ReadResult::Ok) {
        Result<ReadResult> failed = notRead(r);
        if (!error_.empty()) failed.status().error(fname + ": " + error_);
        return failed;
    }
    const bool replaced = fresh_.cleanedCells_ > cleanedBefore;
    if (layout_ == kLayoutAppend) appendBelow();
    // The table is finished before it takes the place of the old one, so that reading is one change.
    fresh_.RemoveEmptyEndRows('K');
    fresh_.RemoveEmptyEndRows('A');
    if (fresh_.GetRowCount('K') == 0) fresh_.InsRow('K', -9);
    if (fresh_.GetRowCount('A') == 0) fresh_.InsRow('A', -9);
    if (fresh_.GetColCount() == 0) fresh_.InsCol(-9);
    b.replaceTable(std::move(fresh_.t_));
    b.LastRead_ = ReadInfo{enc.encoding, lineNo_};
    if (repaired > 0 && utf16) {
        b.Ui_->showWarning(fname + ": " + std::to_string(repaired) +
                           " ungültige UTF-16-Zeichen wurden durch U+FFFD ersetzt.");
    } else if (repaired > 0) {
        b.Ui_->showWarning(fname + ": " + std::to_string(repaired) +
                           " Bytes sind kein gültiges UTF-8 und wurden als Windows-1252-Zeichen gelesen.");
    }
    if (replaced) b.Ui_->showInfo("Ich habe Strichpunkte durch Kommas ersetzt.");
    return ReadResult::Ok;
}

// Appends the visible rows of `from` below those of `into` (which nobody watches), cells by visible
// column, every entry as it is: the reader has already put each row into its part by its type.
void TableReader::appendRowsOf(TEditBuffer& into, const TEditBuffer& from) {
    TableStore& L = into.t_.L;
    std::vector<int> colOfSlot(from.L().slots, -1);
    for (int c = 0; c < from.GetColCount(); ++c) colOfSlot[from.GetBufCol(c) - 3] = c;
    for (char OC : {'K', 'A'}) {
        for (int r = 0; r < from.GetRowCount(OC); ++r) {
            into.InsRow(OC, -9);
            const int dst = into.GetBufRow(OC, into.GetRowCount(OC) - 1);
            const StoredRow& row = from.L().rows[from.GetBufRow(OC, r)];
            for (int e = 0; e < 3; ++e) L.putHandle(dst, e, L.pool.intern(from.L().pool.text(row.head[e])));
            row.cells.forEach([&](std::uint32_t slot, TextHandle h) {
                const int col = slot < colOfSlot.size() ? colOfSlot[slot] : -1;
                if (col < 0) return;
                into.ensureColumns(col + 1);
                L.putHandle(dst, into.GetBufCol(col), L.pool.intern(from.L().pool.text(h)));
            });
        }
    }
}

// The fresh table becomes the old one with the file's rows below it.
void TableReader::appendBelow() {
    TEditBuffer merged;
    merged.InsCols(-9, target_.GetColCount());
    appendRowsOf(merged, target_);
    appendRowsOf(merged, fresh_);
    merged.t_.ManyColCt = std::max(target_.t_.ManyColCt, fresh_.t_.ManyColCt);
    fresh_.t_ = std::move(merged.t_);
}

Result<ReadResult> TEditBuffer::ReadFile(int OCr, const std::string& fname, Progress& pt) {
    TableReader reader(*this, OCr, pt);
    return reader.run(fname);
}

Result<ReadResult> TEditBuffer::LoadFile(int OC, const std::string& fName, Progress& pt) {
    if (!fileExists(fName))
        return Result<ReadResult>(ReadResult::Unreadable,
                                  Status::failure("Kann " + fName + " nicht öffnen."));
    return ReadFile(OC, fName, pt);
}

void TEditBuffer::KeepDelim(bool b, char32_t delim, char32_t qualifier) {
    DoKeepDelim_ = b;
    KeptDelim_ = delim;
    KeptCte_ = qualifier;
}

Result<ReadResult> TEditBuffer::LoadTmp(int OC, Progress& pt) {
    switch (OC) {
        case 0:
            return ReadFile(kLayoutNative, workFile(".$bt"), pt);
        case 1:
            return ReadFile(kLayoutNative, workFile("1.$tp"), pt);
        case 2:
            return ReadFile(kLayoutNative, workFile("2.$tp"), pt);
        case 3: {
            Result<ReadResult> r = ReadFile(kLayoutNative, workFile("1.$tp"), pt);
            return r ? ReadFile(kLayoutAppend, workFile("2.$tp"), pt) : r;
        }
        case 4:
            return ReadFile(kLayoutNative, workFile("3.$tp"), pt);
        default:
            return notRead(ReadResult::Cancelled);
    }
}

}  // namespace tav
