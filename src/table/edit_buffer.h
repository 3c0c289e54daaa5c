#pragma once
// TEditBuffer: the one vegetation table open in the editor. Columns are releves; rows form two stacked
// parts, the header part ('K') and the species part ('A'). Storage is separate from order: rows and
// columns stay where they were created, and the index lists Icol, IrowK and IrowA map visible positions
// to stored ones, so inserting or deleting a row or column only touches an index list.
//
// Column positions: 0 … Icol.Count()-1 are releves; -1, -2, -3 address the margin string, the row name
// and the row type. A position that addresses nothing reads as "" and ignores writes.
//
// Every change goes through a few primitives (put a field, insert or delete index entries, permute an
// index list, change a marking set, replace the table), and each reports a TableChange to the observers
// (table_change.h). Readers get const views; nothing outside changes the storage or the index lists.
//
// Row types belong to their part: the species part starts in a file at the first row of type 'A' or 'K',
// so a header row never takes one of these types and a species row takes no other. A type that does not
// fit is refused and the row keeps its old one; PutTyp and PutRow say so, and Paste counts the refusals
// and reports them in one message.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lists.h"
#include "core/menge.h"
#include "core/status.h"
#include "core/text.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "table/table_change.h"
#include "table/table_codes.h"
#include "table/table_store.h"

namespace tav {

// The settings the text layouts read and write with.
struct TableIoSettings {
    char32_t DelimEinst = U'\t';  // field delimiter of text imports and exports
    char32_t QualiEinst = 0;      // text qualifier, 0 for none
    ExportEncoding Encoding = ExportEncoding::CodePage;
};

// What became of a read. The readers return it as the value of a Result that holds it in every case: the
// status fails unless the value is Ok, and for Unreadable it says why.
enum class ReadResult { Ok, Unreadable, Cancelled, Aborted };

// What a reader found out about the file, for summaries.
struct ReadInfo {
    TextEncoding encoding = TextEncoding::Utf8;
    std::int64_t lines = 0;
};

// One filled cell as forEachFilled hands it over: visible column and row, and its text.
struct FilledCell {
    int col;
    int row;
    TextHandle handle;
    std::string_view text;
};

class TEditBuffer {
  public:
    TEditBuffer();

    // ---- whole table
    void Clear();
    // The template fName, or the minimal table when there is none or it cannot be read (the status
    // says why).
    Status LoadDefault(const std::string& fName);
    void BuildKopf();
    bool CheckM() const;
    void ClearM();

    // ---- counting and mapping
    int GetRowCount(char OC) const;
    int GetColCount() const { return t_.Icol.Count(); }
    int BufColSize() const { return static_cast<int>(t_.L.slots); }
    int GetBufCol(int co) const;
    int GetBufRow(char OC, int ro) const;

    // ---- cells. Views stay valid until the table is cleared or read anew.
    std::string_view Get(char OC, int pc, int pr) const;
    std::string_view GetD(char OC, int pc, int pr) const { return Get(OC, pc, pr); }
    void Put(char OC, std::string_view s, int pc, int pr);
    void PutD(char OC, std::string_view s, int pc, int pr) { Put(OC, s, pc, pr); }
    char GetTyp(char OC, int p) const;
    // False when the type does not belong to the part (the row keeps its type) or p is no row.
    bool PutTyp(char OC, char ch, int p);
    std::string_view GetZl(char OC, int p) const { return Get(OC, -2, p); }
    void PutZl(char OC, std::string_view s, int p) { Put(OC, s, -2, p); }
    std::string_view GetP(char OC, int p) const { return Get(OC, -1, p); }
    void PutP(char OC, std::string_view s, int p) { Put(OC, s, -1, p); }
    std::string ReadP(char OC, char gCode, int p) const;
    std::string DoReadP(char OC, char gCode, int p, std::string& s) const;
    void WriteP(char OC, char gCode, std::string_view s, int p);
    int GetCodePos(int i) const;
    bool IsDataRow(char OC, int p) const;
    bool IsNumRow(char OC, int p) const;
    bool AskCat(char OC, std::string_view Capt, std::vector<std::string>& Lst, TLongList& LstI, int& i);
    // Whether a row of part OC may carry the type text t (see the top of this file).
    static bool typeFitsPart(char OC, std::string_view t);

    // ---- structure
    void InsRow(char OC, int p);
    void InsRows(char OC, int p, int n);
    void InsCol(int p);
    void InsCols(int p, int n);
    void PrepManyCols(int n);
    void DelRow(char OC, int p, bool DoDel, bool keep);
    void DelCol(int p, bool DoDel, bool keep);
    // Removes the rows (releves) at the given positions, ascending, in one pass; positions outside the
    // part are ignored, and the last row (releve) of a part stays.
    void DelRows(char OC, const std::vector<int>& positions);
    void DelCols(const std::vector<int>& positions);
    void ClearRow(char OC, int p);
    void ClearCol(int p);
    // Sel = {left, top, right, bottom} in visible positions.
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    void DelRange(int typ, Rect Sel, char DelMode, bool keep);
    void RemoveEmptyEndCols();
    void RemoveEmptyStartCols();
    void RemoveEmptyEndRows(char OC);
    void RemoveEmptyStartRows(char OC);
    void RemoveEmptyRC();
    bool isEmptyRow(char OC, int p) const;
    bool isEmptyCol(int p) const;

