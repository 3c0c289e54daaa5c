// Checks of the shipped catalogue "tavolex.$ms": every line has its shape, every key the program asks for
// is there in the languages it must be, and every key the source code uses exists.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "env/catalogue.h"
#include "support/test_files.h"

namespace tav {
namespace {

// The keys the program asks the catalogue for: multilingual messages, language messages, dialogs.
const char* const kMultiMsg[] = {
    "AllDataOK",     "AllFound",       "ChainOutOfRange", "DoubleCombi",
    "DoubleValue",   "Environment",    "Exploring",       "File",
    "FindDups",      "IllegalCombi",   "Informations",    "InvalidCover",
    "InvalidNumber", "InvalidNumbers", "InvalidValue",    "MissingConditional",
    "MissingValue",  "NotEmpty",       "NotFound",        "NotFoundLC",
    "OutOfRange",    "Release",        "Species",         "Table",
    "Template",      "TextMissing",
};
const char* const kLangMsg[] = {
    "MsgAllRepl",       "MsgBeginCol",    "MsgBeginTab",     "MsgCurPen",       "MsgDelimitor",
    "MsgEmptyPr",       "MsgEmptyPref",   "MsgEndCol",       "MsgEndTab",       "MsgErrKey",
    "MsgErrSub",        "MsgFewRowsM",    "MsgFileChanged",  "MsgFileConflict", "MsgFindText",
    "MsgFoundThere",    "MsgFuncHeader",  "MsgGen",          "MsgHeadOrAb",     "MsgInsCol",
    "MsgInvalidNum",    "MsgInvalidNumF", "MsgJoinTabs",     "MsgJoinTabsCols", "MsgMakro",
    "MsgMakroE",        "MsgManyLayers",  "MsgMark2K",       "MsgMarkCat",      "MsgMarkR",
    "MsgNoAggr",        "MsgNoBlockDes",  "MsgNoCluster",    "MsgNoCritM",      "MsgNoData",
    "MsgNoDate",        "MsgNoFields",    "MsgNoNumCheck",   "MsgNoPicDb",      "MsgNoRedo",
    "MsgNoRoCo",        "MsgNoRowsM",     "MsgNoSpecListA",  "MsgNoTime",       "MsgNoUndo",
    "MsgNoWMean",       "MsgNumCol",      "MsgOneCol",       "MsgOnlyCols",     "MsgQualifier",
    "MsgSearchInFiles", "MsgSelProb",     "MsgSemicolaRepl", "MsgTabEdit",      "MsgUnRowH",
    "MsgUnSpec",        "MsgUnSpecNo",    "MsgUnSpecPos",    "MsgWNum",         "MsgWhichChar",
    "MsgWhichCharStr",  "MsgWrongBorder", "MsgWrongCluster", "MsgWrongLook",    "MsgWrongRes",
    "MsgWrongRowType",  "MsgWrongRowsM",  "MsgZusNurArt",    "MsgDataReady",    "MsgDataReadyR",
};
const char* const kDialogs[] = {
    "DlgABCdiversity",
    "DlgAggrSel",
    "DlgArtAnteil",
    "DlgArtVorGrp",
    "DlgArtVorGrpKum",
    "DlgArtVorKumuliert",
    "DlgArtVorkommen",
    "DlgBestKenn",
    "DlgCatOpts",
    "DlgCheck",
    "DlgClearP",
    "DlgCode",
    "DlgCode1",
    "DlgCode2",
    "DlgCode3",
    "DlgCodeEinst",
    "DlgCodeSpec",
    "DlgConvertBigTab",
    "DlgCursEinst",
    "DlgDatCmpSp",
    "DlgDatCmpZl",
    "DlgDeckEinst",
    "DlgDeckTrans",
    "DlgDelimEinst",
    "DlgDetEinst",
    "DlgDiversity",
    "DlgDummy",
    "DlgEditMarginA",
    "DlgEditMarginK",
    "DlgEditorExtended",
    "DlgEditorStandard",
    "DlgExportWeiteres",
    "DlgExtFunc",
    "DlgExtFuncCmds",
    "DlgExtOrd",
    "DlgFamTrivInfo",
    "DlgFreq",
    "DlgGesDeckEinst",
    "DlgGrundOp",
    "DlgGrundOpCat",
    "DlgIgnoreZusatz",
    "DlgImageHeader",
    "DlgImageHeaderCmds",
    "DlgImageHeaderEdit",
    "DlgImportMap",
    "DlgInhaltExport",
    "DlgInhaltUebersicht",
    "DlgJoinFile",
    "DlgManyEinst",
    "DlgMapAxFonts",
    "DlgMapAxes",
    "DlgMapBiplot",
    "DlgMapBiplotArrows",
    "DlgMapBiplotShow",
    "DlgMapDelim",
    "DlgMapFontTransfer",
    "DlgMapFontVars",
    "DlgMapLegendPos",
    "DlgMapLineplot",
    "DlgMapLines",
    "DlgMapOffsets",
    "DlgMapPaletteBo",
    "DlgMapPaletteBoS",
    "DlgMapPaletteBoS1",
    "DlgMapPaletteColor",
    "DlgMapPaletteLineBo1",
    "DlgMapPaletteLineBo2",
    "DlgMapPaletteLineSty1",
    "DlgMapPaletteLineSty2",
    "DlgMapPaletteShape",
    "DlgMapPaletteShapeS",
    "DlgMapPaletteShapeS1",
    "DlgMapPlan",
    "DlgMapRaster",
    "DlgMapScalebar",
    "DlgMapTransfer",
    "DlgMapVars1",
    "DlgMapVars2",
    "DlgMapVars3",
    "DlgMapVarsB",
    "DlgMapVarsBasic",
    "DlgMapVarsCat",
    "DlgMapVarsNum",
    "DlgMapVarsS",
    "DlgMatClu",
    "DlgMatRef",
    "DlgMoving",
    "DlgNaOpts",
    "DlgNoProject",
    "DlgOpAnalyse",
    "DlgOpAnalyseCatK",
    "DlgOpAnalyseCatT",
    "DlgOpAnalyseCatW",
    "DlgOpCols",
    "DlgOpContingency",
    "DlgOpDatZeit",
    "DlgOpFields",
    "DlgOpFilterCat",
    "DlgOpFilterCols",
    "DlgOpFilterPairs",
    "DlgOpPairs",
    "DlgOpGrid",
    "DlgOpGridBig",
    "DlgOpKennArt",
    "DlgOpKennArtDeck",
    "DlgOpKennArtFreq",
    "DlgOpKennArtMain",
    "DlgOpKennArtZus",
    "DlgOpKennInd",
    "DlgOpKennTab",
    "DlgOpKennTest",
    "DlgOpRowsPairN1",
    "DlgOpRowsPaired",
    "DlgOpScale",
    "DlgOpSpatial",
    "DlgOpSummary",
    "DlgOverlap",
    "DlgPA",
    "DlgPalette",
    "DlgPrfArt",
    "DlgPrfSet",
    "DlgPrimSys",
    "DlgPutArten",
    "DlgQuantile",
    "DlgQuantileCat",
    "DlgQuantileZW",
    "DlgRandBreite",
    "DlgReadValues",
    "DlgReadValuesCat",
    "DlgRmZusatz",
    "DlgScale",
    "DlgScaleZW",
    "DlgSchirmEinst",
    "DlgSchnellEinst",
    "DlgSelZusatz",
    "DlgSetMarginA",
    "DlgSetMarginK",
    "DlgShowP",
    "DlgSimDist",
    "DlgSimMain",
    "DlgSimNum",
    "DlgSimRefD",
    "DlgSimTav",
    "DlgSimTavData",
    "DlgSimTavR",
    "DlgSimTavZu",
    "DlgSortColA",
    "DlgSortColK",
    "DlgSortNum",
    "DlgSortRandA",
    "DlgSortRandK",
    "DlgSortRowA",
    "DlgSortRowK",
    "DlgSozEinstKenn",
    "DlgSplitAngZ",
    "DlgSprachEinst",
    "DlgStandardProj",
    "DlgStats",
    "DlgStatus",
    "DlgSystEinst",
    "DlgTestCat1",
    "DlgTestCat2",
    "DlgTestCor1",
    "DlgTestCor2",
    "DlgTestResampC1",
    "DlgTestResampC2",
    "DlgTestResampCat1",
    "DlgTestResampCat2",
    "DlgTestResampZ1",
    "DlgTestResampZ2",
    "DlgTestRow",
    "DlgTestZero1",
    "DlgTestZero2",
    "DlgToolSize",
    "DlgTurnover",
    "DlgUnklar",
    "DlgVar",
    "DlgTavParams",
    "DlgWeigh",
    "DlgZeiEinst",
    "DlgZeigCat",
    "DlgZeigOpts",
    "DlgZeigVar",
    "DlgZeigZus",
    "DlgZlTypA",
    "DlgZlTypK",
    "DlgZusCols",
    "DlgZusatz",
};

const std::string kCataloguePath = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";

std::vector<std::string> catalogueLines() {
    std::vector<std::string> lines;
    std::istringstream in(testing::readBytes(kCataloguePath));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> f;
    std::stringstream s(line);
    for (std::string x; std::getline(s, x, ';');) f.push_back(x);
    if (!line.empty() && line.back() == ';') f.emplace_back();
    return f;
}

Catalogue load(Language l) {
    Catalogue c;
    EXPECT_TRUE(c.LoadTexts(kCataloguePath));
    c.setLanguage(l);
    return c;
}

TEST(CatalogueFile, EveryLineHasItsShape) {
    const auto lines = catalogueLines();
    ASSERT_GT(lines.size(), 1000u);
    std::set<std::pair<std::string, std::string>> seen;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::string where = "line " + std::to_string(n + 1) + ": " + line.substr(0, 80);
        ASSERT_FALSE(line.empty()) << where;
        const auto f = fields(line);
        ASSERT_GE(f.size(), 3u) << where;
        EXPECT_FALSE(f[1].empty()) << where;
        EXPECT_TRUE(seen.insert({f[0], f[1]}).second) << "duplicate " << where;
        if (f[0] == "Msg" || f[0] == "Mnu" || f[0] == "Hint") {
            EXPECT_EQ(f.size(), 7u) << where;
            EXPECT_FALSE(f[2].empty()) << where;
            if (f.size() == 7) {
                EXPECT_FALSE(f[6].empty()) << "no English " << where;
            }
            if (f[0] != "Msg") {
                EXPECT_TRUE(std::regex_match(f[1], std::regex("[0-9]{9}"))) << where;
            }
        } else {
            ASSERT_TRUE(f[0] == "D" || f[0] == "F" || f[0] == "I" || f[0] == "L" || f[0] == "E") << where;
            const bool msg = f[1].rfind("Msg", 0) == 0, dlg = f[1].rfind("Dlg", 0) == 0;
            EXPECT_TRUE(msg || dlg) << where;
            if (msg) {
                EXPECT_EQ(f.size(), 3u) << where;
            }
        }
    }
}

TEST(CatalogueFile, EveryKeyInTheLanguagesItNeeds) {
    const Catalogue d = load(Language::D), e = load(Language::E);
    for (const char* key : kMultiMsg) {
        for (int l = 0; l < 5; ++l) {
            const std::string text = load(static_cast<Language>(l)).GetMsg(key);
            EXPECT_EQ(text.find(std::string(key) + " - "), std::string::npos) << key << " in language " << l;
        }
    }
    const auto germanMsgs = d.keys("D"), englishMsgs = d.keys("E");
    const std::set<std::string> german(germanMsgs.begin(), germanMsgs.end());
    const std::set<std::string> english(englishMsgs.begin(), englishMsgs.end());
    for (const char* key : kLangMsg) {
        EXPECT_TRUE(german.count(key)) << key << " has no German text";
        EXPECT_TRUE(english.count(key)) << key << " has no English text";
    }
    for (const char* name : kDialogs) {
        EXPECT_TRUE(german.count(name)) << name << " has no German definition";
        EXPECT_TRUE(english.count(name)) << name << " has no English definition";
        if (german.count(name) && english.count(name)) {
            EXPECT_EQ(d.GetDlgDef(name).itemCount(), e.GetDlgDef(name).itemCount()) << name;
        }
    }
    for (Language l : {Language::F, Language::I, Language::L})
        EXPECT_NE(load(l).GetDlgDef("DlgNoSuchDialog").caption(), "")
            << "no DlgDummy in language " << static_cast<int>(l);
}

TEST(CatalogueFile, EveryKeyTheSourceUsesExists) {
    const Catalogue d = load(Language::D);
    const auto germanKeys = d.keys("D");
    const std::set<std::string> german(germanKeys.begin(), germanKeys.end());
    const std::regex langKey("\"((Msg|Dlg)[A-Z][A-Za-z0-9]*)\"");
    const std::regex multiKey("GetMsg\\(\"([A-Za-z0-9]+)\"\\)");
    std::size_t uses = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(TAVOLEX_SOURCE) + "/src")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        const std::string text = testing::readBytes(entry.path().string());
        for (std::sregex_iterator it(text.begin(), text.end(), langKey), end; it != end; ++it, ++uses)
            EXPECT_TRUE(german.count((*it)[1])) << (*it)[1] << " used in " << entry.path().filename();
        for (std::sregex_iterator it(text.begin(), text.end(), multiKey), end; it != end; ++it, ++uses)
            EXPECT_EQ(d.GetMsg((*it)[1].str()).find(" - "), std::string::npos)
                << (*it)[1] << " used in " << entry.path().filename();
    }
    EXPECT_GT(uses, 0u);
}

}  // namespace
}  // namespace tav
