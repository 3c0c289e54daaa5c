// Defaults of the work environment. Window sizes are thousandths of the screen width, so a new
// environment looks alike on every screen.

#include <cstdint>

#include "env/project_settings.h"

namespace tav {

namespace {

constexpr std::int32_t rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

RFont font(std::int32_t size, std::int32_t style = 0) {
    return RFont{size, style, 0, "Calibri"};
}

// The colours a graphics variable takes class by class, distinct enough to tell apart on a map.
constexpr std::int32_t kPalette[32] = {
    rgb(0, 0, 0),       rgb(255, 0, 0),     rgb(0, 0, 255),    rgb(0, 128, 0),    rgb(255, 165, 0),
    rgb(128, 0, 128),   rgb(0, 206, 209),   rgb(139, 69, 19),  rgb(255, 0, 255),  rgb(128, 128, 0),
    rgb(0, 255, 0),     rgb(0, 0, 128),     rgb(128, 0, 0),    rgb(0, 128, 128),  rgb(128, 128, 128),
    rgb(255, 215, 0),   rgb(255, 105, 180), rgb(70, 130, 180), rgb(154, 205, 50), rgb(210, 105, 30),
    rgb(106, 90, 205),  rgb(32, 178, 170),  rgb(220, 20, 60),  rgb(85, 107, 47),  rgb(255, 127, 80),
    rgb(72, 61, 139),   rgb(189, 183, 107), rgb(199, 21, 133), rgb(0, 191, 255),  rgb(160, 82, 45),
    rgb(192, 192, 192), rgb(47, 79, 79)};

void resetVars(RVars& v) {
    v = RVars{};
    v.PointSize = 8;
    v.PointBo = 1;
    v.PointDens = 100;
    v.PointVarCol = 1;
    v.PointVarSiz = 1;
    v.ItM = {5, 5, 5};
    v.Dec = {2, 2, 2};
    v.LegendSize = 10;
    v.LegendDist = 10;
    v.TitleDist = 10;
    v.ItemDist = 5;
    for (int i = 0; i < 32; ++i) v.ColorRank[i] = v.ColorR[i] = kPalette[i];
    for (int i = 0; i < 16; ++i) v.ShapeRank[i] = i;
    for (int i = 0; i < 12; ++i) v.WidthRank[i] = i + 1;
    TProjectSettings::SetMapFontDefaults(v);
    TProjectSettings::SetMapLineDefaults(v);
}

}  // namespace

void TProjectSettings::SetDefaults() {
    workFolder_ =
        settingsPath_.empty() || isNoSettingsFile(settingsPath_) ? std::string() : folderOf(settingsPath_);
    // The folder of the last file dialog and the species additions belong to the run, not to the
    // environment, so going back to the defaults keeps them.
    std::string initialDir = std::move(InitialDir);
    std::string zusatzlist = std::move(Zusatzlist);
    record() = RProjectSettings{};
    InitialDir = std::move(initialDir);
    Zusatzlist = std::move(zusatzlist);

    ArtListName = "NoName.adb";
    Sprache = "Deutsch";
    TavPath = "TAV.EXE";
    SetExternDefaults(Extern);
    setWindowDefaults();
    SetMainFontDefaults();
    SetCluDefaults();
    SetColorDefaults();
    Diversa.Decimals = 8;
    Diversa.DetMaxErr = 0;
    Diversa.DetMinMatch = 0;
    Diversa.DetWeight = 100;
    Diversa.CritWeight = 100;
    Diversa.Schnellsuche = 0;
    Diversa.RandBreite = 1;
    Diversa.UeberEingabe = 0;
    Diversa.Vorlage = 0;
    GetEditorMargin("");
    GetCurScrEinst("");
    GetSchnellEinst("");
    GetPruef("");
    GetSystEinst("");
    GetZeiEinst("");
    GetDeckEinst("");
    GetGesDeckEinst("");
    GetDelimEinst("");
    GetQualiEinst("");
    GetExportCodeEinst("");
    GetDetEinst("");
    GetSozEinstSim("");
    GetSozEinstKenn("");
    SetMapDefaults();
}

void TProjectSettings::SetExternDefaults(RExtern& R) const {
    R.Name = externDefinitionsPath();
    R.Dir = exchangeFolder();
    R.Cmd = ".v()";
}

void TProjectSettings::setWindowDefaults() {
    const double s = screenScale_;
    RBildEinst& b = BildEinst;
    b.DimMain = scaledRect(100, 500, 100, 600, s);
    b.DimLst = scaledRect(200, 500, 200, 600, s);
    b.DimLstG = scaledRect(200, 500, 200, 600, s);
    b.DimPaint = scaledRect(200, 500, 200, 600, s);
    b.DimPic = scaledRect(200, 500, 200, 600, s);
    b.DimLstD = scaledRect(200, 500, 200, 600, s);
    b.DimRich = scaledRect(200, 500, 200, 600, s);
    b.DimPen = scaledRect(100, 200, 100, 300, s);
    b.DimDb = scaledRect(100, 400, 100, 500, s);
    b.DimChk = PixelPoint{scaled(100, s), scaled(100, s)};
    b.DimCells = PixelPoint{0, 0};
    b.G1HeightK = scaled(200, s);
    b.G1HeightA = scaled(200, s);
    b.G1Width = scaled(600, s);
    b.LstG1 = 30;
    b.LstG2 = 100;
    b.LstG3 = 50;
    b.LstG11 = 100;
    b.LstG12 = 100;
    b.RadioWidth = scaled(250, s);
    b.CheckWidth = scaled(250, s);
    b.ToolSize = 0;
    b.ToolButtons.clear();
}

void TProjectSettings::SetMainFontDefaults() {
    BildEinst.MainFont = font(12);
    BildEinst.ListFont = font(12);
    BildEinst.MenuFont = font(12);
}

void TProjectSettings::SetColorDefaults() {
    // Values with 255 in the top byte name system colours: scroll bars and button shadows.
    Diversa.GridColor = -16777216;
    Diversa.FixedColor = -16777200;
    Diversa.FocusColor = rgb(255, 0, 0);
    Diversa.MarkColor = rgb(0, 255, 255);
}

void TProjectSettings::SetCluDefaults() {
    CluEinst.DimClu = scaledRect(100, 500, 100, 600, screenScale_);
    CluEinst.ItemFont = font(12);
    CluEinst.Decimals = 2;
    CluEinst.Bo = 1;
}

void TProjectSettings::SetMapDefaults() {
    RMapEinst& m = MapEinst;
    m.FillPlot = 0;
    m.RasterColor = 0;
    m.RasterIntens = 50;
    m.ScalebarFactor = 1;
    m.ScalebarWidth = 1;
    m.ScalebarColor = 0;
    m.ArcWidth = 1;
    m.ArcColor = 0;
    m.PlanWidth = 1;
    m.PlanColor = 0;
    m.MapLabel = 0;
    m.MapLabRef = 0;
    m.MapCurPos = 0;
    m.MapShowLegends = 1;
    m.MapFore = 0;
    m.LinkXYscales = 0;
    m.ScalebarSize = 0;
    m.Delim = 0;
    m.ScalebarFont = font(10);
    m.ScalebarUnit = "km";
    m.RasterName.clear();
    m.Biplot = RBiplot{};
    m.Biplot.LabelsA = 1;
    m.Biplot.LabelsC = 1;
    m.Biplot.Stretch = 1;
    m.Biplot.Tip = 1;
    m.Biplot.ColorA = rgb(255, 0, 0);
    m.Biplot.ColorC = rgb(0, 0, 255);
    m.Biplot.Bo = 1;
    m.Biplot.FontA = font(10);
    m.Biplot.FontC = font(10);
    SetMapVarsDefaults('*');
    SetMapCoordDefaults();
    SetMapOffsDefaults();
}

void TProjectSettings::SetMapVarsDefaults(char OC) {
    RMapEinst& m = MapEinst;
    switch (OC) {
        case '1':
            resetVars(m.Vars1);
            break;
        case '2':
            resetVars(m.Vars2);
            break;
        case '3':
            resetVars(m.Vars3);
            break;
        case 'B':
            resetVars(m.VarsB);
            break;
        case 'S':
            resetVars(m.VarsS);
            break;
        default:
            for (RVars* v : {&m.Vars1, &m.Vars2, &m.Vars3, &m.VarsB, &m.VarsS}) resetVars(*v);
    }
}

void TProjectSettings::SetMapCoordDefaults() {
    RCoord& c = MapEinst.Coord;
    c = RCoord{};  // scales 0 … 0: taken from the data
    c.DecX = 2;
    c.DecY = 2;
    c.MarkX = 5;
    c.MarkY = 5;
    c.GridSty = 2;
    c.GridBo = 1;
    c.GridColor = rgb(192, 192, 192);
    c.CoordBoX = 1;
    c.CoordBoY = 1;
    c.CoordFont = font(10);
    c.ScaleFontX = font(10);
    c.ScaleFontY = font(10);
}

void TProjectSettings::SetMapOffsDefaults() {
    ROffsets& o = MapEinst.Offsets;
    o = ROffsets{};
    o.Top = 50;
    o.Bottom = 50;
    o.Left = 50;
    o.Right = 50;
}

void TProjectSettings::SetMapFontDefaults(RVars& Vars) {
    Vars.TitleFont = font(12, kFontBold);
    Vars.LegendFont = font(10);
    Vars.ValueFont = font(8);
    Vars.LabelFont = font(8);
}

void TProjectSettings::SetMapLineDefaults(RVars& Vars) {
    Vars.LineSty = 0;
    Vars.LineBo = 1;
    Vars.LineArrow = 0;
    Vars.LineArrowShorten = 0;
    Vars.LineArrowShortenBy = 0;
    Vars.LineCat = 0;
    Vars.LineV = 0;
    Vars.LineD = 0;
    Vars.LineSort = 0;
    Vars.LineAssign = 0;
    Vars.LineLegend = 1;
    for (int i = 0; i < 12; ++i) {
        Vars.LineStyRank[i] = i % 5;
        Vars.LineBoRank[i] = i + 1;
    }
}

void TProjectSettings::CopyMapFonts(const RVars& VarsA, RVars& varsB) {
    varsB.TitleFont = VarsA.TitleFont;
    varsB.LegendFont = VarsA.LegendFont;
    varsB.ValueFont = VarsA.ValueFont;
    varsB.LabelFont = VarsA.LabelFont;
}

}  // namespace tav
