// The settings file: one table of keys drives both the reader and the writer, so that every key written
// is read back into the field it came from and the two can never drift apart.

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "env/project_settings.h"
#include "env/project_settings_text.h"

namespace tav {

namespace {

// A settings file is a few hundred lines; anything near this size is not one.
constexpr std::size_t kMaxSettingsBytes = 16u << 20;

enum class Group { Main, Window, Map };

struct KeyEntry {
    std::string key;
    Group group;
    // False when the value is refused; the field then keeps its value.
    std::function<bool(TProjectSettings&, std::string_view)> read;
    std::function<std::string(const TProjectSettings&)> write;
    const char* refusal = "";    // message for a refused value, "%s" standing for the value
    bool bareWhenEmpty = false;  // an empty value is written as the key alone
};

// A value is one line of the file; a line break inside it would start a key of its own.
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

std::optional<std::int32_t> parseInt32(std::string_view v) {
    const auto n = parseInteger(trimBlanks(v));
    if (!n || *n < std::numeric_limits<std::int32_t>::min() || *n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*n);
}

// Older files were written with the platform's number format, so a decimal comma is read as a point.
std::optional<double> parseFloat(std::string_view v) {
    std::string s(trimBlanks(v));
    for (char& c : s)
        if (c == ',') c = '.';
    return parseNumber(s);
}

std::string thousandths(double x) {
    // nearbyint rounds ties to even in the default rounding mode, which the program never changes.
    const double m = std::nearbyint(x * 1000.0);
    // The file holds an integer; values beyond its range are not graphics settings anyone entered.
    constexpr double kLimit = 9.0e15;
    return formatInteger(static_cast<std::int64_t>(std::fmax(-kLimit, std::fmin(kLimit, m))));
}

constexpr const char* kNoInteger = "'%s' ist kein gültiger Integerwert";
constexpr const char* kNoFloat = "'%s' ist kein gültiger Gleitkommawert";
constexpr const char* kNoDigits = "'%s' sind nicht drei Ziffern";

// Field accessors are generic lambdas, so that one accessor serves the reader (mutable settings) and
// the writer (const settings).
#define FIELD(member)      \
    [](auto& s) -> auto& { \
        return s.member;   \
    }

template <class F>
KeyEntry textKey(std::string key, Group g, F field) {
    return {std::move(key), g,
            [field](TProjectSettings& p, std::string_view v) {
                field(p) = std::string(v);
                return true;
            },
            [field](const TProjectSettings& p) { return oneLine(field(p)); }};
}

template <class F>
KeyEntry intKey(std::string key, Group g, F field) {
    return {std::move(key), g,
            [field](TProjectSettings& p, std::string_view v) {
                const auto n = parseInt32(v);
                if (n) field(p) = *n;
                return n.has_value();
            },
            [field](const TProjectSettings& p) { return formatInteger(field(p)); }, kNoInteger};
}

template <class F>
KeyEntry fontKey(std::string key, Group g, F field) {
    return {std::move(key), g,
            [field](TProjectSettings& p, std::string_view v) {
                field(p) = fontFromText(v);
                return true;
            },
            [field](const TProjectSettings& p) { return oneLine(fontToText(field(p))); }};
}

template <class F>
KeyEntry floatKey(std::string key, Group g, F field) {
    return {std::move(key), g,
            [field](TProjectSettings& p, std::string_view v) {
                const auto x = parseFloat(v);
                if (x) field(p) = *x;
                return x.has_value();
            },
            [field](const TProjectSettings& p) { return formatNumber(field(p)); }, kNoFloat};
}

template <class F>
KeyEntry milliKey(std::string key, Group g, F field) {
    return {std::move(key), g,
            [field](TProjectSettings& p, std::string_view v) {
                const auto n = parseInteger(trimBlanks(v));
                if (n) field(p) = static_cast<double>(*n) / 1000.0;
                return n.has_value();
            },
            [field](const TProjectSettings& p) { return thousandths(field(p)); }, kNoInteger};
}

// Three one-digit integers written as three consecutive characters ("012").
template <class F>
KeyEntry digitsKey(std::string key, Group g, F field) {
    return {std::move(key), g,
            [field](TProjectSettings& p, std::string_view v) {
                v = trimBlanks(v);
                if (v.size() < 3) return false;
                for (int i = 0; i < 3; ++i)
                    if (v[i] < '0' || v[i] > '9') return false;
                for (int i = 0; i < 3; ++i) field(p)[i] = v[i] - '0';
                return true;
            },
            [field](const TProjectSettings& p) {
                std::string s;
                for (std::int32_t d : field(p)) s += static_cast<char>('0' + std::clamp(d, 0, 9));
                return s;
            },
            kNoDigits};
}

// A boolean or numeric option group through its parser (which never fails) and its string form.
KeyEntry groupKey(std::string key, void (TProjectSettings::*get)(std::string_view),
                  void (TProjectSettings::*set)(std::string&) const) {
    return {std::move(key), Group::Main,
            [get](TProjectSettings& p, std::string_view v) {
                (p.*get)(v);
                return true;
            },
            [set](const TProjectSettings& p) {
                std::string s;
                (p.*set)(s);
                return s;
            }};
}

template <class F>
KeyEntry numberGroupKey(std::string key, void (TProjectSettings::*get)(std::string_view), F field) {
    return {std::move(key), Group::Main,
            [get](TProjectSettings& p, std::string_view v) {
                (p.*get)(v);
                return true;
            },
            [field](const TProjectSettings& p) { return formatInteger(field(p)); }};
}

// The delimiter or the qualifier of text files through its group parser. A line break cannot stand
// between the fields of one line, and a qualifier equal to the delimiter would glue the fields together,
// so such a value is refused and the field keeps its value.
KeyEntry separatorKey(std::string key, void (TProjectSettings::*get)(std::string_view), bool isDelimiter,
                      const char* refusal) {
    return {std::move(key), Group::Main,
            [get, isDelimiter](TProjectSettings& p, std::string_view v) {
                std::int32_t& own = isDelimiter ? p.Diversa.DelimEinst : p.Diversa.QualiEinst;
                const std::int32_t other = isDelimiter ? p.Diversa.QualiEinst : p.Diversa.DelimEinst;
                const std::int32_t before = own;
                (p.*get)(v);
                const bool refused = own == '\r' || own == '\n' || (own != 0 && own == other);
                if (refused) own = before;
                return !refused;
            },
            [isDelimiter](const TProjectSettings& p) {
                return formatInteger(isDelimiter ? p.Diversa.DelimEinst : p.Diversa.QualiEinst);
            },
            refusal};
}

KeyEntry historyKey() {
    KeyEntry e{"FileHistory", Group::Main,
               [](TProjectSettings& p, std::string_view v) {
                   std::size_t start = 0;
                   for (std::string& entry : p.FileHistory) {
                       if (start > v.size()) {
                           entry.clear();
                           continue;
                       }
                       std::size_t semi = v.find(';', start);
                       if (semi == std::string_view::npos) semi = v.size();
                       entry = std::string(v.substr(start, semi - start));
                       start = semi + 1;
                   }
                   return true;
               },
               [](const TProjectSettings& p) {
                   // Gaps are not written, so the history closes up on every save. A path with ";"
                   // would come back as two entries, so it stays in the menu for this run only.
                   std::string s;
                   for (const std::string& entry : p.FileHistory) {
                       if (entry.empty() || entry.find(';') != std::string::npos) continue;
                       if (!s.empty()) s += ';';
                       s += oneLine(entry);
                   }
                   return s;
               }};
    e.bareWhenEmpty = true;
    return e;
}

template <class F>
void addRect(std::vector<KeyEntry>& k, const std::string& name, Group g, F rect) {
    k.push_back(intKey(
        name + ".top", g, [rect](auto& s) -> auto& { return rect(s).Top; }));
    k.push_back(intKey(
        name + ".left", g, [rect](auto& s) -> auto& { return rect(s).Left; }));
    k.push_back(intKey(
        name + ".bottom", g, [rect](auto& s) -> auto& { return rect(s).Bottom; }));
    k.push_back(intKey(
        name + ".right", g, [rect](auto& s) -> auto& { return rect(s).Right; }));
}

template <class F>
void addPoint(std::vector<KeyEntry>& k, const std::string& name, Group g, F point) {
    k.push_back(intKey(
        name + ".y", g, [point](auto& s) -> auto& { return point(s).Y; }));
    k.push_back(intKey(
        name + ".x", g, [point](auto& s) -> auto& { return point(s).X; }));
}

void addMainGroup(std::vector<KeyEntry>& k) {
    const Group g = Group::Main;
    k.push_back(textKey("ArtListName", g, FIELD(ArtListName)));
    k.push_back(textKey("AngName", g, FIELD(AngName)));
    k.push_back(textKey("VorName", g, FIELD(VorName)));
    k.push_back(textKey("MakroName", g, FIELD(MakroName)));
    k.push_back(textKey("DetName", g, FIELD(DetName)));
    k.push_back(textKey("PicName", g, FIELD(PicName)));
    k.push_back(textKey("SozName", g, FIELD(SozName)));
    k.push_back(textKey("DbName", g, FIELD(DbName)));
    k.push_back(textKey("MapName", g, FIELD(MapName)));
    k.push_back(textKey("PlanName", g, FIELD(PlanName)));
    k.push_back(textKey("OccName", g, FIELD(OccName)));
    k.push_back(textKey("DeckName", g, FIELD(DeckName)));
    k.push_back(textKey("Sprache", g, FIELD(Sprache)));
    k.push_back(textKey("TavPath", g, FIELD(TavPath)));
    k.push_back(textKey("ExternName", g, FIELD(Extern.Name)));
    k.push_back(textKey("ExternDir", g, FIELD(Extern.Dir)));
    k.push_back(textKey("ExternCmd", g, FIELD(Extern.Cmd)));
    k.push_back(intKey("GridColor", g, FIELD(Diversa.GridColor)));
    k.push_back(intKey("FixedColor", g, FIELD(Diversa.FixedColor)));
    k.push_back(intKey("FocusColor", g, FIELD(Diversa.FocusColor)));
    k.push_back(intKey("MarkColor", g, FIELD(Diversa.MarkColor)));
    k.push_back(intKey("Decimals", g, FIELD(Diversa.Decimals)));
    k.push_back(intKey("DetMaxErr", g, FIELD(Diversa.DetMaxErr)));
    k.push_back(intKey("DetMinMatch", g, FIELD(Diversa.DetMinMatch)));
    k.push_back(intKey("DetWeight", g, FIELD(Diversa.DetWeight)));
    k.push_back(intKey("CritWeight", g, FIELD(Diversa.CritWeight)));
    k.push_back(intKey("Schnellsuche", g, FIELD(Diversa.Schnellsuche)));
    k.push_back(intKey("Randbreite", g, FIELD(Diversa.RandBreite)));
    k.push_back(intKey("UeberEingabe", g, FIELD(Diversa.UeberEingabe)));
    k.push_back(intKey("Vorlage", g, FIELD(Diversa.Vorlage)));
    k.push_back(historyKey());
    using P = TProjectSettings;
    k.push_back(groupKey("EditorMargin", &P::GetEditorMargin, &P::SetEditorMargin));
    k.push_back(groupKey("CurScrEinst", &P::GetCurScrEinst, &P::SetCurScrEinst));
    k.push_back(groupKey("SchnellEinst", &P::GetSchnellEinst, &P::SetSchnellEinst));
    k.push_back(groupKey("Pruef", &P::GetPruef, &P::SetPruef));
    k.push_back(numberGroupKey("SystEinst", &P::GetSystEinst, FIELD(SystEinst)));
    k.push_back(numberGroupKey("ZeiEinst", &P::GetZeiEinst, FIELD(ZeiEinst)));
    k.push_back(numberGroupKey("DeckEinst", &P::GetDeckEinst, FIELD(DeckEinst)));
    k.push_back(numberGroupKey("GesDeckEinst", &P::GetGesDeckEinst, FIELD(GesDeckEinst)));
    k.push_back(separatorKey("DelimEinst", &P::GetDelimEinst, true,
                             "'%s' ist als Trennzeichen nicht möglich (Zeilenwechsel oder gleich dem "
                             "Textbegrenzungszeichen)"));
    k.push_back(separatorKey("QualiEinst", &P::GetQualiEinst, false,
                             "'%s' ist als Textbegrenzungszeichen nicht möglich (Zeilenwechsel oder gleich "
                             "dem Trennzeichen)"));
    k.push_back(numberGroupKey("ExportCodeEinst", &P::GetExportCodeEinst, FIELD(Diversa.ExportEncoding)));
    k.push_back(groupKey("DetEinst", &P::GetDetEinst, &P::SetDetEinst));
    // The file has no text for 0: "0" has always been read as 1, and stored files rely on that. The
    // empty text is what reads back as 0.
    KeyEntry sim = numberGroupKey("SozEinstSim", &P::GetSozEinstSim, FIELD(SozEinstSim));
    sim.write = [](const TProjectSettings& p) {
        return p.SozEinstSim == 0 ? std::string() : formatInteger(p.SozEinstSim);
    };
    k.push_back(std::move(sim));
    k.push_back(groupKey("SozEinstKenn", &P::GetSozEinstKenn, &P::SetSozEinstKenn));
}

void addWindowGroup(std::vector<KeyEntry>& k) {
    const Group g = Group::Window;
    addRect(k, "DimMain", g, FIELD(BildEinst.DimMain));
    k.push_back(intKey("G1HeightK", g, FIELD(BildEinst.G1HeightK)));
    k.push_back(intKey("G1HeightA", g, FIELD(BildEinst.G1HeightA)));
    k.push_back(intKey("G1Width", g, FIELD(BildEinst.G1Width)));
    k.push_back(intKey("LstG1", g, FIELD(BildEinst.LstG1)));
    k.push_back(intKey("LstG2", g, FIELD(BildEinst.LstG2)));
    k.push_back(intKey("LstG3", g, FIELD(BildEinst.LstG3)));
    k.push_back(intKey("LstG11", g, FIELD(BildEinst.LstG11)));
    k.push_back(intKey("LstG12", g, FIELD(BildEinst.LstG12)));
    addRect(k, "DimLst", g, FIELD(BildEinst.DimLst));
    addRect(k, "DimLstG", g, FIELD(BildEinst.DimLstG));
    addRect(k, "DimPic", g, FIELD(BildEinst.DimPic));
    addRect(k, "DimLstD", g, FIELD(BildEinst.DimLstD));
    addRect(k, "DimRich", g, FIELD(BildEinst.DimRich));
    addRect(k, "DimPen", g, FIELD(BildEinst.DimPen));
    addRect(k, "DimDb", g, FIELD(BildEinst.DimDb));
    addPoint(k, "DimChk", g, FIELD(BildEinst.DimChk));
    addPoint(k, "DimCells", g, FIELD(BildEinst.DimCells));
    k.push_back(textKey("ToolButtons", g, FIELD(BildEinst.ToolButtons)));
    k.push_back(intKey("ToolSize", g, FIELD(BildEinst.ToolSize)));
    k.push_back(intKey("RadioWidth", g, FIELD(BildEinst.RadioWidth)));
    k.push_back(intKey("CheckWidth", g, FIELD(BildEinst.CheckWidth)));
    k.push_back(fontKey("MainFont", g, FIELD(BildEinst.MainFont)));
    k.push_back(fontKey("ListFont", g, FIELD(BildEinst.ListFont)));
    k.push_back(fontKey("MenuFont", g, FIELD(BildEinst.MenuFont)));
    addRect(k, "DimClu", g, FIELD(CluEinst.DimClu));
    k.push_back(fontKey("Clu.ItemFont", g, FIELD(CluEinst.ItemFont)));
    k.push_back(intKey("Clu.Decimals", g, FIELD(CluEinst.Decimals)));
    k.push_back(intKey("Clu.Bo", g, FIELD(CluEinst.Bo)));
}

// The keys of one graphics variable: "MapColor" + suffix + field, then its rank tables.
template <class F>
void addVars(std::vector<KeyEntry>& k, const std::string& suffix, F vars) {
    const Group g = Group::Map;
    const std::string p = "MapColor" + suffix;
#define VARS(member)           \
    [vars](auto& s) -> auto& { \
        return vars(s).member; \
    }
#define VARS_AT(member, i)          \
    [ vars, i ](auto& s) -> auto& { \
        return vars(s).member[i];   \
    }
    k.push_back(intKey(p + "PointSize", g, VARS(PointSize)));
    k.push_back(intKey(p + "PointShape", g, VARS(PointShape)));
    k.push_back(intKey(p + "PointBo", g, VARS(PointBo)));
    k.push_back(intKey(p + "PointPat", g, VARS(PointPat)));
    k.push_back(intKey(p + "PointDens", g, VARS(PointDens)));
    k.push_back(intKey(p + "PointTrans", g, VARS(PointTrans)));
    k.push_back(intKey(p + "PointMode", g, VARS(PointMode)));
    k.push_back(intKey(p + "PointColor", g, VARS(PointColor)));
    for (int i = 0; i < 3; ++i)
        k.push_back(intKey(p + "Point" + std::to_string(i + 1), g, VARS_AT(Point, i)));
    k.push_back(floatKey(p + "PointVarCol", g, VARS(PointVarCol)));
    k.push_back(floatKey(p + "PointVarSiz", g, VARS(PointVarSiz)));
    for (int i = 0; i < 3; ++i) k.push_back(intKey(p + "ItM" + std::to_string(i + 1), g, VARS_AT(ItM, i)));
    for (int i = 0; i < 3; ++i) k.push_back(intKey(p + "ItC" + std::to_string(i + 1), g, VARS_AT(ItC, i)));
    for (int i = 0; i < 3; ++i) k.push_back(intKey(p + "Dec" + std::to_string(i + 1), g, VARS_AT(Dec, i)));
    k.push_back(digitsKey(p + "PointCritM", g, VARS(PointCritM)));
    k.push_back(digitsKey(p + "PointCritC", g, VARS(PointCritC)));
    for (int i = 0; i < 3; ++i)
        k.push_back(intKey(p + "PointLab" + std::to_string(i + 1), g, VARS_AT(PointLab, i)));
    k.push_back(intKey(p + "PointDevX", g, VARS(PointDevX)));
    k.push_back(intKey(p + "PointDevY", g, VARS(PointDevY)));
    for (int i = 0; i < 3; ++i)
        k.push_back(milliKey(p + "PointMin" + std::to_string(i + 1), g, VARS_AT(PointMin, i)));
    for (int i = 0; i < 3; ++i)
        k.push_back(milliKey(p + "PointMax" + std::to_string(i + 1), g, VARS_AT(PointMax, i)));
    k.push_back(fontKey(p + "TitleFont", g, VARS(TitleFont)));
    k.push_back(fontKey(p + "LegendFont", g, VARS(LegendFont)));
    k.push_back(fontKey(p + "ValueFont", g, VARS(ValueFont)));
    k.push_back(fontKey(p + "LabelFont", g, VARS(LabelFont)));
    k.push_back(intKey(p + "TitleColor", g, VARS(TitleColor)));
    k.push_back(intKey(p + "LegendColor", g, VARS(LegendColor)));
    k.push_back(intKey(p + "LegendSize", g, VARS(LegendSize)));
    k.push_back(intKey(p + "ValueColor", g, VARS(ValueColor)));
    k.push_back(intKey(p + "LegendDist", g, VARS(LegendDist)));
    k.push_back(intKey(p + "TitleDist", g, VARS(TitleDist)));
    k.push_back(intKey(p + "ItemDist", g, VARS(ItemDist)));
    k.push_back(intKey(p + "ItemOffs", g, VARS(ItemOffs)));
    k.push_back(intKey(p + "LineSty", g, VARS(LineSty)));
    k.push_back(intKey(p + "LineBo", g, VARS(LineBo)));
    k.push_back(intKey(p + "LineArrow", g, VARS(LineArrow)));
    k.push_back(intKey(p + "LineArrowShorten", g, VARS(LineArrowShorten)));
    k.push_back(milliKey(p + "LineArrowShortenBy", g, VARS(LineArrowShortenBy)));
    k.push_back(intKey(p + "LineCat", g, VARS(LineCat)));
    k.push_back(intKey(p + "LineV", g, VARS(LineV)));
    k.push_back(intKey(p + "LineD", g, VARS(LineD)));
    k.push_back(intKey(p + "LineSort", g, VARS(LineSort)));
    k.push_back(intKey(p + "LineAssign", g, VARS(LineAssign)));
    k.push_back(intKey(p + "LineLegend", g, VARS(LineLegend)));
    const std::string point = "MapColorPoint" + suffix;
    for (int i = 0; i < 32; ++i) {
        const std::string n = std::to_string(i + 1);
        k.push_back(intKey(point + "ColorRank" + n, g, VARS_AT(ColorRank, i)));
        k.push_back(intKey(point + "ColorR" + n, g, VARS_AT(ColorR, i)));
    }
    for (int i = 0; i < 16; ++i)
        k.push_back(intKey(point + "ShapeRank" + std::to_string(i + 1), g, VARS_AT(ShapeRank, i)));
    for (int i = 0; i < 12; ++i)
        k.push_back(intKey(point + "WidthRank" + std::to_string(i + 1), g, VARS_AT(WidthRank, i)));
    const std::string line = "MapColorLine" + suffix;
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i + 1);
        k.push_back(intKey(line + "StyRank" + n, g, VARS_AT(LineStyRank, i)));
        k.push_back(intKey(line + "BoRank" + n, g, VARS_AT(LineBoRank, i)));
    }
#undef VARS_AT
#undef VARS
}