    // ---- clip and paste
    void StartClip(char OC);
    void addClipLine(std::string line) { ClipBuffer_.push_back(std::move(line)); }
    char GetClipStatus() const;
    const std::vector<std::string>& clipBuffer() const { return ClipBuffer_; }
    // The text of the system clipboard last seen by the editor.
    const std::string& oldClip() const { return OldClip_; }
    void setOldClip(std::string s) { OldClip_ = std::move(s); }
    std::string GetRow(char OC, int p) const;
    // False when the row's type was refused (the other fields are written) or p is no row.
    bool PutRow(char OC, std::string_view s, int p);
    std::string GetCol(int p) const;
    void PutCol(std::string_view s, int p);
    void Paste(int typ, char Mode, int pc, int pr, Progress& pt);

    // ---- margins from result tables
    void PutGrpNum(const std::vector<std::string>& Lst);
    // The 'S' margins from a score table. Line 0: a flag and the axis names, ";"-separated. Flag 0: one
    // line per row, "identifier;value1;value2…", giving "0 name1 value1 name2 value2 …". Another flag:
    // biplot groups, each of lines "identifier;count;label;value1;value2…" where the first line's count
    // says how many lines the group has; the first line's row gets "count 1", then per line its label
    // ("#0" when empty) and "name1 value1 name2 value2 …".
    void PutScores(char OC, const std::vector<std::string>& Lst);
    bool GetSpScoreItem(std::string& t, int& p);

    // ---- files (table_file_read.cpp, table_file_write.cpp)
    // Warnings and information of a read go through the port as they come; a failure is only returned.
    Result<ReadResult> LoadFile(int OC, const std::string& fName, Progress& pt);
    Result<ReadResult> ReadFile(int OCr, const std::string& fname, Progress& pt);
    // Remember the delimiter and qualifier of text imports, so that a batch of imports asks once;
    // delim 0 means none chosen yet.
    void KeepDelim(bool b, char32_t delim = 0, char32_t qualifier = 0);
    bool doKeepDelim() const { return DoKeepDelim_; }
    char32_t keptDelim() const { return KeptDelim_; }
    char32_t keptQualifier() const { return KeptCte_; }
    // The writers report warnings through the port as they come and return a failure (none for an
    // aborted write, the reason otherwise).
    Status StoreFile(int OC, const std::string& fName, Progress& pt, bool DoMarked);
    // Mc: columns left out (layout 1) or written (other layouts); Mk, Ma: header and species rows
    // written. nullptr selects everything.
    Status WriteFile(int OCw, const std::string& fname, Progress& pt, const TMenge* Mc, const TMenge* Mk,
                     const TMenge* Ma);
    bool CheckSkip(char OC, int i, const TMenge* Mk, const TMenge* Ma) const;
    // Saves under the table's own name: the new file is written completely first, then the previous
    // version becomes the backup (".~ta") and the new file takes its place.
    Status SaveTable(const std::string& fName, Progress& pt);
    Result<ReadResult> LoadTmp(int OC, Progress& pt);
    // Set by the last successful reader.
    const ReadInfo& lastRead() const { return LastRead_; }

    // ---- read-only views, named as the rest of the program knows them
    const TableStore& L() const { return t_.L; }
    const TLongList& Icol() const { return t_.Icol; }
    const TLongList& IrowK() const { return t_.IrowK; }
    const TLongList& IrowA() const { return t_.IrowA; }
    // The row index of part 'K' or 'A'; an empty list for any other code.
    const TLongList& rowIndex(char OC) const;
    int ManyColCt() const { return t_.ManyColCt; }
    const TMenge& marks(MarkSet which) const { return marks_[static_cast<int>(which)]; }
    const TMenge& McoL() const { return marks(MarkSet::McoL); }
    const TMenge& McoR() const { return marks(MarkSet::McoR); }
    const TMenge& MroK() const { return marks(MarkSet::MroK); }
    const TMenge& MroA() const { return marks(MarkSet::MroA); }
    // The sorted template header list: "name;type;margin" for every named header row.
    const std::vector<std::string>& Kopf() const { return Kopf_; }
    void setKopf(std::vector<std::string> k) { Kopf_ = std::move(k); }

