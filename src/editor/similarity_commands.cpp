// "Aehnlichkeitsmatrix" and "Aehnlichkeiten zu Referenz": rows or releves compared pairwise, among
// themselves or against references from the table or from a second table file, under one of the
// similarity measures. The result matrix is shown, written into the table as header rows, turned into
// ranked lists of the most similar references, reduced to mean similarities of categories, or
// clustered.
//
// Cover data are read once per distinct cell text into sparse vectors; numeric data into dense vectors
// with missing values. The pairs are computed on all cores. A symmetric result keeps only its lower
// triangle.

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>

#include "analysis/similarity_matrix.h"
#include "analysis/similarity_measures.h"
#include "analysis/similarity_pairs.h"
#include "analysis/tav_matrix.h"
#include "analysis/weight_view.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/cluster_window.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/evaluations.h"
#include "editor/session.h"
#include "editor/window_commands.h"
#include "env/dialogs.h"

namespace tav {

namespace {

struct ModeCommand {
    std::int64_t number;
    int mode;
    bool paired;
};
constexpr ModeCommand kModeCommands[] = {
    {106050101, 1, false},   // "Zeilen (numerische Kopfdaten)"
    {106050102, 1, true},    // "Zeilen paarweise (num. Kopfd.)"
    {106050103, 2, false},   // "Spalten (numerische Kopfdaten)"
    {106050104, 2, true},    // "Spalten paarweise (num. Kopfd.)"
    {106050201, 8, false},   // "Arten (Deckungscode)"
    {106050202, 7, false},   // "Aufnahmen (Deckungscode)"
    {106050203, 7, true},    // "Aufnahmen paarweise (Deck.)"
    {106050301, 18, false},  // "Mittl. Aehnlichkeit Kopfdaten"
    {106050302, 19, false},  // "Mittl. Aehnlichkeit Abundanzdaten"
    {106060100, 9, false},   // "Kopfdaten in Datei (numerische Zeilen)"
    {106060200, 14, false},  // "Aufnahmen in Datei (Deckungscode)"
    {106060300, 10, false},  // "Zeilen (numerische Kopfdaten)"
    {106060400, 11, false},  // "Spalten (numerische Kopfdaten)"
    {106060500, 12, false},  // "Arten (Deckungscode)"
    {106060600, 13, false},  // "Aufnahmen (Deckungscode)"
};

bool coverMode(int m) {
    return m == 7 || m == 8 || m == 12 || m == 13 || m == 14 || m == 19;
}
bool rowObjects(int m) {  // the objects are rows, so the table cannot take the result
    return m == 1 || m == 8 || m == 10 || m == 12;
}
bool releveVectors(int m) {  // releves compared over species rows
    return m == 7 || m == 13 || m == 19;
}

// The measure code of a family and an answer of its measure dialog; 0 for any other combination.
int measureCode(int family, int answer) {
    static const std::vector<std::vector<int>> kCodes = {
        {46, 47, 48, 43, 42, 41, 44, 45}, {1, 10, 11, 8, 9}, {2, 3, 4, 5, 7, 6}, {22, 23, 24, 25, 27, 26}};
    if (family < 0 || family > 3 || answer < 0 || answer >= static_cast<int>(kCodes[family].size())) return 0;
    return kCodes[static_cast<std::size_t>(family)][static_cast<std::size_t>(answer)];
}

// A key of the category rows as the result names it: the ";" become blanks, leading blanks go.
std::string keyName(std::string_view key) {
    std::string s(key);
    std::replace(s.begin(), s.end(), ';', ' ');
    const std::size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

// The reference table file: its column names, its header lines and its species lines, as fields.
struct ReferenceFile {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> header, species;
    std::string field(const std::vector<std::string>& line, int col) const {
        const std::size_t i = static_cast<std::size_t>(col) + 3;
        return i < line.size() ? line[i] : std::string();
    }
};

Result<ReferenceFile> readReferenceFile(const std::string& file) {
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes) return bytes.status();
    ReferenceFile out;
    bool first = true, inSpecies = false;
    const std::string text = decodeFileText(bytes.value());
    for (std::string_view line : splitLines(text)) {
        if (line.empty()) continue;
        std::vector<std::string> f = splitFields(line);
        if (first) {
            for (std::size_t i = 3; i < f.size(); ++i) out.columns.push_back(f[i]);
            first = false;
        }
        if (line.front() == 'A') inSpecies = true;
        if (!inSpecies)
            out.header.push_back(std::move(f));
        else if (line.front() == 'A' && f.size() > 1 && !trimBlanks(f[1]).empty())
            out.species.push_back(std::move(f));
    }
    return out;
}

class SimilarityRun {
  public:
    SimilarityRun(Session& s, int mode, bool paired)
        : s_(s), b_(s.buffer()), o_(s.similarity), mode_(mode), paired_(paired) {}

    Status run();

  private:
    // ---- questions
    bool askGrouping();
    bool askReferences();
    bool askOptions();
    bool askOutput();
    bool askMeasure(bool& panelUsed);
    bool assignmentPanel();
    bool askRanks(bool withMinimum);
    bool askOccurrence();
    bool askGradient();

    // ---- data
    void prepareMarks();
    WeightView weightsOf(const TMenge* rows);
    double coverWeightOf(std::string_view text, bool reference);
    double numericValue(char part, int col, int row, bool reference);
    std::vector<double> rowVector(char part, int row, bool reference);
    std::vector<double> columnVector(int col);
    std::vector<SparseVector> releveVectorsOfTable();
    std::vector<SparseVector> speciesRowVectors(const std::vector<int>& rows);
    bool passes(const WeightView& v, int row) const;
    bool confirmInvalidCovers();

    // ---- computation
    std::optional<TTavMatrix> compute();
    std::optional<TTavMatrix> squareDense(const std::vector<std::vector<double>>& v, bool zeroIfMissing);
    std::optional<TTavMatrix> squareSparse(const std::vector<SparseVector>& v, int attributes);
    std::optional<TTavMatrix> rectangle(int objects, int references,
                                        const std::function<double(int, int)>& cell);
    std::optional<TTavMatrix> pairedKeys();
    std::optional<TTavMatrix> pairedRows();
    std::optional<TTavMatrix> againstFileHeader();
    std::optional<TTavMatrix> againstFileReleves();
    std::vector<std::string> objectNames();

    // ---- output
    Status output(TTavMatrix& m);
    void showMatrix(TTavMatrix&& m);
    TTavMatrix categoryMeans(const TTavMatrix& m);
    void writeIntoTable(const TTavMatrix& m);
    void rankReferences(const TTavMatrix& m);
    void reportConversions();

