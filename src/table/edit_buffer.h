#pragma once
// TEditBuffer: the one vegetation table open in the editor. Columns are releves; rows form two stacked
// parts, the header part ('K') and the species part ('A'). Storage is separate from order: rows and
// columns stay where they were created, and the index lists Icol, IrowK and IrowA map visible positions
// to stored ones, so inserting or deleting a row or column only touches an index list.
//
// Column positions: 0 … Icol.Count()-1 are releves; -1, -2, -3 address the margin string, the row name
// and the row type. A position that addresses nothing reads as "" and ignores writes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lists.h"
#include "core/menge.h"
#include "core/text.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "table/table_store.h"

namespace tav {

// Layout codes of the readers and writers.
enum Layout : int {
    kLayoutNative = 1,
    kLayoutNormal = 3,
    kLayoutTransposed = 4,
    kLayoutAppend = 5,
    kLayoutObservations = 20,
    kLayoutTransposedHeader = 21,
};

// The settings the text layouts read and write with.
struct TableIoSettings {
    char32_t DelimEinst = U'\t';  // field delimiter of text imports and exports
    char32_t QualiEinst = 0;      // text qualifier, 0 for none
    ExportEncoding Encoding = ExportEncoding::CodePage;
};

enum class ReadResult { Ok, Unreadable, Cancelled, Aborted };

// What a reader found out about the file, for summaries.
struct ReadInfo {
    TextEncoding encoding = TextEncoding::Utf8;
    std::int64_t lines = 0;
};

class TEditBuffer {
  public:
    TEditBuffer();

    // ---- whole table
    void Clear();
    void LoadDefault(const std::string& fName);
    void BuildKopf();
    bool CheckM() const;
    void ClearM();
    // Called by ClearM so the editor can reset its marking anchor.
    std::function<void()> OnClearMarks;

    // ---- counting and mapping
    int GetRowCount(char OC) const;
    int GetColCount() const { return Icol.Count(); }
    int BufColSize() const { return static_cast<int>(L.slots); }
    int GetBufCol(int co) const;
    int GetBufRow(char OC, int ro) const;

    // ---- cells. Views stay valid until the table is cleared or read anew.
    std::string_view Get(char OC, int pc, int pr) const;
    std::string_view GetD(char OC, int pc, int pr) const { return Get(OC, pc, pr); }
    void Put(char OC, std::string_view s, int pc, int pr);
    void PutD(char OC, std::string_view s, int pc, int pr) { Put(OC, s, pc, pr); }
    char GetTyp(char OC, int p) const;
    void PutTyp(char OC, char ch, int p);
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

    // ---- structure
    void InsRow(char OC, int p);
    void InsRows(char OC, int p, int n);
    void InsCol(int p);
    void InsCols(int p, int n);
    void PrepManyCols(int n);
    void DelRow(char OC, int p, bool DoDel, bool keep);
    void DelCol(int p, bool DoDel, bool keep);
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
    char GetClipStatus() const;
    std::string GetRow(char OC, int p) const;
    void PutRow(char OC, std::string_view s, int p);
    std::string GetCol(int p) const;
    void PutCol(std::string_view s, int p);
    void Paste(int typ, char Mode, int pc, int pr, Progress& pt);

    // ---- margins from result tables
    void PutGrpNum(const std::vector<std::string>& Lst);
    void PutScores(char OC, const std::vector<std::string>& Lst);
    bool GetSpScoreItem(std::string& t, int& p);

    // ---- files (table_file_read.cpp, table_file_write.cpp)
    ReadResult LoadFile(int OC, const std::string& fName, Progress& pt);
    ReadResult ReadFile(int OCr, const std::string& fname, Progress& pt);
    void KeepDelim(bool b);
    bool StoreFile(int OC, const std::string& fName, Progress& pt, bool DoMarked);
    // Mc: columns left out (layout 1) or written (other layouts); Mk, Ma: header and species rows
    // written. nullptr selects everything.
    bool WriteFile(int OCw, const std::string& fname, Progress& pt, const TMenge* Mc, const TMenge* Mk,
                   const TMenge* Ma);
    bool CheckSkip(char OC, int i, const TMenge* Mk, const TMenge* Ma) const;
    // Saves under the table's own name: the new file is written completely first, then the previous
    // version becomes the backup (".~ta") and the new file takes its place.
    bool SaveTable(const std::string& fName, Progress& pt);
    ReadResult LoadTmp(int OC, Progress& pt);

    // ---- public state, named as the rest of the program knows it
    TableStore L;
    int ManyColCt = 0;
    TLongList Icol;
    TLongList IrowK;
    TLongList IrowA;
    std::vector<std::string> ClipBuffer;
    std::vector<std::string> BufTmpBuffer;
    std::vector<std::string> ClipList;
    TMenge McoL;
    TMenge McoR;
    TMenge MroK;
    TMenge MroA;
    std::string OldClip;
    bool DoKeepDelim = false;
    char32_t KeptDelim = 0;
    char32_t KeptCte = 0;
    // The sorted template header list: "name;type;margin" for every named header row.
    std::vector<std::string> Kopf;

    TableIoSettings IoSettings;
    UiPort* Ui;
    // Tells whether a row name is exactly one species of the species database. Unset: no database, and
    // the text layouts read every row as a header row.
    std::function<bool(std::string_view)> IsSpeciesName;
    // Set by the last successful reader.
    ReadInfo LastRead;

  private:
    TLongList* rowList(char OC);
    const TLongList* rowList(char OC) const;
    void putEntry(int row, int entry, std::string_view s);
    int newStoredRow(char type);
    void ensureColumns(int n);
    void ensureRows(char OC, int n);
    void minimalTable();
    void moveCell(char OC, int fromCol, int fromRow, int toCol, int toRow);

    friend class TableReader;
    friend class TableWriter;
    // Cells of ";" or line breaks that Put had to change since the counter was last reset.
    std::int64_t cleanedCells_ = 0;
};

// The text that a cell, name or margin keeps for s: ";" becomes "," and line breaks become blanks (a
// saved table could otherwise shift its fields), then blanks around the text are removed.
std::string cleanCellText(std::string_view s, bool* changed = nullptr);

}  // namespace tav
