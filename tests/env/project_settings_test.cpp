#include "env/project_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/text.h"
#include "env/catalogue.h"
#include "support/test_files.h"

namespace tav {
namespace {

std::vector<std::string> messageTexts(const Status& s) {
    std::vector<std::string> texts;
    for (const Message& m : s.messages()) texts.push_back(m.plain());
    return texts;
}

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

// Definitions whose default answers differ from the built-in fallbacks, so a test tells them apart.
const char* kCatalogueLines =
    "D;DlgEditorStandard;Randfelder;Standard;0011;a;b\n"
    "D;DlgCursEinst;Cursor;;01;a\n"
    "D;DlgSchnellEinst;Schnellsuche;;0001;a\n"
    "D;DlgPrfSet;Prüfung;;1;a\n"
    "D;DlgSystEinst;System;;2;a\n"
    "D;DlgZeiEinst;Zeiger;;3;a\n"
    "D;DlgDeckEinst;Deckung;;4;a\n"
    "D;DlgGesDeckEinst;Gesamt;;5;a\n"
    "D;DlgDelimEinst;Trennzeichen;;1;a\n"
    "D;DlgDetEinst;Bestimmung;;011;a\n"
    "D;DlgSozEinstKenn;Kenn;;00017,8;a\n"
    "D;DlgDummy;Dialog fehlt;;;OK\n";

Catalogue fullCatalogue() {
    Catalogue c;
    c.loadFromText(kCatalogueLines);
    return c;
}

const Catalogue& emptyCatalogue() {
    static const Catalogue c;
    return c;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

// The line the writer makes of a key.
std::string writtenLine(const TProjectSettings& p, const std::string& key) {
    for (const std::string& line : p.settingsLines("111"))
        if (line == key || line.rfind(key + ";", 0) == 0) return line;
    return "<missing>";
}

// Every field set to a value that is neither its default nor equal to a neighbour's, so a key bound
// to the wrong field or not bound at all shows in the round trip.
class Filler {
  public:
    std::int32_t i() { return ++n_; }
    double milli() { return ++n_ + 0.125; }  // survives thousandths
    double real() { return ++n_ + 0.375; }
    std::string text(const char* stem) { return std::string(stem) + " ä;" + std::to_string(++n_); }
    RFont font() {
        ++n_;
        return RFont{n_ % 50 + 1, n_ % 16, n_ % 3, "Font " + std::to_string(n_)};
    }
    PixelRect rect() { return PixelRect{i(), i(), i(), -i()}; }
    std::array<std::int32_t, 3> digits() {
        ++n_;
        return {n_ % 10, (n_ + 3) % 10, (n_ + 7) % 10};
    }
    template <std::size_t N>
    void fill(std::array<std::int32_t, N>& a) {
        for (auto& x : a) x = i();
    }

  private:
    std::int32_t n_ = 0;
};

void fillVars(RVars& v, Filler& f) {
    v.PointSize = f.i(), v.PointShape = f.i(), v.PointBo = f.i(), v.PointPat = f.i(), v.PointDens = f.i();
    v.PointTrans = f.i(), v.PointMode = f.i(), v.PointColor = f.i();
    f.fill(v.Point);
    v.PointVarCol = f.real(), v.PointVarSiz = f.real();
    f.fill(v.ItM), f.fill(v.ItC), f.fill(v.Dec);
    v.PointCritM = f.digits(), v.PointCritC = f.digits();
    f.fill(v.PointLab);
    v.PointDevX = f.i(), v.PointDevY = f.i();
    for (double& x : v.PointMin) x = f.milli();
    for (double& x : v.PointMax) x = -f.milli();
    v.TitleFont = f.font(), v.LegendFont = f.font(), v.ValueFont = f.font(), v.LabelFont = f.font();
    v.TitleColor = f.i(), v.LegendColor = f.i(), v.LegendSize = f.i(), v.ValueColor = f.i();
    v.LegendDist = f.i(), v.TitleDist = f.i(), v.ItemDist = f.i(), v.ItemOffs = f.i();
    v.LineSty = f.i(), v.LineBo = f.i(), v.LineArrow = f.i(), v.LineArrowShorten = f.i();
    v.LineArrowShortenBy = f.milli();
    v.LineCat = f.i(), v.LineV = f.i(), v.LineD = f.i(), v.LineSort = f.i(), v.LineAssign = f.i();
    v.LineLegend = f.i();
    f.fill(v.ColorRank), f.fill(v.ColorR), f.fill(v.ShapeRank), f.fill(v.WidthRank);
    f.fill(v.LineStyRank), f.fill(v.LineBoRank);
}

void fillEverything(RProjectSettings& s) {
    Filler f;
    for (std::string* t : {&s.ArtListName, &s.AngName, &s.VorName, &s.MakroName, &s.DetName, &s.PicName,
                           &s.SozName, &s.DbName, &s.MapName, &s.PlanName, &s.OccName, &s.DeckName,
                           &s.Sprache, &s.TavPath, &s.Extern.Name, &s.Extern.Dir, &s.Extern.Cmd})
        *t = f.text("/data/my file");
    for (std::string& h : s.FileHistory) h = "/tables/t \u00e4 " + std::to_string(f.i());

    RBildEinst& b = s.BildEinst;
    for (PixelRect* r : {&b.DimMain, &b.DimLst, &b.DimLstG, &b.DimPaint, &b.DimPic, &b.DimLstD, &b.DimRich,
                         &b.DimPen, &b.DimDb})
        *r = f.rect();
    b.DimChk = {f.i(), f.i()};
    b.DimCells = {f.i(), f.i()};
    for (std::int32_t* x : {&b.G1HeightK, &b.G1HeightA, &b.G1Width, &b.LstG1, &b.LstG2, &b.LstG3, &b.LstG11,
                            &b.LstG12, &b.RadioWidth, &b.CheckWidth, &b.ToolSize})
        *x = f.i();
    b.ToolButtons = f.text("101;102");
    b.MainFont = f.font(), b.ListFont = f.font(), b.MenuFont = f.font();
    s.CluEinst = {f.rect(), f.font(), f.i(), f.i()};

    // Alternating flags differ from every default group string.
    s.EditorMargin = {true, false, true,  true, false, true,  false, true,
                      true, false, false, true, true,  false, true,  true};
    s.CurScrEinst = {false, true, true, false, true, false, true, true};
    s.SchnellEinst = {true, false, true, true};
    s.Pruef = {true, true,  false, true, false, true,  true, false,
               true, false, true,  true, false, false, true};
    s.SystEinst = 7, s.ZeiEinst = 8, s.DeckEinst = 9, s.GesDeckEinst = 10;
    s.DetEinst = {false, true, false, true, true, false};
    s.SozEinstSim = 42;
    s.SozEinstKenn = {false, true, true, true, "1;2,x"};

    RMapEinst& m = s.MapEinst;
    for (std::int32_t* x :
         {&m.FillPlot, &m.RasterColor, &m.RasterIntens, &m.ScalebarFactor, &m.ScalebarWidth, &m.ScalebarColor,
          &m.ArcWidth, &m.ArcColor, &m.PlanWidth, &m.PlanColor, &m.MapLabel, &m.MapLabRef, &m.MapCurPos,
          &m.MapShowLegends, &m.MapFore, &m.LinkXYscales, &m.ScalebarSize, &m.Delim})
        *x = f.i();
    m.ScalebarFont = f.font();
    m.ScalebarUnit = f.text("m");
    m.RasterName = f.text("/raster/r");
    for (RVars* v : {&m.Vars1, &m.Vars2, &m.Vars3, &m.VarsB, &m.VarsS}) fillVars(*v, f);
    RBiplot& bp = m.Biplot;
    bp.Show = f.i(), bp.LabelsA = f.i(), bp.LabelsC = f.i(), bp.Stretch = f.real(), bp.Tip = f.i();
    bp.ColorA = f.i(), bp.ColorC = f.i(), bp.Sty = f.i(), bp.Bo = f.i(), bp.FontA = f.font(),
    bp.FontC = f.font();
    RCoord& c = m.Coord;
    c.ScaleX1 = f.milli(), c.ScaleX2 = f.milli(), c.ScaleY1 = -f.milli(), c.ScaleY2 = f.milli();
    for (std::int32_t* x :
         {&c.DecX, &c.DecY, &c.AngleX, &c.MarkX, &c.MarkY, &c.ScaletransX, &c.ScaletransY, &c.GridX, &c.GridY,
          &c.GridSty, &c.GridBo, &c.GridColor, &c.CoordBoX, &c.CoordBoY, &c.CoordColor})
        *x = f.i();
    c.CoordFont = f.font(), c.ScaleFontX = f.font(), c.ScaleFontY = f.font();
    c.ScaleTextX = f.text("x"), c.ScaleTextY = f.text("y"), c.CoordTextX = f.text("cx"),
    c.CoordTextY = f.text("cy");
    ROffsets& o = m.Offsets;
    for (std::int32_t* x : {&o.LegendPos, &o.Top, &o.Bottom, &o.Left, &o.Right, &o.LegendH, &o.LegendV,
                            &o.CoordXH, &o.CoordXV, &o.CoordYH, &o.CoordYV, &o.ValueXH, &o.ValueXV,
                            &o.ValueYH, &o.ValueYV, &o.LabelH, &o.LabelV, &o.ScaleBarH, &o.ScaleBarV})
        *x = -f.i();

    RDiversa& d = s.Diversa;
    for (std::int32_t* x : {&d.GridColor, &d.FixedColor, &d.FocusColor, &d.MarkColor, &d.Decimals,
                            &d.DelimEinst, &d.QualiEinst, &d.DetMaxErr, &d.DetMinMatch, &d.DetWeight,
                            &d.CritWeight, &d.Schnellsuche, &d.RandBreite, &d.UeberEingabe, &d.Vorlage})
        *x = f.i();
    d.ExportEncoding = 3;
}

TEST(SettingsFile, EveryGroupSurvivesWritingAndReading) {
    TempDir dir;
    const Catalogue cat = fullCatalogue();
    TProjectSettings a(cat, "/opt/tavolex", dir.path());
    fillEverything(a.record());
    const std::string file = dir.file("full.$VP");
    ASSERT_TRUE(a.WriteToFile(file, "111"));

    TProjectSettings b(cat, "/opt/tavolex", dir.path());
    ASSERT_NE(a.record(), b.record());
    const Status read = b.ReadFromFile(file);
    ASSERT_TRUE(read.ok());
    const std::vector<std::string> problems = messageTexts(read);
    EXPECT_EQ(problems, std::vector<std::string>{});
    EXPECT_EQ(a.record(), b.record());
    EXPECT_EQ(a.settingsLines("111"), b.settingsLines("111"));

    // Every key once; the file is Windows-1252 ("ä" one byte) with CR LF line ends.
    const std::vector<std::string> lines = a.settingsLines("111");
    std::set<std::string> keys;
    for (const std::string& line : lines)
        EXPECT_TRUE(keys.insert(line.substr(0, line.find(';'))).second) << line;
    const std::string bytes = readBytes(file);
    EXPECT_NE(bytes.find("ArtListName;/data/my file \xe4;1\r\nAngName;"), std::string::npos);
    EXPECT_EQ(bytes.find("\xc3\xa4"), std::string::npos);
}

// A fresh environment saved at the end of the first run must come back unchanged at the next start.
TEST(SettingsFile, DefaultsSurviveWritingAndReading) {
    TempDir dir;
    const Catalogue cat = fullCatalogue();
    for (const Catalogue* c : {&cat, &emptyCatalogue()}) {
        TProjectSettings a(*c, "/opt/tavolex", dir.path());
        const std::string file = dir.file("defaults.$VP");
        ASSERT_TRUE(a.WriteToFile(file, "111"));
        TProjectSettings b(*c, "/opt/tavolex", dir.path());
        const Status read = b.ReadFromFile(file);
        ASSERT_TRUE(read.ok());
        const std::vector<std::string> problems = messageTexts(read);
        EXPECT_EQ(problems, std::vector<std::string>{});
        EXPECT_EQ(a.settingsLines("111"), b.settingsLines("111"));
        EXPECT_EQ(a.record(), b.record());
        EXPECT_EQ(b.SozEinstSim, 0);
    }
}

TEST(SettingsFile, RunTimeFieldsStayOutOfTheFile) {
    TempDir dir;
    TProjectSettings a(emptyCatalogue(), "/opt/tavolex", dir.path());
    a.InitialDir = "/last/dialog";
    a.Zusatzlist = "a;b";
    const std::string file = dir.file("s.$VP");
    ASSERT_TRUE(a.WriteToFile(file, "111"));
    const std::string bytes = readBytes(file);
    EXPECT_EQ(bytes.find("/last/dialog"), std::string::npos);
    EXPECT_EQ(bytes.find("a;b"), std::string::npos);
}

TEST(SettingsFile, GroupSelectionAndOrder) {
    TempDir dir;
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", dir.path());
    struct Case {
        const char* its;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {"100", "ArtListName;NoName.adb", "SozEinstKenn;1100"},
        {"010", "DimMain.top;100", "Clu.Bo;1"},
        {"001", "DimPaint.top;200", "MapColorLineArtenBoRank12;12"},
        {"111", "ArtListName;NoName.adb", "MapColorLineArtenBoRank12;12"},
    };
    for (const Case& c : cases) {
        const std::string file = dir.file(std::string("g") + c.its);
        ASSERT_TRUE(p.WriteToFile(file, c.its));
        const std::string bytes = readBytes(file);
        EXPECT_EQ(bytes.rfind(std::string(c.first) + "\r\n", 0), 0u) << c.its;
        EXPECT_EQ(bytes.substr(bytes.size() - std::string(c.last).size() - 2), std::string(c.last) + "\r\n")
            << c.its;
    }
    // The window group leaves DimPaint to the graphics group.
    const std::vector<std::string> window = p.settingsLines("010");
    for (const std::string& line : window) EXPECT_NE(line.rfind("DimPaint", 0), 0u) << line;
}

TEST(SettingsFile, ARefusedLineIsSkippedAndTheRestIsRead) {
    TempDir dir;
    const std::string file = dir.file("bad.$VP");
    writeBytes(file, crlf({"Decimals;4", "GridColor;rot", "FocusColor;12", "Decimals;x5",
                           "MapColorPointCritM;1a2", "MapColorPointVarCol;zwei", "Sprache;English"}));
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", dir.path());
    const Status read = p.ReadFromFile(file);
    ASSERT_TRUE(read.ok());
    const std::vector<std::string> problems = messageTexts(read);
    EXPECT_EQ(p.Diversa.Decimals, 4);           // the later bad value keeps the earlier one
    EXPECT_EQ(p.Diversa.GridColor, -16777216);  // default kept
    EXPECT_EQ(p.Diversa.FocusColor, 12);        // read after the bad line
    EXPECT_EQ(p.Sprache, "English");            // the last line is read too
    EXPECT_EQ(p.MapEinst.Vars1.PointCritM, (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(p.MapEinst.Vars1.PointVarCol, 1.0);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            file + ", Zeile 2: 'rot' ist kein gültiger Integerwert",
                            file + ", Zeile 4: 'x5' ist kein gültiger Integerwert",
                            file + ", Zeile 5: '1a2' sind nicht drei Ziffern",
                            file + ", Zeile 6: 'zwei' ist kein gültiger Gleitkommawert",
                        }));
}

TEST(SettingsFile, DelimiterAndQualifierMustSeparateFields) {
    TempDir dir;
    const std::string file = dir.file("sep.$VP");
    writeBytes(file, crlf({"DelimEinst;13", "DelimEinst;10", "QualiEinst;9", "QualiEinst;13", "DelimEinst;59",
                           "QualiEinst;59", "QualiEinst;34", "DelimEinst;34", "DelimEinst;44"}));
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", dir.path());
    const Status read = p.ReadFromFile(file);
    ASSERT_TRUE(read.ok());
    const std::vector<std::string> problems = messageTexts(read);
    EXPECT_EQ(p.Diversa.DelimEinst, 44);
    EXPECT_EQ(p.Diversa.QualiEinst, 34);
    const std::string delim =
        "' ist als Trennzeichen nicht möglich (Zeilenwechsel oder gleich dem "
        "Textbegrenzungszeichen)";
    const std::string quali =
        "' ist als Textbegrenzungszeichen nicht möglich (Zeilenwechsel oder gleich "
        "dem Trennzeichen)";
    EXPECT_EQ(problems, (std::vector<std::string>{
                            file + ", Zeile 1: '13" + delim,
                            file + ", Zeile 2: '10" + delim,
                            file + ", Zeile 3: '9" + quali,  // the tab is still the delimiter here
                            file + ", Zeile 4: '13" + quali,
                            file + ", Zeile 6: '59" + quali,
                            file + ", Zeile 8: '34" + delim,
                        }));
}

TEST(SettingsFile, LineFormsAndNumberForms) {
    struct Case {
        const char* line;
        std::function<bool(const TProjectSettings&)> holds;
    };
    const Case cases[] = {
        // The value is everything after the first ";".
        {"ToolButtons;1;2;3", [](auto& p) { return p.BildEinst.ToolButtons == "1;2;3"; }},
        {"Decimals", [](auto& p) { return p.Diversa.Decimals == 8; }},
        {"decimals;3", [](auto& p) { return p.Diversa.Decimals == 8; }},  // keys are case-sensitive
        {"Unknown;3", [](auto& p) { return p.Diversa.Decimals == 8; }},
        {"", [](auto& p) { return p.Diversa.Decimals == 8; }},
        {"Decimals;-3", [](auto& p) { return p.Diversa.Decimals == -3; }},
        {"Decimals;+3", [](auto& p) { return p.Diversa.Decimals == 3; }},
        {"Decimals;99999999999", [](auto& p) { return p.Diversa.Decimals == 8; }},
        {"Clu.Decimals;3", [](auto& p) { return p.CluEinst.Decimals == 3 && p.Diversa.Decimals == 8; }},
        {"MapColorDecX;2", [](auto& p) { return p.MapEinst.Coord.DecX == 2; }},
        // Files from systems with a decimal comma still load.
        {"MapColorBiplotStretch;2,5", [](auto& p) { return p.MapEinst.Biplot.Stretch == 2.5; }},
        {"MapColorBackPointVarSiz;0.25", [](auto& p) { return p.MapEinst.Vars2.PointVarSiz == 0.25; }},
        {"MapColorScaleX1;-1500", [](auto& p) { return p.MapEinst.Coord.ScaleX1 == -1.5; }},
        {"MapColorThemePointMax2;2250", [](auto& p) { return p.MapEinst.Vars3.PointMax[1] == 2.25; }},
        {"MapColorArtenPointCritC;012",
         [](auto& p) {
             return p.MapEinst.VarsS.PointCritC == std::array<std::int32_t, 3>{0, 1, 2};
         }},
        {"MapColorPointBiplotColorRank32;77", [](auto& p) { return p.MapEinst.VarsB.ColorRank[31] == 77; }},
        {"MapColorLineBackBoRank12;5", [](auto& p) { return p.MapEinst.Vars2.LineBoRank[11] == 5; }},
        {"DimCells.x;33",
         [](auto& p) { return p.BildEinst.DimCells.X == 33 && p.BildEinst.DimCells.Y == 0; }},
        {"DimDb.right;-7", [](auto& p) { return p.BildEinst.DimDb.Right == -7; }},
    };
    for (const Case& c : cases) {
        TProjectSettings p(emptyCatalogue(), "/opt/tavolex", "/data", 1.0);
        p.readSettingsLine(c.line);
        EXPECT_TRUE(c.holds(p)) << c.line;
    }
}

TEST(SettingsFile, ThousandthsAndFloatsAreWrittenWithAPoint) {
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", "/data");
    p.MapEinst.Coord.ScaleY2 = 0.0125;  // 12.5 thousandths: ties go to the even neighbour
    p.MapEinst.Vars1.LineArrowShortenBy = -0.0625;
    p.MapEinst.Biplot.Stretch = 1.75;
    p.MapEinst.Vars1.PointCritM = {1, 0, 9};
    EXPECT_EQ(writtenLine(p, "MapColorScaleY2"), "MapColorScaleY2;12");
    EXPECT_EQ(writtenLine(p, "MapColorLineArrowShortenBy"), "MapColorLineArrowShortenBy;-62");
    EXPECT_EQ(writtenLine(p, "MapColorBiplotStretch"), "MapColorBiplotStretch;1.75");
    EXPECT_EQ(writtenLine(p, "MapColorPointCritM"), "MapColorPointCritM;109");
}

TEST(SettingsFile, FileHistoryClosesUpItsGaps) {
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", "/data");
    EXPECT_EQ(writtenLine(p, "FileHistory"), "FileHistory");
    p.readSettingsLine("FileHistory;a;;b");
    EXPECT_EQ(p.FileHistory[0], "a");
    EXPECT_EQ(p.FileHistory[1], "");
    EXPECT_EQ(p.FileHistory[2], "b");
    EXPECT_EQ(p.FileHistory[3], "");
    EXPECT_EQ(writtenLine(p, "FileHistory"), "FileHistory;a;b");
    p.FileHistory[5] = "/odd;name.tab";
    EXPECT_EQ(writtenLine(p, "FileHistory"), "FileHistory;a;b");
    p.readSettingsLine("FileHistory");
    EXPECT_EQ(p.FileHistory[0], "");
}

// Text whose code-page bytes happen to form UTF-8 ("\u00C3\u00A4" is C3 A4, which is UTF-8 for "\u00E4")
// would come back as other characters; such a file is written in UTF-8. Ordinary text keeps the code page.
TEST(SettingsFile, TextIsReadBackAsWritten) {
    struct Case {
        std::string value;
        std::string bytes;  // of the line in the file
    };
    const Case cases[] = {
        {"/daten/\u00C3\u00A4.txt", "AngName;/daten/\xC3\x83\xC2\xA4.txt\r\n"},
        {"/home\u00EF\u00BB\u00BF", "AngName;/home\xC3\xAF\xC2\xBB\xC2\xBF\r\n"},
        {"/daten/\u00E4.txt", "AngName;/daten/\xE4.txt\r\n"},
    };
    TempDir dir;
    const std::string file = dir.file("t.$VP");
    for (const Case& c : cases) {
        TProjectSettings a(emptyCatalogue(), "/opt/tavolex", dir.path());
        a.AngName = c.value;
        ASSERT_TRUE(a.WriteToFile(file, "111"));
        EXPECT_NE(readBytes(file).find(c.bytes), std::string::npos) << c.value;
        TProjectSettings b(emptyCatalogue(), "/opt/tavolex", dir.path());
        ASSERT_TRUE(b.ReadFromFile(file));
        EXPECT_EQ(b.AngName, c.value);
    }
}

TEST(SettingsFile, UnencodableTextIsWrittenAsUtf8) {
    TempDir dir;
    TProjectSettings a(emptyCatalogue(), "/opt/tavolex", dir.path());
    a.AngName = "/daten/Ωmega ä.txt";
    a.BildEinst.ToolButtons = "eins\nzwei";
    const std::string file = dir.file("u.$VP");
    ASSERT_TRUE(a.WriteToFile(file, "111"));
    EXPECT_NE(readBytes(file).find("AngName;/daten/Ωmega ä.txt\r\n"), std::string::npos);
    TProjectSettings b(emptyCatalogue(), "/opt/tavolex", dir.path());
    ASSERT_TRUE(b.ReadFromFile(file));
    EXPECT_EQ(b.AngName, a.AngName);
    // A line break in a value would start a key of its own.
    EXPECT_EQ(b.BildEinst.ToolButtons, "eins zwei");
}

TEST(SettingsGroups, ParsedAndWrittenBack) {
    struct Case {
        const char* line;
        std::function<bool(const TProjectSettings&)> holds;
        const char* writtenBack;
    };
    const Case cases[] = {
        {"SozEinstKenn;00011,2,3",
         [](auto& p) {
             const RSozEinstKenn& k = p.SozEinstKenn;
             return !k.Up && !k.Dn && !k.Red && k.Codes && k.CodeList == "1,2,3";
         },
         "SozEinstKenn;00011,2,3"},
        {"SozEinstKenn;1100", [](auto& p) { return p.SozEinstKenn.Up && p.SozEinstKenn.CodeList.empty(); },
         "SozEinstKenn;1100"},
        // The code list counts from the fifth character, not the fifth byte.
        {"SozEinstKenn;\u00e4011x",
         [](auto& p) { return !p.SozEinstKenn.Up && p.SozEinstKenn.CodeList == "x"; }, "SozEinstKenn;0011x"},
        {"SchnellEinst;1000",
         [](auto& p) {
             const RSchnellEinst& q = p.SchnellEinst;
             return q.Ang && !q.Kopf && !q.Art2 && !q.Mark;
         },
         "SchnellEinst;1000"},
        {"EditorMargin;11",
         [](auto& p) {
             std::string s;
             p.SetEditorMargin(s);
             return p.EditorMargin.ZlNr && p.EditorMargin.SpNr && !p.EditorMargin.Scores;
         },
         "EditorMargin;1100000000000000"},
        {"Pruef;0000000000000x1", [](auto& p) { return p.Pruef.PrimAccept && !p.Pruef.NaAccept; },
         "Pruef;000000000000001"},
        {"CurScrEinst;00000001", [](auto& p) { return p.CurScrEinst.Fix && !p.CurScrEinst.AutoZlWechsel; },
         "CurScrEinst;00000001"},
        {"DetEinst;000001", [](auto& p) { return p.DetEinst.Auto && !p.DetEinst.Det; }, "DetEinst;000001"},
        {"SozEinstSim;0", [](auto& p) { return p.SozEinstSim == 1; }, "SozEinstSim;1"},
        {"SozEinstSim;x", [](auto& p) { return p.SozEinstSim == 0; }, "SozEinstSim;"},
        {"SozEinstSim;", [](auto& p) { return p.SozEinstSim == 0; }, "SozEinstSim;"},
        {"SozEinstSim;7", [](auto& p) { return p.SozEinstSim == 7; }, "SozEinstSim;7"},
        {"DelimEinst;0", [](auto& p) { return p.Diversa.DelimEinst == 9; }, "DelimEinst;9"},
        {"DelimEinst;59", [](auto& p) { return p.Diversa.DelimEinst == 59; }, "DelimEinst;59"},
        {"SystEinst;0", [](auto& p) { return p.SystEinst == 1; }, "SystEinst;1"},
        {"ZeiEinst;x", [](auto& p) { return p.ZeiEinst == 1; }, "ZeiEinst;1"},
        {"DeckEinst;300", [](auto& p) { return p.DeckEinst == 1; }, "DeckEinst;1"},  // no byte
        {"GesDeckEinst;3", [](auto& p) { return p.GesDeckEinst == 3; }, "GesDeckEinst;3"},
        {"QualiEinst;x", [](auto& p) { return p.Diversa.QualiEinst == 0; }, "QualiEinst;0"},
        {"QualiEinst;34", [](auto& p) { return p.Diversa.QualiEinst == 34; }, "QualiEinst;34"},
        {"ExportCodeEinst;x", [](auto& p) { return p.Diversa.ExportEncoding == 0; }, "ExportCodeEinst;0"},
        {"ExportCodeEinst;1", [](auto& p) { return p.Diversa.ExportEncoding == 1; }, "ExportCodeEinst;1"},
        // An empty group string is the catalogue's default answer.
        {"EditorMargin;", [](auto& p) { return !p.EditorMargin.ZlNr && p.EditorMargin.ZlTypK; },
         "EditorMargin;0011000000000000"},
        {"DeckEinst;", [](auto& p) { return p.DeckEinst == 4; }, "DeckEinst;4"},
        {"SozEinstKenn;", [](auto& p) { return p.SozEinstKenn.CodeList == "7,8"; }, "SozEinstKenn;00017,8"},
    };
    const Catalogue cat = fullCatalogue();
    for (const Case& c : cases) {
        TProjectSettings p(cat, "/opt/tavolex", "/data");
        p.readSettingsLine(c.line);
        EXPECT_TRUE(c.holds(p)) << c.line;
        const std::string line = c.writtenBack;
        EXPECT_EQ(writtenLine(p, line.substr(0, line.find(';'))), line) << c.line;
    }
}

TEST(SettingsDefaults, OptionGroupsComeFromTheCatalogue) {
    const Catalogue cat = fullCatalogue();
    TProjectSettings p(cat, "/opt/tavolex", "/data");
    std::string s;
    p.SetEditorMargin(s);
    EXPECT_EQ(s, "0011000000000000");
    p.SetCurScrEinst(s);
    EXPECT_EQ(s, "01000000");
    p.SetSchnellEinst(s);
    EXPECT_EQ(s, "0001");
    p.SetPruef(s);
    EXPECT_EQ(s, "100000000000000");
    p.SetDetEinst(s);
    EXPECT_EQ(s, "011000");
    EXPECT_EQ((std::vector<int>{p.SystEinst, p.ZeiEinst, p.DeckEinst, p.GesDeckEinst}),
              (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(p.Diversa.DelimEinst, 1);
    EXPECT_EQ(p.Diversa.QualiEinst, 0);
    EXPECT_EQ(p.Diversa.ExportEncoding, 2);
    EXPECT_EQ(p.SozEinstSim, 0);
}

TEST(SettingsDefaults, WithoutACatalogueTheBuiltInDefaultsHold) {
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex/", "/srv/TavolexData");
    EXPECT_EQ(p.Diversa.Decimals, 8);
    EXPECT_EQ(p.Diversa.DelimEinst, 9);
    EXPECT_EQ(p.Diversa.QualiEinst, 0);
    EXPECT_EQ(p.Diversa.ExportEncoding, 2);
    EXPECT_EQ(p.DeckEinst, 6);
    EXPECT_EQ(p.GesDeckEinst, 1);
    EXPECT_EQ(p.SystEinst, 1);
    EXPECT_EQ(p.ZeiEinst, 1);
    EXPECT_EQ((std::vector<std::int32_t>{p.Diversa.GridColor, p.Diversa.FixedColor, p.Diversa.FocusColor,
                                         p.Diversa.MarkColor, p.Diversa.DetWeight, p.Diversa.CritWeight,
                                         p.Diversa.RandBreite}),
              (std::vector<std::int32_t>{-16777216, -16777200, 255, 16776960, 100, 100, 1}));
    EXPECT_EQ(p.ArtListName, "NoName.adb");
    EXPECT_EQ(p.Sprache, "Deutsch");
    EXPECT_EQ(p.TavPath, "TAV.EXE");
    EXPECT_EQ(p.Extern.Name, "/opt/tavolex/Rcode/Extern.tab");
    EXPECT_EQ(p.Extern.Dir, "/srv/TavolexData/Rdata/TavLink");
    EXPECT_EQ(p.Extern.Cmd, ".v()");
    EXPECT_EQ(fontToText(p.BildEinst.MainFont), "12 0 0 Calibri");
    EXPECT_EQ(fontToText(p.CluEinst.ItemFont), "12 0 0 Calibri");
    EXPECT_EQ(p.CluEinst.Decimals, 2);
    EXPECT_EQ(p.CluEinst.Bo, 1);
}

TEST(SettingsDefaults, WindowSizesFollowTheScreenScale) {
    // 1.125: 100 → 112.5 and 300 → 337.5 show the ties going to the even neighbour.
    TProjectSettings p(emptyCatalogue(), "/opt", "/data", 1.125);
    const RBildEinst& b = p.BildEinst;
    EXPECT_EQ(b.DimMain, (PixelRect{112, 112, 675, 562}));
    EXPECT_EQ(b.DimPen, (PixelRect{112, 112, 338, 225}));
    EXPECT_EQ(b.DimDb, (PixelRect{112, 112, 562, 450}));
    EXPECT_EQ(p.CluEinst.DimClu, b.DimMain);
    EXPECT_EQ(b.DimChk, (PixelPoint{112, 112}));
    EXPECT_EQ(b.DimCells, (PixelPoint{0, 0}));
    EXPECT_EQ((std::vector<std::int32_t>{b.G1HeightK, b.G1HeightA, b.G1Width, b.RadioWidth, b.CheckWidth}),
              (std::vector<std::int32_t>{225, 225, 675, 281, 281}));
    EXPECT_EQ((std::vector<std::int32_t>{b.LstG1, b.LstG2, b.LstG3, b.LstG11, b.LstG12}),
              (std::vector<std::int32_t>{30, 100, 50, 100, 100}));
}

TEST(SettingsDefaults, SetDefaultsResetsEveryFieldButTheRunState) {
    const Catalogue cat = fullCatalogue();
    TProjectSettings fresh(cat, "/opt/tavolex", "/data");
    TProjectSettings p(cat, "/opt/tavolex", "/data");
    fillEverything(p.record());
    p.InitialDir = "/home/anna/tables";
    p.Zusatzlist = "x;y";
    p.SetDefaults();
    EXPECT_EQ(p.InitialDir, "/home/anna/tables");
    EXPECT_EQ(p.Zusatzlist, "x;y");
    p.InitialDir.clear();
    p.Zusatzlist.clear();
    EXPECT_EQ(p.record(), fresh.record());
}

TEST(SettingsDefaults, GraphicsHelpers) {
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", "/data");
    const RMapEinst defaults = p.MapEinst;
    p.MapEinst.Vars2.PointSize = 99;
    p.MapEinst.VarsS.PointSize = 99;
    p.SetMapVarsDefaults('S');
    EXPECT_EQ(p.MapEinst.VarsS, defaults.VarsS);
    EXPECT_EQ(p.MapEinst.Vars2.PointSize, 99);
    p.SetMapVarsDefaults(' ');
    EXPECT_EQ(p.MapEinst, defaults);

    RVars a = defaults.Vars1, b = defaults.Vars1;
    a.TitleFont = fontFromText("20 1 0 Serif");
    a.LabelFont = fontFromText("7 0 0 Mono");
    a.PointSize = 3;
    TProjectSettings::CopyMapFonts(a, b);
    EXPECT_EQ(b.TitleFont, a.TitleFont);
    EXPECT_EQ(b.LabelFont, a.LabelFont);
    EXPECT_EQ(b.PointSize, defaults.Vars1.PointSize);
}

TEST(SettingsFont, TextToFont) {
    struct Case {
        const char* text;
        RFont font;
    };
    const Case cases[] = {
        {"12, 1, 0, Times New Roman", {12, 1, 0, "Times New Roman"}},
        {"abc", {10, 0, 0, "Arial"}},
        {"12   3  1   Courier  New ", {12, 3, 1, "Courier  New "}},
        {"x 2 y Sans", {10, 2, 0, "Sans"}},
        {"9 255 0 Wide", {9, 15, 0, "Wide"}},  // only the four style bits
        {"9 -1 0 Wide", {9, 15, 0, "Wide"}},
        {"14 0", {14, 0, 0, "Arial"}},
        {"", {10, 0, 0, "Arial"}},
    };
    for (const Case& c : cases) EXPECT_EQ(fontFromText(c.text), c.font) << c.text;
    EXPECT_EQ(fontToText(RFont{12, 0, 0, "Arial"}), "12 0 0 Arial");
    EXPECT_EQ(fontToText(RFont{-3, 9, 2, "Liberation Sans"}), "-3 9 2 Liberation Sans");
}

TEST(SettingsHistory, EnteringAFile) {
    TProjectSettings p(emptyCatalogue(), "/opt", "/data");
    for (int i = 1; i <= 65; ++i) p.enterFileHistory("/t/" + std::to_string(i) + ".tab");
    EXPECT_EQ(p.FileHistory[0], "/t/65.tab");
    EXPECT_EQ(p.FileHistory[64], "/t/1.tab");

    // A listed file moves to the front; nothing is lost.
    p.enterFileHistory("/t/30.tab");
    EXPECT_EQ(p.FileHistory[0], "/t/30.tab");
    EXPECT_EQ(p.FileHistory[1], "/t/65.tab");
    EXPECT_EQ(p.FileHistory[35], "/t/31.tab");
    EXPECT_EQ(p.FileHistory[36], "/t/29.tab");
    EXPECT_EQ(p.FileHistory[64], "/t/1.tab");

    // A 66th distinct file drops the oldest.
    p.enterFileHistory("/t/new.tab");
    EXPECT_EQ(p.FileHistory[0], "/t/new.tab");
    EXPECT_EQ(p.FileHistory[64], "/t/2.tab");

    const auto before = p.FileHistory;
    p.enterFileHistory("");
    p.enterFileHistory("NoName.tab");
    EXPECT_EQ(p.FileHistory, before);
}

TEST(SettingsPaths, DataFolder) {
    struct Case {
        const char* pub;
        const char* xdg;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/srv/shared", "/home/a/.data", "/home/a", "/srv/shared/TavolexData"},
        {"/srv/shared/", "", "/home/a", "/srv/shared/TavolexData"},
        {"", "/home/a/.data", "/home/a", "/home/a/.data/TavolexData"},
        {"", "relative", "/home/a", "/home/a/.local/share/TavolexData"},
        {"", "", "/home/a", "/home/a/.local/share/TavolexData"},
    };
    for (const Case& c : cases) EXPECT_EQ(dataFolderFor(c.pub, c.xdg, c.home), c.folder) << c.pub << c.xdg;
}

TEST(SettingsPaths, ProgramAndEnvironmentFiles) {
    TempDir dir;
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", dir.path());
    EXPECT_EQ(p.installationFilePath(), dir.path() + "/Tavolex.$in");
    EXPECT_EQ(p.defaultEnvironmentPath(), dir.path() + "/Standard.$VP");
    EXPECT_EQ(p.exchangeFolder(), dir.path() + "/Rdata/TavLink");
    EXPECT_EQ(p.defaultMapPath(), "/opt/tavolex/Daten/ws500.map");
    EXPECT_EQ(p.speciesListPath(), "/opt/tavolex/Daten/ArtList.txt");
    EXPECT_EQ(p.indicatorValuesPath(), "/opt/tavolex/Daten/ZeiLan.txt");
    EXPECT_EQ(p.externDefinitionsPath(), "/opt/tavolex/Rcode/Extern.tab");
    EXPECT_EQ(p.cataloguePath(), "/opt/tavolex/tavolex.$ms");
    // No settings file: work files go to the data folder, never to whatever the current folder is.
    EXPECT_EQ(p.workFilePath(WorkFile::Tp1), dir.path() + "/Tavolex1.$tp");

    ASSERT_TRUE(p.switchEnvironment(dir.file("my.env.$VP")));
    EXPECT_EQ(p.workFolder(), dir.path());
    EXPECT_EQ(p.templateFilePath(), dir.path() + "/my.env.$ta");
    EXPECT_EQ(p.mapCompanionPath(".$mp"), dir.path() + "/my.env.$mp");
    EXPECT_EQ(p.workFilePath(WorkFile::Tt), dir.path() + "/Tavolext.$tt");
    EXPECT_EQ(p.workFilePath(WorkFile::Rt), dir.path() + "/Tavolex.$rt");
    // The run's work files, which the table layer uses, are these once the settings place them.
    p.placeWorkFiles();
    EXPECT_EQ(workFile("1.$tp"), dir.path() + "/Tavolex1.$tp");
    setWorkPlace({}, {});
    EXPECT_EQ(replaceExtension("/a.b/c", ".$ta"), "/a.b/c.$ta");
}

TEST(SettingsPaths, WorkFilesAndTheirCompanionsAreDeleted) {
    TempDir dir;
    TProjectSettings p(emptyCatalogue(), "/opt/tavolex", dir.path());
    ASSERT_TRUE(p.switchEnvironment(dir.file("env.$VP")));
    const std::vector<std::string> ours = {"Tavolex1.$tp", "Tavolex4.PX", "Tavolex2.YG0", "Tavolext.$tt",
                                           "Tavolext.VAL", "Tavolex.$rt", "Tavolex.$bt",  "Tavolex.$cl"};
    const std::vector<std::string> others = {"anna1.$tp", "Tavolex.PX", "Tavolex5.$tp", "env.$VP"};
    for (const auto& n : ours) writeBytes(dir.file(n), "x");
    for (const auto& n : others) writeBytes(dir.file(n), "x");
    EXPECT_TRUE(p.deleteWorkFiles());
    for (const auto& n : ours) EXPECT_FALSE(std::filesystem::exists(dir.file(n))) << n;
    for (const auto& n : others) EXPECT_TRUE(std::filesystem::exists(dir.file(n))) << n;
}

// An installation in a temporary data folder; questions are answered by the test.
struct Installation {
    TempDir dir;
    std::string data = dir.path() + "/TavolexData";
    std::string ini = data + "/Tavolex.$in";
    Catalogue cat = fullCatalogue();
    int nameQuestions = 0;
    std::vector<std::string> enterQuestions;

    TProjectSettings settings(std::optional<std::string> name = std::nullopt, bool enter = false) {
        TProjectSettings p(cat, "/opt/tavolex", data);
        p.setUserQuestions(UserQuestions{[this, name] {
                                             ++nameQuestions;
                                             return name;
                                         },
                                         [this, enter](const std::string& user) {
                                             enterQuestions.push_back(user);
                                             return enter;
                                         }});
        return p;
    }
    void writeIni(const std::vector<std::string>& lines) {
        std::filesystem::create_directories(data);
        writeBytes(ini, crlf(lines));
    }
};

TEST(SettingsInstallation, FirstStartCreatesTheInstallationFile) {
    Installation in;
    TProjectSettings p = in.settings();
    const Result<bool> read = p.ReadIniSettings();
    EXPECT_FALSE(read.value());
    const std::vector<std::string> messages = messageTexts(read.status());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(p.installationMode(), kSingleUser);
    EXPECT_EQ(p.userName(), "Tavolex");
    EXPECT_TRUE(isNoSettingsFile(p.settingsPath()));
    EXPECT_EQ(readBytes(in.ini), "Einzelplatz\r\nNoName.$vp\r\n");

    // Nothing to save without a settings file; the installation file stays.
    EXPECT_TRUE(p.WriteIniSettings());
    EXPECT_EQ(readBytes(in.ini), "Einzelplatz\r\nNoName.$vp\r\n");
}

TEST(SettingsInstallation, SingleUserReadsAndWritesItsSettings) {
    Installation in;
    const std::string env = in.dir.path() + "/my envs/\u00e9t\u00e9.$VP";
    std::filesystem::create_directories(in.dir.path() + "/my envs");
    writeBytes(env, crlf({"Decimals;5", "GridColor;oops",
                          "Sprache;Fran\xe7"
                          "ais"}));
    in.writeIni({"Einzelplatz", env});
    TProjectSettings p = in.settings();
    const Result<bool> read = p.ReadIniSettings();
    ASSERT_TRUE(read.value());
    const std::vector<std::string> messages = messageTexts(read.status());
    EXPECT_EQ(p.settingsPath(), env);
    EXPECT_EQ(p.workFolder(), in.dir.path() + "/my envs");
    EXPECT_EQ(p.InitialDir, p.workFolder());
    EXPECT_EQ(p.Diversa.Decimals, 5);
    EXPECT_EQ(p.Sprache, "Fran\u00e7ais");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Zeile 2: 'oops'"), std::string::npos);

    // The run's changes go to the settings file; the installation file keeps naming it.
    p.Diversa.Decimals = 3;
    EXPECT_TRUE(p.WriteIniSettings());
    TProjectSettings q = in.settings();
    ASSERT_TRUE(q.ReadIniSettings().value());
    EXPECT_EQ(q.Diversa.Decimals, 3);
    EXPECT_EQ(q.Diversa.GridColor, -16777216);
    EXPECT_EQ(readBytes(in.ini), crlf({"Einzelplatz", utf8ToCp1252(env)}));
}

TEST(SettingsInstallation, AMissingSettingsFileMeansDefaults) {
    Installation in;
    in.writeIni({"Einzelplatz", in.dir.path() + "/gone.$VP"});
    TProjectSettings p = in.settings();
    EXPECT_FALSE(p.ReadIniSettings().value());
    EXPECT_TRUE(isNoSettingsFile(p.settingsPath()));
    EXPECT_EQ(p.workFolder(), "");
    EXPECT_EQ(p.Diversa.Decimals, 8);
}

// A settings file that cannot be read in this run (missing, or a folder in its place) gives the defaults
// and saves nothing, and the installation file keeps naming it for the next run.
TEST(SettingsInstallation, AnUnavailableSettingsFileKeepsItsPlace) {
    struct Case {
        const char* user;  // empty: single-user
        bool folder;       // a folder where the file should be, else nothing
    };
    const Case cases[] = {{"", false}, {"", true}, {"ben", false}, {"ben", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + (c.folder ? " folder" : " missing"));
        Installation in;
        const std::string env = in.dir.file("Env/ben.$VP");
        if (c.folder) std::filesystem::create_directories(env);
        const std::vector<std::string> ini =
            *c.user ? std::vector<std::string>{"Mehrplatz", "anna /Env/anna.$VP", "ben " + env, "carl /c.$VP"}
                    : std::vector<std::string>{"Einzelplatz", env};
        in.writeIni(ini);
        TProjectSettings p = in.settings(c.user);
        EXPECT_FALSE(p.ReadIniSettings().value());
        EXPECT_TRUE(isNoSettingsFile(p.settingsPath()));
        EXPECT_TRUE(p.WriteIniSettings());
        EXPECT_EQ(readBytes(in.ini), crlf(ini));
        EXPECT_EQ(std::filesystem::exists(env), c.folder);

        // An environment chosen in the run replaces it.
        const std::string other = in.dir.file("other.$VP");
        ASSERT_TRUE(p.switchEnvironment(other));
        EXPECT_NE(readBytes(in.ini).find(other), std::string::npos);
        EXPECT_EQ(readBytes(in.ini).find(env), std::string::npos);
    }
}

TEST(SettingsInstallation, MultiUserFindsItsLineAndRewritesOnlyThat) {
    Installation in;
    const std::string benEnv = in.dir.path() + "/Env/ben with blanks.$VP";
    std::filesystem::create_directories(in.dir.path() + "/Env");
    writeBytes(benEnv, "Decimals;6\r\n");
    in.writeIni({"Mehrplatz", "anna /Env/anna.$VP", "", "  ben   " + benEnv + "  ", "carl /Env/carl.$VP"});

    TProjectSettings p = in.settings("ben");
    ASSERT_TRUE(p.ReadIniSettings().value());
    EXPECT_EQ(in.nameQuestions, 1);
    EXPECT_EQ(p.installationMode(), kMultiUser);
    EXPECT_EQ(p.userName(), "ben");
    EXPECT_EQ(p.settingsPath(), benEnv);
    EXPECT_EQ(p.Diversa.Decimals, 6);
    EXPECT_EQ(p.workFilePath(WorkFile::Tp2), in.dir.path() + "/Env/ben2.$tp");

    const std::string other = in.dir.path() + "/Env/other.$VP";
    ASSERT_TRUE(p.switchEnvironment(other));
    EXPECT_EQ(readBytes(other), "");  // created empty
    EXPECT_EQ(readBytes(in.ini),
              crlf({"Mehrplatz", "anna /Env/anna.$VP", "", "ben " + other, "carl /Env/carl.$VP"}));

    // A user name known in the run is not asked again.
    TProjectSettings q = in.settings();
    ASSERT_TRUE(q.setUserName("ben"));
    EXPECT_TRUE(q.ReadIniSettings().value());
    EXPECT_EQ(q.settingsPath(), other);
    EXPECT_EQ(in.nameQuestions, 1);
}

TEST(SettingsInstallation, NewUserIsEnteredOnlyWhenAgreed) {
    for (bool agree : {true, false}) {
        Installation in;
        in.writeIni({"Mehrplatz", "anna /Env/anna.$VP"});
        TProjectSettings p = in.settings("dora", agree);
        EXPECT_FALSE(p.ReadIniSettings().value());
        EXPECT_EQ(in.enterQuestions, std::vector<std::string>{"dora"});
        EXPECT_EQ(p.installationMode(), agree ? kMultiUser : kGuest);
        EXPECT_TRUE(isNoSettingsFile(p.settingsPath()));
        EXPECT_TRUE(p.WriteIniSettings());
        EXPECT_EQ(readBytes(in.ini), agree ? crlf({"Mehrplatz", "anna /Env/anna.$VP", "dora NoName.$vp"})
                                           : crlf({"Mehrplatz", "anna /Env/anna.$VP"}));
    }
}

TEST(SettingsInstallation, EmptyAndCancelledUserNames) {
    Installation in;
    in.writeIni({"Mehrplatz", "NoName /x.$VP"});
    TProjectSettings p = in.settings("");
    p.ReadIniSettings();
    EXPECT_EQ(p.userName(), "NoName");
    EXPECT_FALSE(p.quitRequested());

    TProjectSettings q = in.settings(std::nullopt);
    EXPECT_FALSE(q.ReadIniSettings().value());
    EXPECT_TRUE(q.quitRequested());
}

TEST(SettingsInstallation, UserNamesThatWouldLeaveTheWorkFolderAreRefused) {
    const char* names[] = {"../anna", "a/b", "a\\b", "..", "an\x01na", "anna maria", "x\ty"};
    for (const char* name : names) {
        Installation in;
        const std::vector<std::string> ini = {"Mehrplatz", "anna /Env/anna.$VP"};
        in.writeIni(ini);
        TProjectSettings p = in.settings(name);
        const Result<bool> read = p.ReadIniSettings();
        EXPECT_FALSE(read.value()) << name;
        const std::vector<std::string> messages = messageTexts(read.status());
        EXPECT_EQ(p.installationMode(), kGuest) << name;
        EXPECT_TRUE(in.enterQuestions.empty()) << name;
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_NE(messages[0].find("als Gast"), std::string::npos) << messages[0];
        EXPECT_EQ(p.workFilePath(WorkFile::Tp1), in.data + "/Tavolex1.$tp") << name;
        EXPECT_TRUE(p.WriteIniSettings()) << name;
        EXPECT_EQ(readBytes(in.ini), crlf(ini)) << name;

        TProjectSettings q = in.settings();
        EXPECT_FALSE(q.setUserName(name)) << name;
    }
    EXPECT_TRUE(isAcceptableUserName("anna.b-2"));
}

TEST(SettingsInstallation, TheFirstCharacterDecidesTheMode) {
    struct Case {
        const char* first;
        bool found;  // whether the second line names the settings file
    };
    // An empty first line counts as single-user; any other letter means single-user without settings.
    const Case cases[] = {{"Einzelplatz", true}, {"", true}, {"Xyz", false}, {"e", false}};
    for (const Case& c : cases) {
        Installation in;
        const std::string env = in.dir.file("env.$VP");
        writeBytes(env, "Decimals;4\r\n");
        in.writeIni({c.first, env});
        TProjectSettings p = in.settings("anna");
        EXPECT_EQ(p.ReadIniSettings().value(), c.found) << c.first;
        EXPECT_EQ(p.Diversa.Decimals, c.found ? 4 : 8) << c.first;
        EXPECT_EQ(p.installationMode(), kSingleUser) << c.first;
        EXPECT_EQ(p.userName(), "Tavolex") << c.first;
        EXPECT_EQ(in.nameQuestions, 0) << c.first;
    }
}

TEST(SettingsInstallation, UnreadableFilesAreNeverOverwritten) {
    // A folder in place of a file cannot be read, even by root.
    Installation in;
    const std::string env = in.dir.file("env.$VP");
    std::filesystem::create_directories(env);
    in.writeIni({"Einzelplatz", env});
    TProjectSettings p = in.settings();
    const Result<bool> read = p.ReadIniSettings();
    EXPECT_FALSE(read.value());
    const std::vector<std::string> messages = messageTexts(read.status());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(isNoSettingsFile(p.settingsPath()));
    EXPECT_TRUE(std::filesystem::is_directory(env));

    std::filesystem::remove(in.ini);
    std::filesystem::create_directories(in.ini);
    TProjectSettings q = in.settings();
    EXPECT_FALSE(q.ReadIniSettings().value());
    EXPECT_EQ(q.installationMode(), kGuest);
    EXPECT_TRUE(q.WriteIniSettings());
    EXPECT_TRUE(std::filesystem::is_directory(in.ini));
}

TEST(SettingsInstallation, TheSharedFileIsReplacedNotRewrittenInPlace) {
    Installation in;
    in.writeIni({"Mehrplatz", "anna /Env/anna.$VP"});
    // A second name for the same file shows an in-place rewrite: it would see the new content.
    const std::string link = in.dir.path() + "/old-link";
    ASSERT_EQ(::link(in.ini.c_str(), link.c_str()), 0);
    TProjectSettings p = in.settings("anna");
    p.ReadIniSettings();
    ASSERT_TRUE(p.switchEnvironment(in.dir.path() + "/anna2.$VP"));
    EXPECT_EQ(readBytes(link), crlf({"Mehrplatz", "anna /Env/anna.$VP"}));
    EXPECT_EQ(readBytes(in.ini), crlf({"Mehrplatz", "anna " + in.dir.path() + "/anna2.$VP"}));
}

TEST(SettingsRScript, PathsBecomeEscapedRStrings) {
    struct Case {
        const char* text;
        const char* literal;
    };
    const Case cases[] = {
        {"/home/anna/R", "\"/home/anna/R\""},
        {"C:\\R\\tav", "\"C:\\\\R\\\\tav\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\nb\x01", "\"a\\nb\\x01\""},
        {"\u00e4", "\"\u00e4\""},
    };
    for (const Case& c : cases) EXPECT_EQ(rStringLiteral(c.text), c.literal) << c.text;
}

TEST(SettingsRScript, FirstStartScriptFromTheTemplate) {
    TempDir dir;
    const std::string rcode = dir.path() + "/R \"code\"";
    std::filesystem::create_directories(rcode);
    writeBytes(
        rcode + "/tavFirst.R",
        "# Tavolex\nsourcedir <- \"C:/old\"  # set by Tavolex\n  workdir <- 'x'\nsource(file.path(sourcedir, "
        "\"a.R\"))\nprint(\"workdir <- \")\n");
    const std::string target = dir.file("tavFirst.R");
    ASSERT_TRUE(WriteRFirst(rcode + "/Extern.tab", "/srv/Tavolex\\Data/Rdata/TavLink", target));
    EXPECT_EQ(readBytes(target), crlf({"# Tavolex", "sourcedir <- \"" + dir.path() + "/R \\\"code\\\"\"",
                                       "workdir <- \"/srv/Tavolex\\\\Data/Rdata/TavLink\"",
                                       "source(file.path(sourcedir, \"a.R\"))",
                                       "workdir <- \"/srv/Tavolex\\\\Data/Rdata/TavLink\""}));

    const Status missing = WriteRFirst(dir.file("nowhere/Extern.tab"), "/w", target);
    EXPECT_FALSE(missing.ok());
    ASSERT_EQ(missing.messages().size(), 1u);
    EXPECT_NE(missing.messages()[0].plain().find("tavFirst.R"), std::string::npos);
}

}  // namespace
}  // namespace tav