    std::string cellText(double x) const { return isMissing(x) ? "NA" : formatFixed(x, decimals()); }
    int decimals() const { return s_.settings().Diversa.Decimals; }
    double measure(const std::vector<double>& x, const std::vector<double>& y, bool zeroIfMissing) const {
        return similarityMeasure(o_.OcSim, zeroIfMissing, x, y, o_.qu);
    }

    Session& s_;
    TEditBuffer& b_;
    SimilarityChoices& o_;
    const int mode_;
    const bool paired_;

    std::vector<int> keyRows_;
    std::vector<std::string> keys_;  // sorted distinct keys
    std::vector<int> columnKey_;     // per column its index in keys_
    std::vector<std::pair<int, int>> rowPairs_;
    std::vector<int> references_;  // rows or columns
    std::string refFileName_;
    ReferenceFile refFile_;
    std::vector<double> gradient_;
    std::vector<MarkedRow> marked_;

    bool refused_ = false;  // a message said why the run ended
    std::int64_t invalidNumbers_ = 0, invalidCovers_ = 0, refInvalidCovers_ = 0, refInvalidNumbers_ = 0;
};

// ---------------------------------------------------------------- questions

bool SimilarityRun::askGrouping() {
    if (mode_ == 1 && paired_) {
        const auto pairs = askRowPairs(s_);
        if (!pairs || pairs->empty()) return false;
        rowPairs_ = *pairs;
        return true;
    }
    if (!(paired_ || mode_ == 18 || mode_ == 19)) return true;
    std::vector<std::string> names;
    TLongList picks;
    int one = 0;
    if (!b_.AskCat('M', paired_ ? "Element-ID angeben" : "Kategorien (Straten) angeben", names, picks, one))
        return false;
    for (int i = 0; i < picks.Count(); ++i) keyRows_.push_back(static_cast<int>(picks.GetLong(i)));
    if (keyRows_.empty()) return false;
    std::vector<std::string> keyOf(static_cast<std::size_t>(b_.GetColCount()));
    for (int c = 0; c < b_.GetColCount(); ++c)
        for (int r : keyRows_) keyOf[static_cast<std::size_t>(c)] += ";" + std::string(b_.Get('K', c, r));
    keys_ = keyOf;
    std::sort(keys_.begin(), keys_.end());
    keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
    for (const std::string& k : keyOf)
        columnKey_.push_back(
            static_cast<int>(std::lower_bound(keys_.begin(), keys_.end(), k) - keys_.begin()));
    return true;
}

bool SimilarityRun::askReferences() {
    std::vector<std::string> lines;
    std::vector<int> index;
    if (mode_ == 10 || mode_ == 12) {
        const char part = mode_ == 10 ? 'K' : 'A';
        for (int r = 0; r < b_.GetRowCount(part); ++r)
            if (b_.IsNumRow(part, r)) {
                lines.push_back(std::to_string(r + 1) + ";" + std::string(b_.GetZl(part, r)));
                index.push_back(r);
            }
    } else {
        for (int c = 0; c < b_.GetColCount(); ++c) {
            lines.emplace_back(b_.GetRowCount('K') > 0 ? b_.Get('K', c, 0) : std::string_view());
            index.push_back(c);
        }
    }
    int current = 0;
    std::vector<int> chosen;
    const bool rows = mode_ == 10 || mode_ == 12;
    if (!TListDlg::Execute(s_.ui(), rows ? "Referenzzeile(n) wählen" : "Referenzspalte(n) wählen", lines,
                           true, current, &chosen))
        return false;
    if (chosen.empty() && current >= 0 && current < static_cast<int>(index.size())) chosen.push_back(current);
    for (int i : chosen)
        if (i >= 0 && i < static_cast<int>(index.size()))
            references_.push_back(index[static_cast<std::size_t>(i)]);
    return !references_.empty();
}

bool SimilarityRun::askOutput() {
    if (mode_ == 18 || mode_ == 19) {
        o_.OCclu = 1;
        return true;
    }
    const char* annotation = rowObjects(mode_)             ? "JA;JA;NEIN;NEIN;JA;JA;JA;JA"
                             : (mode_ == 9 || mode_ == 14) ? "JA;JA;JA;JA;NEIN;NEIN;NEIN;NEIN"
                                                           : "JA;JA;JA;JA;JA;JA;JA;JA";
    if (paired_) {
        o_.rClu = 0;
    } else {
        int answer = o_.rClu;
        const bool reference = mode_ >= 9 && mode_ <= 14;
        if (!TRadioDlg::Execute(s_.ui(), s_.catalogue(), reference ? "DlgMatRef" : "DlgMatClu", annotation,
                                "", answer))
            return false;
        o_.rClu = answer;
    }
    static const int kOutput[] = {1, 3, 4, 5, 6, 7, 8};
    if (o_.rClu < 0 || o_.rClu > 6) {
        s_.ui().showInfo("Für diese Ausgabe gibt es keine Auswertung.");
        refused_ = true;
        return false;
    }
    o_.OCclu = kOutput[o_.rClu];
    return true;
}

bool SimilarityRun::askRanks(bool withMinimum) {
    o_.nRang = 1;
    const auto n = askWholeNumber(s_, "Zahl eingeben", "Anzahl Ränge (0 = alle)", o_.nRang, 0, 1000000000);
    if (!n) return false;
    o_.nRang = *n;
    if (!withMinimum) {
        o_.MinRang = kMissing;
        return true;
    }
    o_.MinRang = 0.00001;
    const auto v = askNumber(s_, "Zahl eingeben", "Minimaler Wert", formatNumber(o_.MinRang));
    if (!v) return false;
    o_.MinRang = *v;
    return true;
}

bool SimilarityRun::askOccurrence() {
    DialogRequest r;
    r.kind = DialogKind::Input;
    r.name = "Minimales Vorkommen";
    r.caption = "Minimales Vorkommen";
    r.groups = {
        "1. Wert: Stetigkeit (0 - 0.99) oder Frequenz (>=1)\r\r2. Wert: minimale Deckung (gemäss "
        "eingestelltem "
        "Code)"};
    r.items = {"1. Wert", "2. Wert"};
    r.initial = ";;";
    const std::optional<std::string> answer = s_.ui().dialog(r);
    if (!answer) return false;
    std::vector<std::string> f = splitFields(*answer);
    f.resize(2);
    const std::string first(trimBlanks(f[0])), second(trimBlanks(f[1]));
    const auto freq = parseNumber(first);
    if (!freq) {
        s_.ui().showError(s_.catalogue().GetMsg("InvalidNumber") + ": " + first);
        refused_ = true;
        return false;
    }
    o_.FiltFreq = *freq;
    o_.MinDeck = 0;
    if (!second.empty() && second != "0") {
        std::string code = second;
        double x = 0;
        CoverCounts counts;
        if (!s_.coverInterpreter().DeckVal('S', code, x, false, counts)) {
            s_.ui().showError(s_.catalogue().GetMsg("InvalidCover") + ": " + second);
            refused_ = true;
            return false;
        }
        o_.MinDeck = x;
    }
    return true;
}

// The option panel of the assignment to references: each button sets one option, OK goes on.
bool SimilarityRun::assignmentPanel() {
    static const char* kMeasures[] = {"Anzahl Gemeinsame",
                                      "Gemeinsame / Aufn.",
                                      "Gemeinsame / Ref.",
                                      "Jaccard = Gemeinsame / Vereinigung",
                                      "Van der Maarel = dito mit Gewichtung der Deckungen",
                                      "Ochiai = \"Sehnen-Ähnlichkeit\"",
                                      "Korrelation (cor+1)/2",
                                      "Korrelation PA"};
    o_.nRang = 1;
    for (;;) {
        const int ones = static_cast<int>(std::count(o_.Data.begin(), o_.Data.end(), '1'));
        const std::string labels = std::string(o_.reSim >= 0 && o_.reSim < 8 ? kMeasures[o_.reSim] : "") +
                                   ";" + (ones > 0 ? std::to_string(ones) + " aktiviert" : std::string()) +
                                   ";" + std::to_string(o_.nRang) + " Ränge;aaa;bbb;" +
                                   formatNumber(o_.MinRang) + " min. Zugehörigkeit;" +
                                   formatNumber(o_.FiltFreq) + "  xxx";
        int pressed = 0;
        if (!TButtonDlg::Execute(s_.ui(), s_.catalogue(), "DlgSimTavZu", labels, "", pressed)) return false;
        if (pressed < 0) break;
        o_.MinRang = 0.00001;
        switch (pressed) {
            case 0: {
                int answer = o_.reSim;
                if (TRadioDlg::Execute(s_.ui(), s_.catalogue(), "DlgSimTavR", "", "", answer))
                    o_.reSim = answer;
                break;
            }
            case 1: {
                std::string data = o_.Data;
                if (TCheckDlg::Execute(s_.ui(), s_.catalogue(), "DlgSimTavData", "", "", data))
                    o_.Data = data;
                break;
            }
            case 2:
                if (!askRanks(false)) return false;
                break;
            case 5: {
                const auto v = askNumber(s_, "Zahl eingeben", "Minimaler Wert", formatNumber(o_.MinRang));
                if (!v) return false;
                o_.MinRang = *v;
                break;
            }
            case 6:
                if (!askOccurrence()) return false;
                break;
            default:
                break;
        }
    }
    o_.OcSim = measureCode(0, o_.reSim);
    return true;
}

bool SimilarityRun::askMeasure(bool& panelUsed) {
    const bool numeric = !coverMode(mode_);
    int family = o_.OcSimMain;
    if (!TRadioDlg::Execute(s_.ui(), s_.catalogue(), "DlgSimMain",
                            numeric ? "NEIN;JA;JA;NEIN" : "JA;NEIN;NEIN;JA", "", family))
        return false;
    o_.OcSimMain = family;
    const bool square = mode_ == 1 || mode_ == 2 || mode_ == 7 || mode_ == 8 || mode_ == 18 || mode_ == 19;
    if (family == 0 && !square && o_.OCclu == 4) {
        panelUsed = true;
        return assignmentPanel();
    }
    int answer = o_.reSim;
    const char* dialog = family == 1                  ? "DlgSimDist"
                         : family == 2 || family == 3 ? "DlgSimNum"
                         : square                     ? "DlgSimTav"
                                                      : "DlgSimTavR";
    if (family == 0 && square && answer > 2) answer -= 2;  // the last answer, as this dialog lists it
    if (!TRadioDlg::Execute(s_.ui(), s_.catalogue(), dialog, "", "", answer)) return false;
    // This dialog offers "Anzahl Gemeinsame", then the measures from "Jaccard" on, without the two
    // asymmetric ones.
    if (family == 0 && square && answer > 0) answer += 2;
    o_.reSim = answer;
    o_.OcSim = measureCode(family, answer);
    return true;
}

bool SimilarityRun::askOptions() {
    o_.OC = mode_;
    o_.Data = "1000";
    o_.MinDeck = 0;
    if (!askOutput()) return false;
    if (mode_ == 9 || mode_ == 14) {
        const auto file = askFile(s_, DialogKind::OpenFile, "Referenzdatei");
        if (!file) return false;
        refFileName_ = *file;
        Result<ReferenceFile> read = readReferenceFile(*file);
        if (!read) {
            s_.report(read.status());
            return false;
        }
        refFile_ = std::move(read.value());
    }
    bool panelUsed = false;
    if (!askMeasure(panelUsed)) return false;
    if (panelUsed) return true;
    if (o_.OCclu == 3 || o_.OCclu == 4) {
        o_.nRang = -1;
        if (rowObjects(mode_)) {
            s_.ui().showInfo(s_.catalogue().GetLangMsg("MsgOnlyCols"));
            refused_ = true;
            return false;
        }
        if (o_.OCclu == 4 && !askRanks(mode_ != 9)) return false;
    }
    if (o_.OcSim == 11) {
        o_.qu = 0.5;
        const auto text = askText(s_, "Quantil angeben", "Quantil", "0.5");
        if (!text) return false;
        const auto q = parseNumber(trimBlanks(*text));
        if (!q || *q < 0 || *q > 1) {
            s_.ui().showError(s_.catalogue().GetMsg("InvalidNumber") + ": " + *text);
            return false;
        }
        o_.qu = *q;
    }
    if (coverMode(mode_) && !askOccurrence()) return false;
    return true;
}

// "Feld für Gradient": the numeric header rows, "< keines >" on top. False when cancelled.
bool SimilarityRun::askGradient() {
    std::vector<std::string> lines{"0;< keines >"};
    std::vector<int> rows{-1};
    for (int r = 0; r < b_.GetRowCount('K'); ++r)
        if (b_.IsNumRow('K', r)) {
            lines.push_back(std::to_string(r + 1) + ";" + std::string(b_.GetZl('K', r)));
            rows.push_back(r);
        }
    int chosen = 0;
    if (!TListDlg::Execute(s_.ui(), "Feld für Gradient", lines, false, chosen)) return false;
    if (chosen <= 0 || chosen >= static_cast<int>(rows.size())) return true;
    const int row = rows[static_cast<std::size_t>(chosen)];
    for (int c = 0; c < b_.GetColCount(); ++c) gradient_.push_back(headerNumber(b_, c, row));
    return true;
}

// ---------------------------------------------------------------- data

void SimilarityRun::prepareMarks() {
    if (mode_ == 1 || mode_ == 2 || mode_ == 10 || mode_ == 11 || mode_ == 18) {
        if (b_.MroK().empty() && b_.MroA().empty()) {
            const char part = s_.activeGrid >= 3 ? 'A' : 'K';
            TMenge all;
            all.Fill(0, b_.GetRowCount(part) - 1);
            b_.setMarks(rowMarkSet(part), all);
        }
    }
    if (releveVectors(mode_) || mode_ == 8 || mode_ == 12) {
        if (b_.MroA().empty()) {
            TMenge all;
            all.Fill(0, b_.GetRowCount('A') - 1);
            b_.setMarks(MarkSet::MroA, all);
        }
        b_.setMarks(MarkSet::MroK, TMenge());
    }
    for (const char part : {'K', 'A'})
        for (int r : (part == 'K' ? b_.MroK() : b_.MroA()).elements())
            if (!b_.IsNumRow(part, r) || trimBlanks(b_.GetZl(part, r)).empty())
                b_.mark(rowMarkSet(part), r, false);
    marked_ = markedRows(b_);
}

double SimilarityRun::coverWeightOf(std::string_view text, bool reference) {
    std::string entry(text);
    double x = 0;
    CoverCounts counts;
    if (trimBlanks(entry).empty()) return 0;
    if (!s_.coverInterpreter().DeckVal('S', entry, x, s_.settings().Pruef.NaAccept, counts)) {
        ++(reference ? refInvalidCovers_ : invalidCovers_);
        return 0;
    }
    return x;
}

// A cell read as a number: an empty or unreadable header cell is missing, a species cell 0.
double SimilarityRun::numericValue(char part, int col, int row, bool reference) {
    const std::string_view text = trimBlanks(b_.Get(part, col, row));
    if (const auto v = parseNumber(text)) return *v;
    // An empty species cell is an absent species, not a gap in the data.
    if (part == 'K' || !text.empty()) ++(reference ? refInvalidNumbers_ : invalidNumbers_);
    return part == 'K' ? kMissing : 0;
}

std::vector<double> SimilarityRun::rowVector(char part, int row, bool reference) {
    std::vector<double> v(static_cast<std::size_t>(b_.GetColCount()));
    for (int c = 0; c < b_.GetColCount(); ++c)
        v[static_cast<std::size_t>(c)] = numericValue(part, c, row, reference);
    return v;
}

// A column's values in the marked header rows, then the marked species rows.
std::vector<double> SimilarityRun::columnVector(int col) {
    std::vector<double> v;
    v.reserve(marked_.size());
    for (const MarkedRow& m : marked_) v.push_back(numericValue(m.part, col, m.row, false));
    return v;
}

// The cover weights of species rows (all when null); the invalid covers are counted for the question and
// the report of this run.
WeightView SimilarityRun::weightsOf(const TMenge* rows) {
    WeightView v = readWeights(b_, s_.coverInterpreter(), s_.coverInterpreter().settings().NaAccept, rows);
    invalidCovers_ += v.invalid;
    return v;
}

// The frequency filter: the releves where the row is present, or their share of all releves.
bool SimilarityRun::passes(const WeightView& v, int row) const {
    if (o_.FiltFreq <= 0) return true;
    const auto f = static_cast<double>(v.bySpecies[static_cast<std::size_t>(row)].size());
    if (o_.FiltFreq >= 1) return f >= o_.FiltFreq;
    return v.releves > 0 && f / v.releves >= o_.FiltFreq;
}
// The releves over the species rows: the marked rows that pass the frequency filter, numbered in table
// order among the marked rows; covers below the minimal cover count as 0.
std::vector<SparseVector> SimilarityRun::releveVectorsOfTable() {
    const WeightView v = weightsOf(&b_.MroA());
    std::vector<int> attribute(static_cast<std::size_t>(b_.GetRowCount('A')), -1);
    int next = 0;
    for (int r : b_.MroA().elements()) {
        if (passes(v, r)) attribute[static_cast<std::size_t>(r)] = next;
        ++next;
    }
    std::vector<SparseVector> out(static_cast<std::size_t>(v.releves));
    for (int c = 0; c < v.releves; ++c)
        for (const auto& [row, w] : v.byReleve[static_cast<std::size_t>(c)])
            if (const int a = attribute[static_cast<std::size_t>(row)]; a >= 0 && w >= o_.MinDeck)
                out[static_cast<std::size_t>(c)].entries.emplace_back(a, w);
    return out;
}
// The given species rows over the releves.
std::vector<SparseVector> SimilarityRun::speciesRowVectors(const std::vector<int>& rows) {
    if (rows.empty()) return {};
    TMenge chosen;
    for (int r : rows) chosen.Add(r);
    const WeightView v = weightsOf(&chosen);
    std::vector<SparseVector> out;
    for (int r : rows) out.push_back({v.bySpecies[static_cast<std::size_t>(r)]});
    return out;
}
bool SimilarityRun::confirmInvalidCovers() {
    const std::int64_t n = invalidCovers_ + refInvalidCovers_;
    if (n == 0) return true;
    return AskYesNoCancel(
               s_.ui(), "Ich habe " + std::to_string(n) + " ungültige Deckungen angetroffen. Weiter?") == 'Y';
}

std::vector<std::string> SimilarityRun::objectNames() {
    std::vector<std::string> names;
    if (rowObjects(mode_)) {
        for (const MarkedRow& m : marked_) names.emplace_back(b_.GetZl(m.part, m.row));
    } else {
        for (int c = 0; c < b_.GetColCount(); ++c)
            names.emplace_back(b_.GetRowCount('K') > 0 ? b_.Get('K', c, 0) : std::string_view());
    }
    return names;
}

// ---------------------------------------------------------------- computation

std::optional<TTavMatrix> SimilarityRun::squareDense(const std::vector<std::vector<double>>& v,
                                                     bool zeroIfMissing) {
    const int n = static_cast<int>(v.size());
    auto lower = pairTriangle(n, workerCount(), &s_.progress(), [&](int i, int j) {
        return measure(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(j)], zeroIfMissing);
    });
    if (!lower) return std::nullopt;
    std::vector<double> diagonal;
    for (const auto& x : v) diagonal.push_back(measure(x, x, zeroIfMissing));
    return TTavMatrix::symmetric("", std::move(*lower), std::move(diagonal));
}

std::optional<TTavMatrix> SimilarityRun::squareSparse(const std::vector<SparseVector>& v, int attributes) {
    auto lower = similarityTriangle(v, attributes, o_.OcSim, workerCount(), &s_.progress(), o_.qu);
    if (!lower) return std::nullopt;
    std::vector<double> diagonal;
    for (const SparseVector& x : v) {
        const SparseVectorStats sx = sparseStats(x, attributes);
        diagonal.push_back(sparseMeasure(o_.OcSim, x, sx, x, sx, attributes, o_.qu));
    }
    return TTavMatrix::symmetric("", std::move(*lower), std::move(diagonal));
}

std::optional<TTavMatrix> SimilarityRun::rectangle(int objects, int references,
                                                   const std::function<double(int, int)>& cell) {
    auto values = pairRectangle(objects, references, workerCount(), &s_.progress(), cell);
    if (!values) return std::nullopt;
    TTavMatrix m("", objects, references);
    for (int i = 0; i < objects; ++i)
        for (int r = 0; r < references; ++r)
            m.Put(i, r,
                  (*values)[static_cast<std::size_t>(i) * static_cast<std::size_t>(references) +
                            static_cast<std::size_t>(r)]);
    return m;
}

// Modes 2 and 7 paired: per key the first two columns that carry it.
std::optional<TTavMatrix> SimilarityRun::pairedKeys() {
    TTavMatrix m("Paar", 1, static_cast<int>(keys_.size()));
    m.PutColName(0, "Wert");
    std::vector<std::vector<int>> columns(keys_.size());
    for (int c = 0; c < b_.GetColCount(); ++c) {
        auto& list = columns[static_cast<std::size_t>(columnKey_[static_cast<std::size_t>(c)])];
        if (list.size() < 2) list.push_back(c);
    }
    std::vector<SparseVector> releves;
    std::vector<SparseVectorStats> stats;
    const int p = b_.GetRowCount('A');
    if (mode_ == 7) {
        releves = releveVectorsOfTable();
        for (const SparseVector& v : releves) stats.push_back(sparseStats(v, p));
    }
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        m.PutRowName(static_cast<int>(k), keyName(keys_[k]));
        double value = kMissing;
        if (columns[k].size() == 2) {
            const auto a = static_cast<std::size_t>(columns[k][0]),
                       c = static_cast<std::size_t>(columns[k][1]);
            value = mode_ == 7 ? sparseMeasure(o_.OcSim, releves[a], stats[a], releves[c], stats[c], p, o_.qu)
                               : measure(columnVector(columns[k][0]), columnVector(columns[k][1]), true);
        }
        m.Put(0, static_cast<int>(k), value);
    }
    return m;
}

