// Writing table files: the native layout and the text layouts for exchange with other programs.

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/file_io.h"
#include "core/text.h"
#include "table/edit_buffer.h"

namespace tav {

namespace {

enum class OutEncoding { Cp1252, Utf8, Utf8Bom, Utf16, Ascii };

constexpr std::size_t kChunk = 1 << 20;

bool hasHighByte(std::string_view s) {
    const char* p = s.data();
    const char* end = p + s.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ULL) return true;
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80) return true;
    return false;
}

// Builds one line of delimited fields where most fields are empty: fields are given by position, in
// ascending order, and the gaps are filled with delimiters.
class FieldLine {
  public:
    FieldLine(std::string& out, std::string_view delim) : out_(out), delim_(delim) {}
    void field(int pos, std::string_view text) {
        delims(pos - emitted_ + (emitted_ == 0 ? 0 : 1));
        out_ += text;
        emitted_ = pos + 1;
    }
    void finish(int total) {
        if (total > emitted_) delims(total - emitted_ - (emitted_ == 0 ? 1 : 0));
        out_ += "\r\n";
    }

  private:
    void delims(int n) {
        if (n <= 0) return;
        if (delim_.size() == 1) {
            out_.append(static_cast<std::size_t>(n), delim_[0]);
        } else {
            for (int i = 0; i < n; ++i) out_ += delim_;
        }
    }
    std::string& out_;
    std::string_view delim_;
    int emitted_ = 0;
};

}  // namespace

class TableWriter {
  public:
    TableWriter(TEditBuffer& b, int layout, Progress& pt) : b_(b), layout_(layout), pt_(pt) {}
    Status run(const std::string& fname, const std::string& backup, const TMenge* Mc, const TMenge* Mk,
               const TMenge* Ma);

  private:
    bool chooseEncoding(const std::string& fname);
    void leaveCodePage();
    bool writeAll(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma);
    bool flush(bool force);
    bool writeStart(std::string& encoded);
    std::string delimStandIn() const;
    // The text of a field in a text export, protected against its delimiter.
    std::string_view exportField(std::string_view s);
    std::string_view text(TextHandle h) const { return b_.t_.L.pool.text(h); }
    std::vector<int> writtenRows(char OC, const TMenge* Mk, const TMenge* Ma) const;
    // Cells of the given rows by written column: for each written column the (row position, text) pairs.
    std::vector<std::vector<std::pair<int, TextHandle>>> byColumn(const std::vector<int>& storedRows,
                                                                  const std::vector<int>& cols) const;
    bool writeRowLines(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma);
    bool writeTransposed(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma);
    bool writeObservations(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma);
    std::vector<int> columnsOf(const TMenge* Mc, bool leaveOut) const;
    bool progress(std::int64_t pos);

    TEditBuffer& b_;
    int layout_;
    Progress& pt_;
    std::string delim_;
    OutEncoding enc_ = OutEncoding::Utf8;
    std::optional<AtomicFile> file_;
    std::string buf_;
    std::size_t asciiReplaced_ = 0;
    std::string fname_;
    bool started_ = false;
    bool anyHigh_ = false;      // a code-page byte above ASCII was written
    bool highInvalid_ = false;  // and the bytes do not form valid UTF-8
    std::string quote_;         // text qualifier of exports, empty for none
    std::string specials_;      // first bytes of what makes a field need protection
    std::string fieldScratch_;
    std::size_t delimReplaced_ = 0;  // fields whose delimiters had to go (no qualifier)
};

