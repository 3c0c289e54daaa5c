// Writing table files: the native layout and the text layouts for exchange with other programs.

#include <algorithm>

#include "core/file_io.h"
#include "core/text.h"
#include "table/edit_buffer.h"

namespace tav {

namespace {

enum class OutEncoding { Cp1252, Utf8, Utf8Bom, Utf16, Ascii };

constexpr std::size_t kChunk = 1 << 20;

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
    bool run(const std::string& fname, const std::string& backup, const TMenge* Mc, const TMenge* Mk,
             const TMenge* Ma);

  private:
    bool chooseEncoding(const std::string& fname);
    bool flush(bool force);
    std::string_view text(TextHandle h) const { return b_.L.pool.text(h); }
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
    AtomicFile file_;
    std::string buf_;
    std::size_t asciiReplaced_ = 0;
};

bool TableWriter::chooseEncoding(const std::string& fname) {
    const bool native = layout_ == kLayoutNative || layout_ == kLayoutAppend;
    std::string d;
    appendUtf8(d, native ? U';' : b_.IoSettings.DelimEinst);
    delim_ = d;
    if (!native && b_.IoSettings.Encoding == ExportEncoding::Utf16) {
        enc_ = OutEncoding::Utf16;
        return true;
    }
    if (!native && b_.IoSettings.Encoding == ExportEncoding::Utf8) {
        enc_ = OutEncoding::Utf8Bom;
        return true;
    }
    if (!native && b_.IoSettings.Encoding == ExportEncoding::Ascii) {
        enc_ = OutEncoding::Ascii;
        return true;
    }
    // The code page where every character of the table fits; UTF-8 otherwise, so nothing is lost.
    std::vector<bool> used(b_.L.pool.size(), false);
    for (const TLongList* part : {&b_.IrowK, &b_.IrowA}) {
        for (std::int32_t r : part->items()) {
            const StoredRow& row = b_.L.rows[r];
            for (TextHandle h : row.head) used[h] = true;
            row.cells.forEach([&](std::uint32_t, TextHandle h) { used[h] = true; });
        }
    }
    bool fits = fitsCp1252(delim_);
    for (std::size_t h = 0; fits && h < used.size(); ++h)
        if (used[h] && !fitsCp1252(b_.L.pool.text(static_cast<TextHandle>(h)))) fits = false;
    if (fits) {
        enc_ = OutEncoding::Cp1252;
    } else if (native) {
        enc_ = OutEncoding::Utf8;
    } else {
        enc_ = OutEncoding::Utf8Bom;
        b_.Ui->showWarning(fname + ": Die Tabelle enthält Zeichen, die die Codepage nicht kennt; " +
                           "die Datei wurde in UTF-8 geschrieben.");
    }
    return true;
}

bool TableWriter::flush(bool force) {
    if (!force && buf_.size() < kChunk) return true;
    bool ok = true;
    switch (enc_) {
        case OutEncoding::Cp1252:
            ok = file_.write(utf8ToCp1252(buf_));
            break;
        case OutEncoding::Utf16:
            ok = file_.write(utf8ToUtf16LE(buf_));
            break;
        case OutEncoding::Ascii: {
            std::size_t n = 0;
            ok = file_.write(utf8ToAscii(buf_, &n));
            asciiReplaced_ += n;
            break;
        }
        case OutEncoding::Utf8:
        case OutEncoding::Utf8Bom:
            ok = file_.write(buf_);
            break;
    }
    buf_.clear();
    return ok;
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
    std::vector<int> outOfSlot(b_.L.slots, -1);
    for (std::size_t o = 0; o < cols.size(); ++o) outOfSlot[b_.GetBufCol(cols[o]) - 3] = static_cast<int>(o);
    std::vector<std::vector<std::pair<int, TextHandle>>> buckets(cols.size());
    for (std::size_t rp = 0; rp < storedRows.size(); ++rp) {
        b_.L.rows[storedRows[rp]].cells.forEach([&](std::uint32_t slot, TextHandle h) {
            if (int o = outOfSlot[slot]; o >= 0) buckets[o].emplace_back(static_cast<int>(rp), h);
        });
    }
    return buckets;
}

bool TableWriter::writeRowLines(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma) {
    const bool native = layout_ != kLayoutNormal;
    // Native: the columns in Mc are left out; normal text: only they are written.
    const std::vector<int> cols = columnsOf(Mc, native);
    std::vector<int> outOfSlot(b_.L.slots, -1);
    for (std::size_t o = 0; o < cols.size(); ++o) outOfSlot[b_.GetBufCol(cols[o]) - 3] = static_cast<int>(o);
    const int first = native ? 3 : 1;
    const int total = first + static_cast<int>(cols.size());
    std::vector<std::pair<int, TextHandle>> cells;
    for (char OC : {'K', 'A'}) {
        pt_.setStatus(OC == 'K' ? "Kopfdaten speichern" : "Abundanzdaten speichern");
        pt_.startBar(b_.GetRowCount(OC));
        for (int i = 0; i < b_.GetRowCount(OC); ++i) {
            if (b_.CheckSkip(OC, i, Mk, Ma)) continue;
            const StoredRow& row = b_.L.rows[b_.GetBufRow(OC, i)];
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
                line.field(0, text(row.head[1]));
            }
            for (auto [o, h] : cells) line.field(first + o, text(h));
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
            names.field(pos++, b_.GetZl(OC, i));
        }
    }
    names.finish(pos);
    const std::vector<int> cols = columnsOf(Mc, false);
    const auto buckets = byColumn(stored, cols);
    pt_.setStatus("Transponierte Daten speichern");
    pt_.startBar(static_cast<std::int64_t>(cols.size()));
    for (std::size_t o = 0; o < cols.size(); ++o) {
        FieldLine line(buf_, delim_);
        for (auto [rp, h] : buckets[o]) line.field(rp, text(h));
        line.finish(pos);
        if (!progress(static_cast<std::int64_t>(o))) return false;
    }
    pt_.endBar();
    b_.ClearM();
    return true;
}