void addMapGroup(std::vector<KeyEntry>& k) {
    const Group g = Group::Map;
    addRect(k, "DimPaint", g, FIELD(BildEinst.DimPaint));
    k.push_back(intKey("MapColorFillPlot", g, FIELD(MapEinst.FillPlot)));
    k.push_back(intKey("MapColorLegendPos", g, FIELD(MapEinst.Offsets.LegendPos)));
    k.push_back(intKey("MapColorOffsTop", g, FIELD(MapEinst.Offsets.Top)));
    k.push_back(intKey("MapColorOffsBottom", g, FIELD(MapEinst.Offsets.Bottom)));
    k.push_back(intKey("MapColorOffsLeft", g, FIELD(MapEinst.Offsets.Left)));
    k.push_back(intKey("MapColorOffsRight", g, FIELD(MapEinst.Offsets.Right)));
    k.push_back(intKey("MapColorOffsLegendH", g, FIELD(MapEinst.Offsets.LegendH)));
    k.push_back(intKey("MapColorOffsLegendV", g, FIELD(MapEinst.Offsets.LegendV)));
    k.push_back(intKey("MapColorOffsCoordXH", g, FIELD(MapEinst.Offsets.CoordXH)));
    k.push_back(intKey("MapColorOffsCoordXV", g, FIELD(MapEinst.Offsets.CoordXV)));
    k.push_back(intKey("MapColorOffsCoordYH", g, FIELD(MapEinst.Offsets.CoordYH)));
    k.push_back(intKey("MapColorOffsCoordYV", g, FIELD(MapEinst.Offsets.CoordYV)));
    k.push_back(intKey("MapColorOffsValueXH", g, FIELD(MapEinst.Offsets.ValueXH)));
    k.push_back(intKey("MapColorOffsValueXV", g, FIELD(MapEinst.Offsets.ValueXV)));
    k.push_back(intKey("MapColorOffsValueYH", g, FIELD(MapEinst.Offsets.ValueYH)));
    k.push_back(intKey("MapColorOffsValueYV", g, FIELD(MapEinst.Offsets.ValueYV)));
    k.push_back(intKey("MapColorOffsLabelH", g, FIELD(MapEinst.Offsets.LabelH)));
    k.push_back(intKey("MapColorOffsLabelV", g, FIELD(MapEinst.Offsets.LabelV)));
    k.push_back(intKey("MapColorOffsScaleBarH", g, FIELD(MapEinst.Offsets.ScaleBarH)));
    k.push_back(intKey("MapColorOffsScaleBarV", g, FIELD(MapEinst.Offsets.ScaleBarV)));
    k.push_back(intKey("MapColorScalebarSize", g, FIELD(MapEinst.ScalebarSize)));
    k.push_back(textKey("MapColorScalebarUnit", g, FIELD(MapEinst.ScalebarUnit)));
    k.push_back(textKey("MapColorRasterName", g, FIELD(MapEinst.RasterName)));
    k.push_back(intKey("MapColorScalebarFactor", g, FIELD(MapEinst.ScalebarFactor)));
    k.push_back(intKey("MapColorScalebarWidth", g, FIELD(MapEinst.ScalebarWidth)));
    k.push_back(intKey("MapColorScalebarColor", g, FIELD(MapEinst.ScalebarColor)));
    k.push_back(fontKey("MapColorScalebarFont", g, FIELD(MapEinst.ScalebarFont)));
    k.push_back(intKey("MapColorArcWidth", g, FIELD(MapEinst.ArcWidth)));
    k.push_back(intKey("MapColorArcColor", g, FIELD(MapEinst.ArcColor)));
    k.push_back(intKey("MapColorPlanWidth", g, FIELD(MapEinst.PlanWidth)));
    k.push_back(intKey("MapColorPlanColor", g, FIELD(MapEinst.PlanColor)));
    k.push_back(intKey("MapColorBiplotShow", g, FIELD(MapEinst.Biplot.Show)));
    k.push_back(intKey("MapColorBiplotLabelsA", g, FIELD(MapEinst.Biplot.LabelsA)));
    k.push_back(intKey("MapColorBiplotLabelsC", g, FIELD(MapEinst.Biplot.LabelsC)));
    k.push_back(floatKey("MapColorBiplotStretch", g, FIELD(MapEinst.Biplot.Stretch)));
    k.push_back(intKey("MapColorBiplotTip", g, FIELD(MapEinst.Biplot.Tip)));
    k.push_back(intKey("MapColorBiplotColorA", g, FIELD(MapEinst.Biplot.ColorA)));
    k.push_back(intKey("MapColorBiplotColorC", g, FIELD(MapEinst.Biplot.ColorC)));
    k.push_back(intKey("MapColorBiplotSty", g, FIELD(MapEinst.Biplot.Sty)));
    k.push_back(intKey("MapColorBiplotBo", g, FIELD(MapEinst.Biplot.Bo)));
    k.push_back(fontKey("MapColorBiplotFontA", g, FIELD(MapEinst.Biplot.FontA)));
    k.push_back(fontKey("MapColorBiplotFontC", g, FIELD(MapEinst.Biplot.FontC)));
    k.push_back(intKey("RasterColor", g, FIELD(MapEinst.RasterColor)));
    k.push_back(intKey("RasterIntens", g, FIELD(MapEinst.RasterIntens)));
    k.push_back(intKey("MapColorDelim", g, FIELD(MapEinst.Delim)));
    k.push_back(intKey("MapLabel", g, FIELD(MapEinst.MapLabel)));
    k.push_back(intKey("MapLabRef", g, FIELD(MapEinst.MapLabRef)));
    k.push_back(intKey("MapFore", g, FIELD(MapEinst.MapFore)));
    k.push_back(intKey("MapCurPos", g, FIELD(MapEinst.MapCurPos)));
    k.push_back(intKey("LinkXYscales", g, FIELD(MapEinst.LinkXYscales)));
    k.push_back(intKey("MapShowLegends", g, FIELD(MapEinst.MapShowLegends)));
    k.push_back(milliKey("MapColorScaleX1", g, FIELD(MapEinst.Coord.ScaleX1)));
    k.push_back(milliKey("MapColorScaleX2", g, FIELD(MapEinst.Coord.ScaleX2)));
    k.push_back(milliKey("MapColorScaleY1", g, FIELD(MapEinst.Coord.ScaleY1)));
    k.push_back(milliKey("MapColorScaleY2", g, FIELD(MapEinst.Coord.ScaleY2)));
    k.push_back(intKey("MapColorDecX", g, FIELD(MapEinst.Coord.DecX)));
    k.push_back(intKey("MapColorDecY", g, FIELD(MapEinst.Coord.DecY)));
    k.push_back(intKey("MapColorAngleX", g, FIELD(MapEinst.Coord.AngleX)));
    k.push_back(intKey("MapMarkX", g, FIELD(MapEinst.Coord.MarkX)));
    k.push_back(intKey("MapMarkY", g, FIELD(MapEinst.Coord.MarkY)));
    k.push_back(intKey("ScaletransX", g, FIELD(MapEinst.Coord.ScaletransX)));
    k.push_back(intKey("ScaletransY", g, FIELD(MapEinst.Coord.ScaletransY)));
    k.push_back(intKey("MapColorGridX", g, FIELD(MapEinst.Coord.GridX)));
    k.push_back(intKey("MapColorGridY", g, FIELD(MapEinst.Coord.GridY)));
    k.push_back(intKey("MapColorGridSty", g, FIELD(MapEinst.Coord.GridSty)));
    k.push_back(intKey("MapColorGridBo", g, FIELD(MapEinst.Coord.GridBo)));
    k.push_back(intKey("MapColorGridColor", g, FIELD(MapEinst.Coord.GridColor)));
    k.push_back(intKey("MapColorCoordBoX", g, FIELD(MapEinst.Coord.CoordBoX)));
    k.push_back(intKey("MapColorCoordBoY", g, FIELD(MapEinst.Coord.CoordBoY)));
    k.push_back(intKey("MapColorCoordColor", g, FIELD(MapEinst.Coord.CoordColor)));
    k.push_back(fontKey("MapCoordFont", g, FIELD(MapEinst.Coord.CoordFont)));
    k.push_back(fontKey("MapScaleFontX", g, FIELD(MapEinst.Coord.ScaleFontX)));
    k.push_back(fontKey("MapScaleFontY", g, FIELD(MapEinst.Coord.ScaleFontY)));
    k.push_back(textKey("MapScaleTextX", g, FIELD(MapEinst.Coord.ScaleTextX)));
    k.push_back(textKey("MapScaleTextY", g, FIELD(MapEinst.Coord.ScaleTextY)));
    k.push_back(textKey("MapCoordTextX", g, FIELD(MapEinst.Coord.CoordTextX)));
    k.push_back(textKey("MapCoordTextY", g, FIELD(MapEinst.Coord.CoordTextY)));
    addVars(k, "", FIELD(MapEinst.Vars1));
    addVars(k, "Back", FIELD(MapEinst.Vars2));
    addVars(k, "Theme", FIELD(MapEinst.Vars3));
    addVars(k, "Biplot", FIELD(MapEinst.VarsB));
    addVars(k, "Arten", FIELD(MapEinst.VarsS));
}

