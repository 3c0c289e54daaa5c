#include "env/catalogue.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

const char* kLines =
    "Msg;NotFound;Nicht gefunden;;;;Not found\n"
    "Msg;NotFoundLC;nicht gefunden;non trouvé;;;not found\n"
    "Msg;TextMissing;Text fehlt;Texte manquant;Testo mancante;Textus deest;Text missing\n"
    "msg;NotFound;kleingeschrieben;;;;lower case\n"
    "D;MsgX;first;second\n"
    "F;MsgY;français\n"
    "D;MsgY;deutsch\n"
    "D;DlgT;Titel;Gruppe;101;A;B;$R3 Wert\n"
    "D;DlgMany;T;G;;a;$R40 x\n"
    "D;DlgGap;T;G;;A;;C\n"
    "D;DlgSub;Zeile % von &;Gruppe;;Wert für %;$S&\n"
    "E;DlgSub;Row % of &;Group;;Value of %;$S&\n"
    "D;DlgBreak;Erste¦Zweite;G;;x\n"
    "D;DlgDummy;Dialog fehlt;;;OK\n"
    "Mnu;101030000;Öffnen;Ouvrir;;;Open\n"
    "Hint;101030000;Tabelle öffnen;;;;Open a table\n";

Catalogue load(Language l = Language::D) {
    Catalogue c;
    c.loadFromText(kLines);
    c.setLanguage(l);
    return c;
}

TEST(Catalogue, MessagesInEveryLanguageWithTheirFallbacks) {
    struct Case {
        Language lang;
        const char* key;
        std::string msg;
    };
    const Case cases[] = {
        {Language::E, "NotFound", "Not found"},
        {Language::F, "NotFound", "NotFound - Texte manquant"},  // no fallback to German
        {Language::D, "NotFoundLC", "nicht gefunden"},           // exact keys: no prefix match
        {Language::D, "Nothing", "Nothing - Text fehlt"},
    };
    for (const Case& c : cases) EXPECT_EQ(load(c.lang).GetMsg(c.key), c.msg) << c.key;

    Catalogue none;
    EXPECT_EQ(none.GetMsg("NotFound"), "NotFound - ");
    EXPECT_EQ(load(Language::E).GetLangMsg("MsgX"), "first");  // German when English is missing
    EXPECT_EQ(load(Language::F).GetLangMsg("MsgY"), "français");
    EXPECT_EQ(load().GetLangMsg("MsgZ"), "Internal error: message text missing.");
    EXPECT_EQ(load(Language::F).GetMnuText(101030000), "Ouvrir");
    EXPECT_EQ(load(Language::I).GetMnuText(101030000), "");  // the design caption stays
    EXPECT_EQ(load(Language::E).GetHintText(101030000), "Open a table");
    EXPECT_EQ(load().GetMnuText(999), "");
}

TEST(Catalogue, DialogDefinitions) {
    const Catalogue c = load();
    DlgDef t = c.GetDlgDef("DlgT");
    EXPECT_EQ(t.caption(), "Titel");
    EXPECT_EQ(t.groupCaption(), "Gruppe");
    EXPECT_EQ(t.defaultAnswer(), "101");
    EXPECT_EQ(t.items(), (std::vector<std::string>{"A", "B", "1. Wert", "2. Wert", "3. Wert"}));
    EXPECT_EQ(c.GetDlgDef("DlgMany").itemCount(), 32);
    EXPECT_EQ(c.GetDlgDef("DlgMany").item(31), "31. x");
    EXPECT_EQ(c.GetDlgDef("DlgGap").items(), (std::vector<std::string>{"A", "", "C"}));
    EXPECT_EQ(c.GetDlgDef("DlgBreak").caption(), "Erste\rZweite");

    // Missing definitions: German, then the dummy.
    EXPECT_EQ(load(Language::E).GetDlgDef("DlgT").caption(), "Titel");
    EXPECT_EQ(c.GetDlgDef("DlgNone").caption(), "Dialog fehlt");
    EXPECT_FALSE(c.hasDlgDef("DlgNone"));
}

TEST(Catalogue, SubstitutionsNeverRestructureTheDefinition) {
    const Catalogue c = load(Language::E);
    DlgDef plain = c.GetDlgDef("DlgSub");
    EXPECT_EQ(plain.caption(), "Row % of &");  // no text given: the markers stay
    EXPECT_EQ(plain.sCount, 1);

    // A caller's text with ";" or "$R" or "$S" stays text inside its field.
    DlgDef sub = c.GetDlgDef("DlgSub", "a;b $R5 c", "x$S");
    EXPECT_EQ(sub.caption(), "Row a;b $R5 c of x$S");
    EXPECT_EQ(sub.items(), (std::vector<std::string>{"Value of a;b $R5 c", "$Sx$S"}));
    EXPECT_EQ(sub.sCount, 1);
}

TEST(Catalogue, HelpTopics) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {106100000, "::/TavHlpM6.htm"},
        {500, ""},
        {5000, "::/.htm"},
        {101090200, "::/mnuImport.htm"},
        {101010301, "::/mnuProjekt.htm"},
        {111000000, "::/mnuHlpHlp.htm"},
        {106150000, "::/mnuBere3d.htm"},
        {101200000, "::/mnuDatei.htm"},
    };
    for (const auto& [n, page] : cases) EXPECT_EQ(GetHelpTopic(n), page) << n;
}

TEST(Catalogue, MenuCaptions) {
    const Catalogue c = load(Language::E);
    EXPECT_EQ(menuCaption(c, 101030000, "Öffnen", false), "Open");
    EXPECT_EQ(menuCaption(c, 101030000, "Öffnen", true), "101030000 Open");
    EXPECT_EQ(menuCaption(c, 101040000, "Wieder öffnen", false),
              "Wieder öffnen");  // the design caption stays
    EXPECT_EQ(menuCaption(c, 101040000, "Wieder öffnen", true), "101040000 Wieder öffnen");
    EXPECT_EQ(menuCaption(c, 0, "Suchtext zählen", true), "Suchtext zählen");
    EXPECT_EQ(normalisedLanguageSetting(""), "D");
    EXPECT_EQ(normalisedLanguageSetting("Rumantsch"), "Dumantsch");
    EXPECT_EQ(normalisedLanguageSetting("English"), "English");
}

TEST(Catalogue, LanguageOfTheSetting) {
    EXPECT_EQ(languageOfSetting("English"), Language::E);
    EXPECT_EQ(languageOfSetting("Latine"), Language::L);
    EXPECT_EQ(languageOfSetting(""), Language::D);
    EXPECT_EQ(languageOfSetting("Rumantsch"), Language::D);
    EXPECT_EQ(missingCatalogueMessage("/opt/tavolex/tavolex.$ms").substr(0, 44),
              "Es fehlt die Datei /OPT/TAVOLEX/TAVOLEX.$MS.");
}

}  // namespace
}  // namespace tav