bool TableWriter::writeObservations(const TMenge* Mc, const TMenge* Mk, const TMenge* Ma) {
    std::vector<int> head;
    for (int i = 0; i < b_.GetRowCount('K'); ++i)
        if ((b_.MroK.empty() || b_.MroK.Element(i)) && !b_.CheckSkip('K', i, Mk, Ma)) head.push_back(i);
    for (int i : head) {
        buf_ += b_.GetZl('K', i);
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
            prefix += b_.Get('K', cols[o], i);
            prefix += delim_;
        }
        for (auto [rp, h] : buckets[o]) {
            buf_ += prefix;
            buf_ += b_.GetZl('A', species[rp]);
            buf_ += delim_;
            buf_ += text(h);
            buf_ += "\r\n";
        }
        if (!progress(static_cast<std::int64_t>(o))) return false;
    }
    pt_.endBar();
    return true;
}

bool TableWriter::run(const std::string& fname, const std::string& backup, const TMenge* Mc, const TMenge* Mk,
                      const TMenge* Ma) {
    const bool known = layout_ == kLayoutNative || layout_ == kLayoutNormal || layout_ == kLayoutTransposed ||
                       layout_ == kLayoutObservations || layout_ == kLayoutTransposedHeader;
    if (!known) {
        b_.Ui->showError("Unbekanntes Dateiformat " + std::to_string(layout_) + ".");
        return false;
    }
    b_.RemoveEmptyEndRows('K');
    b_.RemoveEmptyEndRows('A');
    b_.RemoveEmptyEndCols();
    chooseEncoding(fname);
    if (!file_.open(fname)) {
        b_.Ui->showError("Kann " + fname + " nicht speichern: " + file_.error());
        return false;
    }
    if (enc_ == OutEncoding::Utf8Bom) file_.write("\xEF\xBB\xBF");
    if (enc_ == OutEncoding::Utf16) file_.write("\xFF\xFE");
    buf_.reserve(kChunk + 65536);
    bool ok = layout_ == kLayoutObservations ? writeObservations(Mc, Mk, Ma)
              : layout_ == kLayoutTransposed || layout_ == kLayoutTransposedHeader
                  ? writeTransposed(Mc, Mk, Ma)
                  : writeRowLines(Mc, Mk, Ma);
    pt_.hideStatus();
    if (!ok && pt_.aborted()) return false;
    if (!ok || !flush(true) || !file_.commit(backup)) {
        b_.Ui->showError("Kann " + fname + " nicht speichern: " + file_.error());
        return false;
    }
    if (asciiReplaced_ > 0)
        b_.Ui->showWarning(fname + ": " + std::to_string(asciiReplaced_) +
                           " Zeichen außerhalb von ASCII wurden durch ? ersetzt.");
    return true;
}

bool TEditBuffer::CheckSkip(char OC, int i, const TMenge* Mk, const TMenge* Ma) const {
    const TMenge* sel = OC == 'K' ? Mk : OC == 'A' ? Ma : nullptr;
    return sel && !sel->Element(i);
}

bool TEditBuffer::WriteFile(int OCw, const std::string& fname, Progress& pt, const TMenge* Mc,
                            const TMenge* Mk, const TMenge* Ma) {
    TableWriter w(*this, OCw, pt);
    return w.run(fname, {}, Mc, Mk, Ma);
}

bool TEditBuffer::StoreFile(int OC, const std::string& fName, Progress& pt, bool DoMarked) {
    if (DoMarked && !McoR.empty()) {
        TMenge Mc = McoR;
        return WriteFile(OC, fName, pt, &Mc, nullptr, nullptr);
    }
    if (DoMarked && CheckM()) {
        // With only species rows marked, the header rows all go along: an empty header selection means
        // all of them, or an export of marked species would lose every header row.
        TMenge Mk = MroK, Ma = MroA;
        return WriteFile(OC, fName, pt, nullptr, Mk.empty() ? nullptr : &Mk, &Ma);
    }
    return WriteFile(OC, fName, pt, nullptr, nullptr, nullptr);
}

bool TEditBuffer::SaveTable(const std::string& fName, Progress& pt) {
    // The backup belongs beside the file that is replaced: through a symbolic link, that is the file
    // the link points to, not the link.
    std::string real, why;
    if (!resolveSaveTarget(fName, real, why)) {
        Ui->showError("Kann " + fName + " nicht speichern: " + why);
        return false;
    }
    std::size_t slash = real.rfind('/');
    std::size_t dot = real.rfind('.');
    std::string stem =
        dot == std::string::npos || (slash != std::string::npos && dot < slash) ? real : real.substr(0, dot);
    TableWriter w(*this, kLayoutNative, pt);
    return w.run(fName, stem + ".~ta", nullptr, nullptr, nullptr);
}

}  // namespace tav