bool TableWriter::chooseEncoding(const std::string& fname) {
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    std::string d;
    appendUtf8(d, native ? U';' : b_.IoSettings_.DelimEinst);
    delim_ = d;
    fname_ = fname;
    const char32_t q = b_.IoSettings_.QualiEinst;
    if (!native && q != 0 && q != b_.IoSettings_.DelimEinst) appendUtf8(quote_, q);
    if (!native) {
        specials_ = std::string(1, delim_[0]) + "\r\n";
        if (!quote_.empty()) specials_ += quote_[0];
    }
    if (!native && b_.IoSettings_.Encoding == ExportEncoding::Utf16) {
        enc_ = OutEncoding::Utf16;
        return true;
    }
    if (!native && b_.IoSettings_.Encoding == ExportEncoding::Utf8) {
        enc_ = OutEncoding::Utf8Bom;
        return true;
    }
    if (!native && b_.IoSettings_.Encoding == ExportEncoding::Ascii) {
        enc_ = OutEncoding::Ascii;
        return true;
    }
    // The code page where every character of the table fits; UTF-8 otherwise, so nothing is lost.
    std::vector<bool> used(b_.t_.L.pool.size(), false);
    for (const TLongList* part : {&b_.t_.IrowK, &b_.t_.IrowA}) {
        for (std::int32_t r : part->items()) {
            const StoredRow& row = b_.t_.L.rows[r];
            for (TextHandle h : row.head) used[h] = true;
            row.cells.forEach([&](std::uint32_t, TextHandle h) { used[h] = true; });
        }
    }
    bool fits = fitsCp1252(delim_) && fitsCp1252(quote_);
    for (std::size_t h = 0; fits && h < used.size(); ++h)
        if (used[h] && !fitsCp1252(b_.t_.L.pool.text(static_cast<TextHandle>(h)))) fits = false;
    if (fits) {
        enc_ = OutEncoding::Cp1252;
    } else if (native) {
        enc_ = OutEncoding::Utf8;
    } else {
        enc_ = OutEncoding::Utf8Bom;
        b_.Ui_->showWarning(fname + ": Die Tabelle enthält Zeichen, die die Codepage nicht kennt; " +
                            "die Datei wurde in UTF-8 geschrieben.");
    }
    return true;
}

// Leaving the code page for UTF-8 with a mark: the file then reads back as written.
void TableWriter::leaveCodePage() {
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    enc_ = native ? OutEncoding::Utf8 : OutEncoding::Utf8Bom;
    if (!native)
        b_.Ui_->showWarning(fname_ + ": In der Codepage wäre die Datei nicht eindeutig zu lesen; " +
                            "die Datei wurde in UTF-8 geschrieben.");
}

// The first bytes decide how a reader takes the file: a mark is written only where the encoding has
// one, and content that would pass for a mark gets one of its own in front.
bool TableWriter::writeStart(std::string& encoded) {
    started_ = true;
    if (enc_ == OutEncoding::Cp1252 && startsWithByteOrderMark(encoded)) {
        leaveCodePage();
        enc_ = OutEncoding::Utf8Bom;
        encoded = buf_;
    }
    if (enc_ == OutEncoding::Utf8 && startsWithByteOrderMark(encoded)) enc_ = OutEncoding::Utf8Bom;
    if (enc_ == OutEncoding::Utf8Bom) return file_->write("\xEF\xBB\xBF").ok();
    if (enc_ == OutEncoding::Utf16) return file_->write("\xFF\xFE").ok();
    return true;
}

bool TableWriter::flush(bool force) {
    if (!force && buf_.size() < kChunk) return true;
    std::string encoded;
    switch (enc_) {
        case OutEncoding::Cp1252:
            encoded = utf8ToCp1252(buf_);
            break;
        case OutEncoding::Utf16:
            encoded = utf8ToUtf16LE(buf_);
            break;
        case OutEncoding::Ascii: {
            std::size_t n = 0;
            encoded = utf8ToAscii(buf_, &n);
            asciiReplaced_ += n;
            break;
        }
        case OutEncoding::Utf8:
        case OutEncoding::Utf8Bom:
            encoded = buf_;
            break;
    }
    bool ok = started_ || writeStart(encoded);
    // Chunks end with a line, and no UTF-8 sequence spans a line end, so checking chunk by chunk tells
    // whether the whole file would pass for UTF-8.
    if (enc_ == OutEncoding::Cp1252 && !highInvalid_ && hasHighByte(encoded)) {
        anyHigh_ = true;
        highInvalid_ = !isValidUtf8(encoded);
    }
    ok = ok && file_->write(encoded);
    buf_.clear();
    return ok;
}

// Without a qualifier the delimiter cannot stay in a field. A tab becomes a blank (fields are trimmed,
// so it never stands at their edge and the blank survives reading); a comma becomes a point, which is
// also what turns a decimal comma into the program's numbers; any other delimiter becomes a comma, as a
// ";" in a cell does everywhere in the program.
std::string TableWriter::delimStandIn() const {
    return delim_ == "\t" ? " " : delim_ == "," ? "." : ",";
}