// Mode 1 paired: the two rows of each pair line.
std::optional<TTavMatrix> SimilarityRun::pairedRows() {
    TTavMatrix m("Zeilen", 1, static_cast<int>(rowPairs_.size()));
    m.PutColName(0, measureName(o_.OcSim));
    auto firstWord = [](std::string_view name) {
        name = trimBlanks(name);
        return std::string(name.substr(0, name.find(' ')));
    };
    for (std::size_t k = 0; k < rowPairs_.size(); ++k) {
        const auto [x, y] = rowPairs_[k];
        m.PutRowName(static_cast<int>(k), firstWord(b_.GetZl('K', x)) + " - " + firstWord(b_.GetZl('K', y)));
        m.Put(0, static_cast<int>(k), measure(rowVector('K', x, false), rowVector('K', y, false), false));
    }
    return m;
}

// Mode 9: the marked header rows against the reference file's header lines of the same type and name.
std::optional<TTavMatrix> SimilarityRun::againstFileHeader() {
    std::map<std::pair<std::string, std::string>, int> tableRows;  // (type, name) → row
    for (int r : b_.MroK().elements())
        tableRows.emplace(
            std::make_pair(std::string(1, b_.GetTyp('K', r)), std::string(trimBlanks(b_.GetZl('K', r)))), r);
    std::vector<std::pair<int, const std::vector<std::string>*>> common;
    for (const auto& line : refFile_.header) {
        if (line.size() < 2) continue;
        const auto it = tableRows.find({line[0].substr(0, 1), std::string(trimBlanks(line[1]))});
        if (it != tableRows.end()) common.emplace_back(it->second, &line);
    }
    std::sort(common.begin(), common.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    common.erase(std::unique(common.begin(), common.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 common.end());
    if (common.empty()) {
        s_.ui().showInfo(
            "Die Referenzdatei hat keine der markierten Kopfdatenzeilen (gleicher Name und "
            "Zeilentyp). Keine Ähnlichkeiten berechnet.");
        refused_ = true;
        return std::nullopt;
    }
    const int cols = b_.GetColCount(), refs = static_cast<int>(refFile_.columns.size());
    std::vector<std::vector<double>> table(static_cast<std::size_t>(cols)),
        ref(static_cast<std::size_t>(refs));
    for (int c = 0; c < cols; ++c)
        for (const auto& [row, line] : common)
            table[static_cast<std::size_t>(c)].push_back(numericValue('K', c, row, false));
    for (int k = 0; k < refs; ++k)
        for (const auto& [row, line] : common) {
            const auto v = parseNumber(trimBlanks(refFile_.field(*line, k)));
            if (!v) ++refInvalidNumbers_;
            ref[static_cast<std::size_t>(k)].push_back(v ? *v : kMissing);
        }
    return rectangle(cols, refs, [&](int c, int k) {
        return measure(table[static_cast<std::size_t>(c)], ref[static_cast<std::size_t>(k)], true);
    });
}

// Mode 14: the releves against the reference file's releves over the union of their species.
std::optional<TTavMatrix> SimilarityRun::againstFileReleves() {
    s_.progress().setStatus("Gesamtartenliste erstellen ...");
    std::vector<std::string> all;
    for (int r = 0; r < b_.GetRowCount('A'); ++r) all.emplace_back(trimBlanks(b_.GetZl('A', r)));
    for (const auto& line : refFile_.species) all.emplace_back(trimBlanks(line[1]));
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    auto position = [&](std::string_view name) {
        return static_cast<int>(std::lower_bound(all.begin(), all.end(), name) - all.begin());
    };
    s_.progress().setStatus("Arten registrieren ...");
    const WeightView weights = weightsOf(nullptr);
    std::vector<int> tableAt(all.size(), -1), refAt(all.size(), -1);
    for (int r = 0; r < b_.GetRowCount('A'); ++r) {
        const std::string_view name = trimBlanks(b_.GetZl('A', r));
        if (!name.empty() && passes(weights, r) && tableAt[static_cast<std::size_t>(position(name))] < 0)
            tableAt[static_cast<std::size_t>(position(name))] = r;
    }
    s_.progress().setStatus("Referenzdaten registrieren ...");
    for (std::size_t i = 0; i < refFile_.species.size(); ++i) {
        const int at = position(trimBlanks(refFile_.species[i][1]));
        if (refAt[static_cast<std::size_t>(at)] < 0)
            refAt[static_cast<std::size_t>(at)] = static_cast<int>(i);
    }
    // The compared species in list order: those of the table, and without a frequency filter those of
    // the references as well.
    std::vector<int> attributeOfRow(static_cast<std::size_t>(b_.GetRowCount('A')), -1);
    std::vector<std::pair<int, int>> refLines;  // (line, attribute)
    int p = 0;
    for (std::size_t u = 0; u < all.size(); ++u) {
        const bool inTable = tableAt[u] >= 0, inRef = refAt[u] >= 0;
        if (!inTable && !(o_.FiltFreq <= 0 && inRef)) continue;
        if (inTable) attributeOfRow[static_cast<std::size_t>(tableAt[u])] = p;
        if (inRef) refLines.emplace_back(refAt[u], p);
        ++p;
    }
    s_.progress().setStatus("Zuordnung vorbereiten (Schritt 1/2)");
    std::vector<SparseVector> table(static_cast<std::size_t>(weights.releves));
    for (int c = 0; c < weights.releves; ++c) {
        SparseVector& t = table[static_cast<std::size_t>(c)];
        for (const auto& [row, w] : weights.byReleve[static_cast<std::size_t>(c)])
            if (const int a = attributeOfRow[static_cast<std::size_t>(row)]; a >= 0 && w >= o_.MinDeck)
                t.entries.emplace_back(a, w);
        // The attributes follow the species list, not the table's rows.
        std::sort(t.entries.begin(), t.entries.end());
    }
    const int refs = static_cast<int>(refFile_.columns.size());
    std::vector<SparseVector> ref(static_cast<std::size_t>(refs));
    for (const auto& [line, a] : refLines)
        for (int k = 0; k < refs; ++k) {
            const std::string text = refFile_.field(refFile_.species[static_cast<std::size_t>(line)], k);
            double w = coverWeightOf(text, true);
            if (w < o_.MinDeck) w = 0;
            if (w != 0) ref[static_cast<std::size_t>(k)].entries.emplace_back(a, w);
        }
    if (!confirmInvalidCovers()) return std::nullopt;
    s_.progress().setStatus("Zuordnen (Schritt 2/2)");
    std::vector<SparseVectorStats> ts, rs;
    for (const SparseVector& v : table) ts.push_back(sparseStats(v, p));
    for (const SparseVector& v : ref) rs.push_back(sparseStats(v, p));
    return rectangle(static_cast<int>(table.size()), refs, [&](int c, int k) {
        const auto a = static_cast<std::size_t>(c), r = static_cast<std::size_t>(k);
        return sparseMeasure(o_.OcSim, table[a], ts[a], ref[r], rs[r], p, o_.qu);
    });
}

std::optional<TTavMatrix> SimilarityRun::compute() {
    s_.progress().setStatus("Daten umwandeln");
    if (mode_ == 1 && paired_) return pairedRows();
    if (paired_) {
        auto m = pairedKeys();
        if (m && !confirmInvalidCovers()) return std::nullopt;
        return m;
    }
    if (mode_ == 9) return againstFileHeader();
    if (mode_ == 14) return againstFileReleves();
    const int species = b_.GetRowCount('A');
    std::optional<TTavMatrix> m;
    if (releveVectors(mode_)) {
        std::vector<SparseVector> releves = releveVectorsOfTable();
        if (!confirmInvalidCovers()) return std::nullopt;
        s_.progress().setStatus("Matrix berechnen");
        if (mode_ == 13) {
            std::vector<SparseVectorStats> stats;
            for (const SparseVector& v : releves) stats.push_back(sparseStats(v, species));
            m = rectangle(
                static_cast<int>(releves.size()), static_cast<int>(references_.size()), [&](int c, int k) {
                    const auto a = static_cast<std::size_t>(c),
                               r = static_cast<std::size_t>(references_[static_cast<std::size_t>(k)]);
                    return sparseMeasure(o_.OcSim, releves[a], stats[a], releves[r], stats[r], species,
                                         o_.qu);
                });
        } else {
            m = squareSparse(releves, species);
        }
    } else if (mode_ == 8 || mode_ == 12) {
        std::vector<int> objectRows;
        for (const MarkedRow& r : marked_) objectRows.push_back(r.row);
        const std::vector<SparseVector> rows = speciesRowVectors(objectRows);
        const std::vector<SparseVector> refs = speciesRowVectors(references_);
        if (!confirmInvalidCovers()) return std::nullopt;
        s_.progress().setStatus("Matrix berechnen");
        const int cols = b_.GetColCount();
        if (mode_ == 8) {
            m = squareSparse(rows, cols);
        } else {
            std::vector<SparseVectorStats> sx, sy;
            for (const SparseVector& v : rows) sx.push_back(sparseStats(v, cols));
            for (const SparseVector& v : refs) sy.push_back(sparseStats(v, cols));
            m = rectangle(static_cast<int>(rows.size()), static_cast<int>(refs.size()), [&](int i, int k) {
                const auto a = static_cast<std::size_t>(i), r = static_cast<std::size_t>(k);
                return sparseMeasure(o_.OcSim, rows[a], sx[a], refs[r], sy[r], cols, o_.qu);
            });
        }
    } else if (mode_ == 1 || mode_ == 10) {
        std::vector<std::vector<double>> rows;
        for (const MarkedRow& r : marked_) rows.push_back(rowVector(r.part, r.row, false));
        std::vector<std::vector<double>> refs;
        for (int r : references_) refs.push_back(rowVector('K', r, false));
        s_.progress().setStatus("Matrix berechnen");
        if (mode_ == 1)
            m = squareDense(rows, false);
        else
            m = rectangle(static_cast<int>(rows.size()), static_cast<int>(refs.size()), [&](int i, int k) {
                return measure(rows[static_cast<std::size_t>(i)], refs[static_cast<std::size_t>(k)], false);
            });
    } else {  // modes 2, 11, 18: the columns over the marked rows
        std::vector<std::vector<double>> cols;
        for (int c = 0; c < b_.GetColCount(); ++c) cols.push_back(columnVector(c));
        s_.progress().setStatus("Matrix berechnen");
        if (mode_ == 11)
            m = rectangle(
                static_cast<int>(cols.size()), static_cast<int>(references_.size()), [&](int c, int k) {
                    return measure(cols[static_cast<std::size_t>(c)],
                                   cols[static_cast<std::size_t>(references_[static_cast<std::size_t>(k)])],
                                   true);
                });
        else
            m = squareDense(cols, true);
    }
    return m;
}

// ---------------------------------------------------------------- output

void SimilarityRun::showMatrix(TTavMatrix&& m) {
    // The lines are made when the window shows them, so a matrix of 20 000 objects opens at once.
    auto matrix = std::make_shared<const TTavMatrix>(std::move(m));
    const int decimalsShown = decimals();
    DialogRequest r;
    r.kind = DialogKind::Grid;
    r.name = "Matrix";
    r.caption = "Matrix";
    r.tableKind = 2;
    r.lineCount = matrix->RowCount() + 1;
    r.lineAt = [matrix, decimalsShown](int line) {
        std::string s;
        if (line == 0) {
            s = matrix->Title;
            for (int c = 0; c < matrix->ColCount(); ++c) s += ";" + matrix->GetColName(c);
            return s;
        }
        const int row = line - 1;
        s = matrix->GetRowName(row);
        for (int c = 0; c < matrix->ColCount(); ++c) {
            const double x = matrix->Get(c, row);
            s += ";" + (isMissing(x) ? std::string("NA") : formatFixed(x, decimalsShown));
        }
        return s;
    };
    s_.ui().dialog(r);
}

TTavMatrix SimilarityRun::categoryMeans(const TTavMatrix& m) {
    s_.progress().setStatus("Mittlere Ähnlichkeiten");
    const int k = static_cast<int>(keys_.size()), n = m.ColCount();
    // The categories in the order of the mean position of their columns; equal means keep the key order.
    std::vector<double> meanPos(static_cast<std::size_t>(k), 0);
    std::vector<int> count(static_cast<std::size_t>(k), 0);
    for (int c = 0; c < n; ++c) {
        meanPos[static_cast<std::size_t>(columnKey_[static_cast<std::size_t>(c)])] += c;
        ++count[static_cast<std::size_t>(columnKey_[static_cast<std::size_t>(c)])];
    }
    for (int i = 0; i < k; ++i)
        if (count[static_cast<std::size_t>(i)] > 0)
            meanPos[static_cast<std::size_t>(i)] /= count[static_cast<std::size_t>(i)];
    std::vector<int> order(static_cast<std::size_t>(k));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return meanPos[static_cast<std::size_t>(a)] < meanPos[static_cast<std::size_t>(b)];
    });
    std::vector<int> rank(static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i) rank[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = i;
    std::vector<long double> sum(static_cast<std::size_t>(k) * static_cast<std::size_t>(k), 0);
    std::vector<std::int64_t> pairs(sum.size(), 0);
    auto add = [&](int s, int t, double x) {
        if (isMissing(x)) return;
        const std::size_t at =
            static_cast<std::size_t>(s) * static_cast<std::size_t>(k) + static_cast<std::size_t>(t);
        sum[at] += x;
        ++pairs[at];
    };
    for (int p = 0; p < n; ++p)
        for (int q = 0; q < p; ++q) {
            const int s = rank[static_cast<std::size_t>(columnKey_[static_cast<std::size_t>(p)])],
                      t = rank[static_cast<std::size_t>(columnKey_[static_cast<std::size_t>(q)])];
            add(s, t, m.Get(q, p));
            add(t, s, m.Get(p, q));
        }
    TTavMatrix out("Mittlere_Aehnlichkeiten", k, k);
    for (int i = 0; i < k; ++i) {
        const std::string name = keyName(keys_[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])]);
        out.PutColName(i, name);
        out.PutRowName(i, name);
    }
    for (int s = 0; s < k; ++s)
        for (int t = 0; t < k; ++t) {
            const std::size_t at =
                static_cast<std::size_t>(s) * static_cast<std::size_t>(k) + static_cast<std::size_t>(t);
            out.Put(t, s, pairs[at] > 0 ? static_cast<double>(sum[at] / pairs[at]) : kMissing);
        }
    return out;
}