#undef FIELD

// In writing order.
const std::vector<KeyEntry>& keyTable() {
    static const std::vector<KeyEntry> table = [] {
        std::vector<KeyEntry> k;
        addMainGroup(k);
        addWindowGroup(k);
        addMapGroup(k);
        return k;
    }();
    return table;
}

const KeyEntry* findKey(std::string_view key) {
    static const std::unordered_map<std::string_view, const KeyEntry*> index = [] {
        std::unordered_map<std::string_view, const KeyEntry*> m;
        for (const KeyEntry& e : keyTable()) m.emplace(e.key, &e);
        return m;
    }();
    const auto it = index.find(key);
    return it == index.end() ? nullptr : it->second;
}

void writeGroup(const TProjectSettings& p, Group g, std::vector<std::string>& lines) {
    for (const KeyEntry& e : keyTable()) {
        if (e.group != g) continue;
        const std::string value = e.write(p);
        lines.push_back(value.empty() && e.bareWhenEmpty ? e.key : e.key + ';' + value);
    }
}

std::string refusalText(const char* pattern, std::string_view value) {
    std::string s = pattern;
    const std::size_t at = s.find("%s");
    if (at != std::string::npos) s.replace(at, 2, value);
    return s;
}

}  // namespace

bool TProjectSettings::readSettingsLine(std::string_view line, std::string* problem) {
    const std::size_t semi = line.find(';');
    const std::string_view key = line.substr(0, semi);
    const std::string_view value =
        semi == std::string_view::npos ? std::string_view() : line.substr(semi + 1);
    const KeyEntry* e = key.empty() ? nullptr : findKey(key);
    if (!e || e->read(*this, value)) return true;
    if (problem) *problem = refusalText(e->refusal, value);
    return false;
}