std::string_view TableWriter::exportField(std::string_view s) {
    if (specials_.empty() || s.find_first_of(specials_) == std::string_view::npos) return s;
    const bool lineBreak = s.find_first_of("\r\n") != std::string_view::npos;
    const bool hasQuote = !quote_.empty() && s.find(quote_) != std::string_view::npos;
    if (!lineBreak && !hasQuote && s.find(delim_) == std::string_view::npos) return s;
    fieldScratch_.clear();
    if (!quote_.empty()) {
        // Quoted, with every qualifier inside doubled: the reader undoes exactly this.
        fieldScratch_ += quote_;
        std::size_t from = 0;
        for (std::size_t at; (at = s.find(quote_, from)) != std::string_view::npos;
             from = at + quote_.size()) {
            fieldScratch_.append(s.substr(from, at + quote_.size() - from));
            fieldScratch_ += quote_;
        }
        fieldScratch_.append(s.substr(from));
        fieldScratch_ += quote_;
        return fieldScratch_;
    }
    ++delimReplaced_;
    const std::string standIn = delimStandIn();
    std::size_t from = 0;
    for (std::size_t at; (at = s.find(delim_, from)) != std::string_view::npos; from = at + delim_.size()) {
        fieldScratch_.append(s.substr(from, at - from));
        fieldScratch_ += standIn;
    }
    fieldScratch_.append(s.substr(from));
    for (char& c : fieldScratch_)
        if (c == '\r' || c == '\n') c = ' ';
    return fieldScratch_;
}

bool TableWriter::progress(std::int64_t pos) {
    if (pos % 256 == 0) {
        pt_.setPosition(pos);
        if (pt_.aborted()) return false;
    }
    return flush(false);
}

std::vector<int> TableWriter::writtenRows(char OC, const TMenge* Mk, const TMenge* Ma) const {
    std::vector<int> rows;
    for (int i = 0; i < b_.GetRowCount(OC); ++i)
        if (!b_.CheckSkip(OC, i, Mk, Ma)) rows.push_back(i);
    return rows;
}

std::vector<int> TableWriter::columnsOf(const TMenge* Mc, bool leaveOut) const {
    std::vector<int> cols;
    for (int c = 0; c < b_.GetColCount(); ++c)
        if (!Mc || Mc->Element(c) != leaveOut) cols.push_back(c);
    return cols;
}

std::vector<std::vector<std::pair<int, TextHandle>>> TableWriter::byColumn(
    const std::vector<int>& storedRows, const std::vector<int>& cols) const {
    std::vector<int> outOfSlot(b_.t_.L.slots, -1);
    for (std::size_t o = 0; o < cols.size(); ++o) outOfSlot[b_.GetBufCol(cols[o]) - 3] = static_cast<int>(o);
    std::vector<std::vector<std::pair<int, TextHandle>>> buckets(cols.size());
    for (std::size_t rp = 0; rp < storedRows.size(); ++rp) {
        b_.t_.L.rows[storedRows[rp]].cells.forEach([&](std::uint32_t slot, TextHandle h) {
            if (int o = outOfSlot[slot]; o >= 0) buckets[o].emplace_back(static_cast<int>(rp), h);
        });
    }
    return buckets;
}