void SimilarityRun::writeIntoTable(const TTavMatrix& m) {
    if (m.ColCount() > b_.GetColCount()) b_.InsCols(b_.GetColCount(), m.ColCount() - b_.GetColCount());
    std::vector<std::pair<std::string, char>> rows;
    for (int r = 0; r < m.RowCount(); ++r) rows.emplace_back(m.GetRowName(r), 'F');
    const int first = appendHeaderRows(b_, rows);
    for (int r = 0; r < m.RowCount(); ++r) {
        for (int c = 0; c < m.ColCount(); ++c) {
            const double x = m.Get(c, r);
            b_.Put('K', isMissing(x) ? std::string("NA") : formatNumber(x, decimals()), c, first + r);
        }
    }
}

// For each releve the k references most similar to it, each at least MinRang, with their values.
void SimilarityRun::rankReferences(const TTavMatrix& m) {
    const int refs = m.RowCount();
    const int k = o_.nRang <= 0 || o_.nRang > refs ? refs : o_.nRang;
    const bool fromFile = mode_ == 9 || mode_ == 14;
    std::string suffix;
    if (mode_ == 14 && !refFile_.header.empty() && refFile_.header[0].size() > 1)
        suffix = " " + refFile_.header[0][1];
    const bool withHeader = fromFile && k == 1;
    const int extra = withHeader ? static_cast<int>(refFile_.header.size()) : 0;
    // The rank rows and the reference file's header rows keep the type of a new header row.
    std::vector<std::pair<std::string, char>> rows;
    for (int j = 0; j < k; ++j) {
        rows.emplace_back(std::to_string(j + 1) + ". Rang" + suffix, 'T');
        rows.emplace_back(std::to_string(j + 1) + ". Wert" + suffix, 'F');
    }
    for (int e = 0; e < extra; ++e) {
        const auto& line = refFile_.header[static_cast<std::size_t>(e)];
        rows.emplace_back(line.size() > 1 ? line[1] : std::string(), 'T');
    }
    const int first = appendHeaderRows(b_, rows);
    std::vector<std::pair<double, std::uint64_t>> keyOf(static_cast<std::size_t>(refs));
    std::vector<int> order;
    for (int c = 0; c < m.ColCount() && c < b_.GetColCount(); ++c) {
        // Highest value first; ties in random order; missing values are never listed.
        order.clear();
        for (int r = 0; r < refs; ++r) {
            const double x = m.Get(c, r);
            if (isMissing(x)) continue;
            keyOf[static_cast<std::size_t>(r)] = {x, s_.random().next()};
            order.push_back(r);
        }
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return keyOf[static_cast<std::size_t>(a)] > keyOf[static_cast<std::size_t>(b)];
        });
        for (int j = 0; j < k && j < static_cast<int>(order.size()); ++j) {
            const int r = order[static_cast<std::size_t>(j)];
            const double x = m.Get(c, r);
            if (!isMissing(o_.MinRang) && x < o_.MinRang) continue;
            b_.Put('K', m.GetRowName(r), c, first + 2 * j);
            b_.Put('K', formatNumber(x, decimals()), c, first + 2 * j + 1);
            if (withHeader && j == 0)
                for (int e = 0; e < extra; ++e)
                    b_.Put('K', refFile_.field(refFile_.header[static_cast<std::size_t>(e)], r), c,
                           first + 2 * k + e);
        }
    }
}

