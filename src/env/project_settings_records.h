#pragma once
// The records of a work environment ("Arbeitsumgebung"): everything the program needs besides the open
// table. Plain structs; TProjectSettings (project_settings.h) reads, writes and defaults them, and every
// other part of the program reads the fields directly.

#include <array>
#include <cstdint>
#include <string>

namespace tav {

// Style bits of RFont.
inline constexpr std::int32_t kFontBold = 1;
inline constexpr std::int32_t kFontItalic = 2;
inline constexpr std::int32_t kFontUnderline = 4;
inline constexpr std::int32_t kFontStrikeOut = 8;

struct RFont {
    std::int32_t size = 0;  // points
    std::int32_t style = 0;
    std::int32_t charset = 0;
    std::string name;
    friend bool operator==(const RFont&, const RFont&) = default;
};

// Window rectangles and points in screen pixels.
struct PixelRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The external statistics environment.
struct RExtern {
    std::string Name;  // definitions file of the external functions
    std::string Dir;   // exchange folder
    std::string Cmd;   // command prefix
    friend bool operator==(const RExtern&, const RExtern&) = default;
};

inline constexpr int kFileHistorySize = 65;

struct RBildEinst {
    PixelRect DimMain, DimLst, DimLstG, DimPaint, DimPic, DimLstD, DimRich, DimPen, DimDb;
    PixelPoint DimChk, DimCells;
    std::int32_t G1HeightK = 0, G1HeightA = 0, G1Width = 0;
    std::int32_t LstG1 = 0, LstG2 = 0, LstG3 = 0, LstG11 = 0, LstG12 = 0;
    std::int32_t RadioWidth = 0, CheckWidth = 0, ToolSize = 0;
    std::string ToolButtons;
    RFont MainFont, ListFont, MenuFont;
    friend bool operator==(const RBildEinst&, const RBildEinst&) = default;
};

struct RCluEinst {
    PixelRect DimClu;
    RFont ItemFont;
    std::int32_t Decimals = 0;
    std::int32_t Bo = 0;
    friend bool operator==(const RCluEinst&, const RCluEinst&) = default;
};

struct REditorMargin {
    bool ZlNr = false, SpNr = false, ZlTypK = false, ZlTypA = false, ZahlFreq = false, ZaFrMark = false;
    bool Stet = false, StetMark = false, Deck = false, DeckMark = false, Rem = false, Mark = false;
    bool Nr = false, Check = false, Grp = false, Scores = false;
    friend bool operator==(const REditorMargin&, const REditorMargin&) = default;
};

struct RCurScrEinst {
    bool AutoZlWechsel = false, CR = false, pen = false, Warn = false;
    bool FocB = false, Copy = false, ToolOff = false, Fix = false;
    friend bool operator==(const RCurScrEinst&, const RCurScrEinst&) = default;
};

struct RSchnellEinst {
    bool Kopf = false, Ang = false, Art2 = false, Mark = false;
    friend bool operator==(const RSchnellEinst&, const RSchnellEinst&) = default;
};

struct RPruef {
    bool AngSofort = false, KopfSofort = false, ArtSofort = false, DeckSofort = false, Streng = false;
    bool TypAuto = false, RandAuto = false, OhneAutor = false, Layers = false, Rem = false;
    bool ValidFilter = false, AccFilter = false, ArtGross = false, NaAccept = false, PrimAccept = false;
    friend bool operator==(const RPruef&, const RPruef&) = default;
};

struct RDetEinst {
    bool Det = false, CritS = false, CritD = false, NurA = false, NurD = false, Auto = false;
    friend bool operator==(const RDetEinst&, const RDetEinst&) = default;
};

struct RSozEinstKenn {
    bool Up = false, Dn = false, Red = false, Codes = false;
    std::string CodeList;
    friend bool operator==(const RSozEinstKenn&, const RSozEinstKenn&) = default;
};

// One variable of the graphics window (points, legends, lines). Indices 0 … 2 of the arrays are the
// keys ending in 1 … 3.
struct RVars {
    std::int32_t PointSize = 0, PointShape = 0, PointBo = 0, PointPat = 0, PointDens = 0, PointTrans = 0;
    std::int32_t PointMode = 0, PointColor = 0;
    std::array<std::int32_t, 3> Point{};
    double PointVarCol = 0, PointVarSiz = 0;
    std::array<std::int32_t, 3> ItM{}, ItC{}, Dec{};
    std::array<std::int32_t, 3> PointCritM{}, PointCritC{};  // one digit each
    std::array<std::int32_t, 3> PointLab{};
    std::int32_t PointDevX = 0, PointDevY = 0;
    std::array<double, 3> PointMin{}, PointMax{};  // kept to thousandths in the file
    RFont TitleFont, LegendFont, ValueFont, LabelFont;
    std::int32_t TitleColor = 0, LegendColor = 0, LegendSize = 0, ValueColor = 0;
    std::int32_t LegendDist = 0, TitleDist = 0, ItemDist = 0, ItemOffs = 0;
    std::int32_t LineSty = 0, LineBo = 0, LineArrow = 0, LineArrowShorten = 0;
    double LineArrowShortenBy = 0;  // kept to thousandths in the file
    std::int32_t LineCat = 0, LineV = 0, LineD = 0, LineSort = 0, LineAssign = 0, LineLegend = 0;
    std::array<std::int32_t, 32> ColorRank{}, ColorR{};
    std::array<std::int32_t, 16> ShapeRank{};
    std::array<std::int32_t, 12> WidthRank{};
    std::array<std::int32_t, 12> LineStyRank{}, LineBoRank{};
    friend bool operator==(const RVars&, const RVars&) = default;
};

struct RBiplot {
    std::int32_t Show = 0, LabelsA = 0, LabelsC = 0;
    double Stretch = 0;
    std::int32_t Tip = 0, ColorA = 0, ColorC = 0, Sty = 0, Bo = 0;
    RFont FontA, FontC;
    friend bool operator==(const RBiplot&, const RBiplot&) = default;
};

struct RCoord {
    double ScaleX1 = 0, ScaleX2 = 0, ScaleY1 = 0, ScaleY2 = 0;  // kept to thousandths in the file
    std::int32_t DecX = 0, DecY = 0, AngleX = 0, MarkX = 0, MarkY = 0, ScaletransX = 0, ScaletransY = 0;
    std::int32_t GridX = 0, GridY = 0, GridSty = 0, GridBo = 0, GridColor = 0;
    std::int32_t CoordBoX = 0, CoordBoY = 0, CoordColor = 0;
    RFont CoordFont, ScaleFontX, ScaleFontY;
    std::string ScaleTextX, ScaleTextY, CoordTextX, CoordTextY;
    friend bool operator==(const RCoord&, const RCoord&) = default;
};

struct ROffsets {
    std::int32_t LegendPos = 0;
    std::int32_t Top = 0, Bottom = 0, Left = 0, Right = 0, LegendH = 0, LegendV = 0;
    std::int32_t CoordXH = 0, CoordXV = 0, CoordYH = 0, CoordYV = 0;
    std::int32_t ValueXH = 0, ValueXV = 0, ValueYH = 0, ValueYV = 0;
    std::int32_t LabelH = 0, LabelV = 0, ScaleBarH = 0, ScaleBarV = 0;
    friend bool operator==(const ROffsets&, const ROffsets&) = default;
};

// The graphics settings; they belong to the graphics window, which alone gives them meaning.
struct RMapEinst {
    std::int32_t FillPlot = 0, RasterColor = 0, RasterIntens = 0;
    std::int32_t ScalebarFactor = 0, ScalebarWidth = 0, ScalebarColor = 0;
    std::int32_t ArcWidth = 0, ArcColor = 0, PlanWidth = 0, PlanColor = 0;
    std::int32_t MapLabel = 0, MapLabRef = 0, MapCurPos = 0, MapShowLegends = 0, MapFore = 0;
    std::int32_t LinkXYscales = 0, ScalebarSize = 0, Delim = 0;
    RFont ScalebarFont;
    std::string ScalebarUnit, RasterName;
    RVars Vars1, Vars2, Vars3, VarsB, VarsS;
    RBiplot Biplot;
    RCoord Coord;
    ROffsets Offsets;
    friend bool operator==(const RMapEinst&, const RMapEinst&) = default;
};

struct RDiversa {
    std::int32_t GridColor = 0, FixedColor = 0, FocusColor = 0, MarkColor = 0;
    std::int32_t Decimals = 0;
    std::int32_t DelimEinst = 0;      // character code of the field delimiter
    std::int32_t QualiEinst = 0;      // character code of the text qualifier, 0 none
    std::int32_t ExportEncoding = 0;  // see tav::ExportEncoding
    std::int32_t DetMaxErr = 0, DetMinMatch = 0, DetWeight = 0, CritWeight = 0;
    std::int32_t Schnellsuche = 0, RandBreite = 0, UeberEingabe = 0, Vorlage = 0;
    friend bool operator==(const RDiversa&, const RDiversa&) = default;
};

struct RProjectSettings {
    std::string ArtListName, AngName, VorName, MakroName, DetName, PicName, SozName, DbName, MapName;
    std::string PlanName, OccName, DeckName, Sprache, TavPath;
    RExtern Extern;
    std::array<std::string, kFileHistorySize> FileHistory;
    std::string InitialDir;  // run time only, never in the file
    std::string Zusatzlist;  // run time only, never in the file
    RBildEinst BildEinst;
    RCluEinst CluEinst;
    REditorMargin EditorMargin;
    RCurScrEinst CurScrEinst;
    RSchnellEinst SchnellEinst;
    RPruef Pruef;
    std::uint8_t SystEinst = 0, ZeiEinst = 0, DeckEinst = 0, GesDeckEinst = 0;  // 1-based choices
    RDetEinst DetEinst;
    std::int32_t SozEinstSim = 0;
    RSozEinstKenn SozEinstKenn;
    RMapEinst MapEinst;
    RDiversa Diversa;
    friend bool operator==(const RProjectSettings&, const RProjectSettings&) = default;
};

}  // namespace tav