bool TableWriter::writeRowLines(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma) {
    const bool native = layout_ != kLayoutNormal;
    // Native: the columns in Mc are left out; normal text: only they are written.
    const std::vector<int> cols = columnsOf(Mc, native);
    std::vector<int> outOfSlot(b_.t_.L.slots, -1);
    for (std::size_t o = 0; o < cols.size(); ++o) outOfSlot[b_.GetBufCol(cols[o]) - 3] = static_cast<int>(o);
    const int first = native ? 3 : 1;
    const int total = first + static_cast<int>(cols.size());
    std::vector<std::pair<int, TextHandle>> cells;
    for (char OC : {'K', 'A'}) {
        pt_.setStatus(OC == 'K' ? "Kopfdaten speichern" : "Abundanzdaten speichern");
        pt_.startBar(b_.GetRowCount(OC));
        for (int i = 0; i < b_.GetRowCount(OC); ++i) {
            if (b_.CheckSkip(OC, i, Mk, Ma)) continue;
            const StoredRow& row = b_.t_.L.rows[b_.GetBufRow(OC, i)];
            cells.clear();
            row.cells.forEach([&](std::uint32_t slot, TextHandle h) {
                if (int o = outOfSlot[slot]; o >= 0) cells.emplace_back(o, h);
            });
            if (!std::is_sorted(cells.begin(), cells.end())) std::sort(cells.begin(), cells.end());
            FieldLine line(buf_, delim_);
            if (native) {
                line.field(0, text(row.head[0]));
                line.field(1, text(row.head[1]));
                line.field(2, text(row.head[2]));
            } else {
                line.field(0, exportField(text(row.head[1])));
            }
            for (auto [o, h] : cells) line.field(first + o, exportField(text(h)));
            line.finish(total);
            if (!progress(i)) return false;
        }
        pt_.endBar();
    }
    return true;
}

bool TableWriter::writeTransposed(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma) {
    std::vector<int> stored;
    FieldLine names(buf_, delim_);
    int pos = 0;
    for (char OC : {'K', 'A'}) {
        if (OC == 'A' && layout_ == kLayoutTransposedHeader) break;
        for (int i : writtenRows(OC, Mk, Ma)) {
            stored.push_back(b_.GetBufRow(OC, i));
            names.field(pos++, exportField(b_.GetZl(OC, i)));
        }
    }
    names.finish(pos);
    const std::vector<int> cols = columnsOf(Mc, false);
    const auto buckets = byColumn(stored, cols);
    pt_.setStatus("Transponierte Daten speichern");
    pt_.startBar(static_cast<std::int64_t>(cols.size()));
    for (std::size_t o = 0; o < cols.size(); ++o) {
        FieldLine line(buf_, delim_);
        for (auto [rp, h] : buckets[o]) line.field(rp, exportField(text(h)));
        line.finish(pos);
        if (!progress(static_cast<std::int64_t>(o))) return false;
    }
    pt_.endBar();
    return true;
}

bool TableWriter::writeObservations(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma) {
    std::vector<int> head;
    for (int i = 0; i < b_.GetRowCount('K'); ++i)
        if ((b_.MroK().empty() || b_.MroK().Element(i)) && !b_.CheckSkip('K', i, Mk, Ma)) head.push_back(i);
    for (int i : head) {
        buf_ += exportField(b_.GetZl('K', i));
        buf_ += delim_;
    }
    buf_ += "Artname" + delim_ + "Deckung\r\n";
    const std::vector<int> species = writtenRows('A', Mk, Ma);
    std::vector<int> stored;
    for (int i : species) stored.push_back(b_.GetBufRow('A', i));
    const std::vector<int> cols = columnsOf(Mc, false);
    const auto buckets = byColumn(stored, cols);
    pt_.setStatus("Abundanzdaten speichern");
    pt_.startBar(static_cast<std::int64_t>(cols.size()));
    std::string prefix;
    for (std::size_t o = 0; o < cols.size(); ++o) {
        prefix.clear();
        for (int i : head) {
            prefix += exportField(b_.Get('K', cols[o], i));
            prefix += delim_;
        }
        for (auto [rp, h] : buckets[o]) {
            buf_ += prefix;
            buf_ += exportField(b_.GetZl('A', species[rp]));
            buf_ += delim_;
            buf_ += exportField(text(h));
            buf_ += "\r\n";
        }
        if (!progress(static_cast<std::int64_t>(o))) return false;
    }
    pt_.endBar();
    return true;
}

bool TableWriter::writeAll(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma) {
    file_.reset();
    if (!file_.emplace().open(fname_)) return false;
    buf_.clear();
    started_ = false;
    anyHigh_ = highInvalid_ = false;
    asciiReplaced_ = delimReplaced_ = 0;
    buf_.reserve(kChunk + 65536);
    bool ok = layout_ == kLayoutObservations ? writeObservations(Mc, Mk, Ma)
              : layout_ == kLayoutTransposed || layout_ == kLayoutTransposedHeader
                  ? writeTransposed(Mc, Mk, Ma)
                  : writeRowLines(Mc, Mk, Ma);
    pt_.hideStatus();
    return ok && flush(true);
}