    // Calls f(const FilledCell&) for every non-empty cell of part OC in a visible row and column, row by
    // row; within a row the columns come in stored order, which is visible order unless columns were
    // inserted or moved.
    template <class F>
    void forEachFilled(char OC, F&& f) const;

    // ---- settings and ports
    const TableIoSettings& ioSettings() const { return IoSettings_; }
    void setIoSettings(const TableIoSettings& s) { IoSettings_ = s; }
    void setDelimiter(char32_t d) { IoSettings_.DelimEinst = d; }
    void setQualifier(char32_t q) { IoSettings_.QualiEinst = q; }
    void setExportEncoding(ExportEncoding e) { IoSettings_.Encoding = e; }
    UiPort& ui() const { return *Ui_; }
    void setUi(UiPort* ui) { Ui_ = ui ? ui : &silentUi(); }
    // Tells whether a row name is exactly one species of the species database. Unset: no database, and
    // the text layouts read every row as a header row.
    void setSpeciesNameTest(std::function<bool(std::string_view)> f) { IsSpeciesName_ = std::move(f); }
    // Called by ClearM so the editor can reset its marking anchor.
    void setOnClearMarks(std::function<void()> f) { OnClearMarks_ = std::move(f); }

    // ---- primitives that the higher operations share and other modules may use directly
    // Reorders index list `list` (Header, Species or Columns): entry i of the new list is entry order[i]
    // of the old one. An order that is not a permutation of the list's positions is ignored.
    void permute(Area list, const std::vector<std::int32_t>& order);
    void setMarks(MarkSet which, const TMenge& m);
    void mark(MarkSet which, int n, bool on = true);
    // Replaces the whole table (storage and index lists); marks and clip stay.
    void replaceTable(TableContent&& content);

    // ---- observers and undo
    void addObserver(TableObserver* o);
    void removeObserver(TableObserver* o);
    // Takes back change c, which must be the last change not yet taken back (changes are reverted in
    // the reverse order they were made), and turns c into the change that redoes it. Observers hear of
    // it through tableReverted, not tableChanged.
    void revert(TableChange& c);

  private:
    TLongList* rowList(char OC);
    void deleteMany(Area list, const std::vector<int>& positions);
    const TLongList* rowList(char OC) const;
    TLongList& indexList(Area list);
    // The field primitive: stores handle h (or text, cleaned by the caller) in a stored row.
    void storeHandle(int row, int entry, TextHandle h);
    void storeText(int row, int entry, std::string_view text);
    // The index primitives.
    void insertEntries(Area list, int pos, std::vector<std::int32_t> stored);
    void deleteEntries(Area list, int pos, int n);
    void notify(const TableChange& c);
    void putEntry(int row, int entry, std::string_view s);
    void clearStoredCells(int row);
    int newStoredRow(char type);
    void ensureColumns(int n);
    void ensureRows(char OC, int n);
    void minimalTable();
    void moveCell(char OC, int fromCol, int fromRow, int toCol, int toRow);

    friend class TableReader;
    friend class TableWriter;

    TableContent t_;
    TMenge marks_[4];
    std::vector<std::string> ClipBuffer_;
    std::vector<std::string> ClipList_;
    std::string OldClip_;
    bool DoKeepDelim_ = false;
    char32_t KeptDelim_ = 0;
    char32_t KeptCte_ = 0;
    std::vector<std::string> Kopf_;
    TableIoSettings IoSettings_;
    UiPort* Ui_;
    std::function<bool(std::string_view)> IsSpeciesName_;
    std::function<void()> OnClearMarks_;
    ReadInfo LastRead_;
    std::vector<TableObserver*> observers_;
    // Cells of ";" or line breaks that Put had to change since the counter was last reset.
    std::int64_t cleanedCells_ = 0;
    // Row types refused because they do not belong to the row's part.
    std::int64_t refusedTypes_ = 0;
};

template <class F>
void TEditBuffer::forEachFilled(char OC, F&& f) const {
    const TLongList* rows = rowList(OC);
    if (!rows) return;
    std::vector<int> colOfSlot(t_.L.slots, -1);
    for (int c = 0; c < t_.Icol.Count(); ++c) colOfSlot[static_cast<std::size_t>(t_.Icol.GetLong(c) - 3)] = c;
    for (int r = 0; r < rows->Count(); ++r) {
        t_.L.rows[static_cast<std::size_t>(rows->GetLong(r))].cells.forEach(
            [&](std::uint32_t slot, TextHandle h) {
                const int c = slot < colOfSlot.size() ? colOfSlot[slot] : -1;
                if (c >= 0) f(FilledCell{c, r, h, t_.L.pool.text(h)});
            });
    }
}

// The text that a cell, name or margin keeps for s: ";" becomes "," and line breaks become blanks (a
// saved table could otherwise shift its fields), then blanks around the text are removed.
std::string cleanCellText(std::string_view s, bool* changed = nullptr);

}  // namespace tav