void SimilarityRun::reportConversions() {
    auto report = [&](const char* head, std::int64_t numbers, std::int64_t covers) {
        if (numbers > 0)
            s_.ui().showInfo(std::string(head) + "\rIch habe " + std::to_string(numbers) +
                             " ungültige Werte oder Lücken angetroffen\rund als fehlende Werte behandelt.");
        if (covers > 0)
            s_.ui().showInfo(
                std::string(head) + "\rIch habe " + std::to_string(covers) +
                " ungültige Deckungen angetroffen und als 0 behandelt.\rBitte unter Optionen das "
                "Format überprüfen.");
    };
    if (mode_ == 14) {
        report("Fehler in den Referenzdaten.", invalidNumbers_ + refInvalidNumbers_,
               invalidCovers_ + refInvalidCovers_);
        return;
    }
    report("Fehler in den Tabellendaten.", invalidNumbers_, invalidCovers_);
    report("Fehler in den Referenzdaten.", refInvalidNumbers_, refInvalidCovers_);
}

Status SimilarityRun::output(TTavMatrix& m) {
    switch (o_.OCclu) {
        case 1:
            showMatrix(mode_ == 18 || mode_ == 19 ? categoryMeans(m) : std::move(m));
            return {};
        case 3:
        case 4:
            if (!GridEditable(s_, 0)) return {};
            if (o_.OCclu == 3)
                writeIntoTable(m);
            else
                rankReferences(m);
            s_.activeGrid = 2;
            s_.cursorRow = std::max(0, b_.GetRowCount('K') - 1);
            return {};
        default: {
            if (!m.isSquare()) {
                s_.ui().showInfo(s_.catalogue().GetLangMsg("MsgNoCluster"));
                return commandFailed();
            }
            static const char kLinkage[] = {'S', 'A', 'C', 'M'};
            return showClusterWindow(s_, std::move(m), kLinkage[std::clamp(o_.OCclu - 5, 0, 3)], gradient_);
        }
    }
}