Status TableWriter::run(const std::string& fname, const std::string& backup, const TMenge* Mc,
                        const TMenge* Mk, const TMenge* Ma) {
    const bool known = layout_ == kLayoutNative || layout_ == kLayoutNormal || layout_ == kLayoutTransposed ||
                       layout_ == kLayoutObservations || layout_ == kLayoutTransposedHeader;
    if (!known) return Status::failure("Unbekanntes Dateiformat " + std::to_string(layout_) + ".");
    b_.RemoveEmptyEndRows('K');
    b_.RemoveEmptyEndRows('A');
    b_.RemoveEmptyEndCols();
    chooseEncoding(fname);
    bool ok = writeAll(Mc, Mk, Ma);
    if (ok && enc_ == OutEncoding::Cp1252 && anyHigh_ && !highInvalid_) {
        // Every code-page byte above ASCII happens to form UTF-8, so a reader would take the file for
        // UTF-8 and read other characters: the file is written again in UTF-8.
        leaveCodePage();
        ok = writeAll(Mc, Mk, Ma);
    }
    if (!ok && pt_.aborted()) {
        Status aborted;
        aborted.fail();
        return aborted;
    }
    // Without an abort, only the file can have failed, and the file remembers why.
    const Status written = ok ? file_->commit(backup) : file_->write({});
    if (!ok || !written.ok())
        return Status::failure("Kann " + fname + " nicht speichern: " + written.plain());
    if (layout_ == kLayoutTransposed || layout_ == kLayoutTransposedHeader) b_.ClearM();
    if (asciiReplaced_ > 0)
        b_.Ui_->showWarning(fname + ": " + std::to_string(asciiReplaced_) +
                            " Zeichen außerhalb von ASCII wurden durch ? ersetzt.");
    if (delimReplaced_ > 0)
        b_.Ui_->showWarning(fname + ": In " + std::to_string(delimReplaced_) +
                            " Feldern stand das Trennzeichen; es wurde durch \"" + delimStandIn() +
                            "\" ersetzt.");
    return {};
}

bool TEditBuffer::CheckSkip(char OC, int i, const TMenge* Mk, const TMenge* Ma) const {
    const TMenge* sel = OC == 'K' ? Mk : OC == 'A' ? Ma : nullptr;
    return sel && !sel->Element(i);
}

Status TEditBuffer::WriteFile(int OCw, const std::string& fname, Progress& pt, const TMenge* Mc,
                              const TMenge* Mk, const TMenge* Ma) {
    TableWriter w(*this, OCw, pt);
    return w.run(fname, {}, Mc, Mk, Ma);
}

Status TEditBuffer::StoreFile(int OC, const std::string& fName, Progress& pt, bool DoMarked) {
    if (DoMarked && !McoR().empty()) {
        TMenge Mc = McoR();
        return WriteFile(OC, fName, pt, &Mc, nullptr, nullptr);
    }
    if (DoMarked && CheckM()) {
        // A part without marked rows goes along whole: with only species rows marked every header row is
        // written, and with only header rows marked every species row, or an export of the marked part
        // would lose the other part (and one line per observation would have no observation at all).
        TMenge Mk = MroK(), Ma = MroA();
        return WriteFile(OC, fName, pt, nullptr, Mk.empty() ? nullptr : &Mk, Ma.empty() ? nullptr : &Ma);
    }
    return WriteFile(OC, fName, pt, nullptr, nullptr, nullptr);
}

Status TEditBuffer::SaveTable(const std::string& fName, Progress& pt) {
    // The backup belongs beside the file that is replaced: through a symbolic link, that is the file
    // the link points to, not the link.
    const Result<std::string> real = resolveSaveTarget(fName);
    if (!real) return Status::failure("Kann " + fName + " nicht speichern: " + real.status().plain());
    TableWriter w(*this, kLayoutNative, pt);
    return w.run(fName, replaceExtension(real.value(), ".~ta"), nullptr, nullptr, nullptr);
}

}  // namespace tav