void TProjectSettings::WriteMainSettings(std::vector<std::string>& lines) const {
    writeGroup(*this, Group::Main, lines);
}

void TProjectSettings::WriteBildEinst(std::vector<std::string>& lines) const {
    writeGroup(*this, Group::Window, lines);
}

void TProjectSettings::WriteMapSettings(std::vector<std::string>& lines) const {
    writeGroup(*this, Group::Map, lines);
}

std::vector<std::string> TProjectSettings::settingsLines(std::string_view its) const {
    std::vector<std::string> lines;
    if (its.size() > 0 && its[0] == '1') WriteMainSettings(lines);
    if (its.size() > 1 && its[1] == '1') WriteBildEinst(lines);
    if (its.size() > 2 && its[2] == '1') WriteMapSettings(lines);
    return lines;
}

Status TProjectSettings::ReadFromFile(const std::string& fname) {
    const Result<std::string> bytes = readWholeFile(fname, kMaxSettingsBytes);
    if (!bytes) return Status::failure("Kann " + fname + " nicht lesen: " + bytes.status().plain());
    Status status;
    const std::string text = decodeFileText(bytes.value());
    const std::vector<std::string_view> lines = splitSettingsLines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string problem;
        // A refused line is skipped on its own: stopping here would leave every later key at its default,
        // and the settings written at the end of the run would lose them for good.
        if (!readSettingsLine(lines[n], &problem))
            status.warning(fname + ", Zeile " + std::to_string(n + 1) + ": " + problem);
    }
    return status;
}

Status TProjectSettings::WriteToFile(const std::string& fname, std::string_view its) const {
    return writeSettingsLines(fname, settingsLines(its), true);
}

}  // namespace tav