Status SimilarityRun::run() {
    if (b_.MroK().empty() && (mode_ == 2 || mode_ == 9 || mode_ == 18)) {
        s_.ui().showInfo(s_.catalogue().GetLangMsg("MsgNoRowsM"));
        return commandFailed();
    }
    o_.FiltFreq = 0;
    o_.MinDeck = 0;
    o_.nRang = 0;
    auto ended = [&] { return refused_ ? commandFailed() : Status(); };
    if (!askGrouping()) return ended();
    if (mode_ >= 10 && mode_ <= 13 && !askReferences()) return ended();
    if (!askOptions()) return ended();
    if ((mode_ == 2 || mode_ == 7) && !paired_ && o_.OCclu >= 5 && !askGradient()) return ended();

    prepareMarks();
    const bool needsRows =
        mode_ == 1 || mode_ == 2 || mode_ == 8 || mode_ == 10 || mode_ == 11 || mode_ == 12 || mode_ == 18;
    if (needsRows && !paired_ && marked_.empty()) {
        s_.ui().showInfo(s_.catalogue().GetLangMsg("MsgNoRowsM"));
        return commandFailed();
    }
    std::optional<TTavMatrix> m = compute();
    s_.progress().hideStatus();
    if (!m) {
        if (s_.progress().aborted()) s_.ui().showInfo("Bearbeitung abgebrochen");
        return ended();
    }
    static const std::map<int, const char*> kTitles = {
        {1, "Zeilen"},   {10, "Zeilen"},   {2, "Spalten"},    {11, "Spalten"},
        {18, "Spalten"}, {7, "Aufnahmen"}, {13, "Aufnahmen"}, {19, "Aufnahmen"},
        {8, "Arten"},    {12, "Arten"},    {9, "Referenz"},   {14, "Referenz"}};
    if (!paired_) {
        m->Title = kTitles.at(mode_);
        const std::vector<std::string> names = objectNames();
        for (int c = 0; c < m->ColCount() && c < static_cast<int>(names.size()); ++c)
            m->PutColName(c, names[static_cast<std::size_t>(c)]);
        if (m->isSymmetric()) {
            for (int r = 0; r < m->RowCount() && r < static_cast<int>(names.size()); ++r)
                m->PutRowName(r, names[static_cast<std::size_t>(r)]);
        } else if (mode_ == 9 || mode_ == 14) {
            for (int r = 0; r < m->RowCount(); ++r)
                m->PutRowName(r, refFile_.columns[static_cast<std::size_t>(r)]);
        } else {
            const bool rows = mode_ == 10 || mode_ == 12;
            for (int r = 0; r < m->RowCount(); ++r) {
                const int ref = references_[static_cast<std::size_t>(r)];
                m->PutRowName(r, rows ? std::string(b_.GetZl(mode_ == 10 ? 'K' : 'A', ref))
                                      : std::string(b_.GetRowCount('K') > 0 ? b_.Get('K', ref, 0) : ""));
            }
        }
    } else if (mode_ == 2) {
        m->Title = "Paar";
    } else if (mode_ == 7) {
        m->Title = "Aufnahmen";
    }
    if (mode_ != 9 && !(paired_ && (mode_ == 2 || mode_ == 7))) m->ReplaceNaCodes();
    reportConversions();
    return output(*m);
}

}  // namespace

void addSimilarityCommands(Dispatcher& d) {
    for (const ModeCommand& c : kModeCommands) {
        const int mode = c.mode;
        const bool paired = c.paired;
        d.add(c.number, [mode, paired](Session& s) { return SimilarityRun(s, mode, paired).run(); });
    }
}

}  // namespace tav
