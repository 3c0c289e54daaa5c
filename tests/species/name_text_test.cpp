#include "species/name_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tav {
namespace {

// ---------------------------------------------------------------------------------------------------
// Additions

TEST(NameTextAdditions, NormalForm) {
    struct Case {
        std::string name, additions;
    };
    const Case cases[] = {
        {"Quercus robur /b/ cf /x ", " /B /cf. /x"},
        {"Abies alba", ""},
        {"Abies alba /CF./qs/ QS. /s/k", " /cf. /qs. /qs. /S /K"},
        {"Abies alba /cfx/ q s /Bb", " /cfx /q s /Bb"},  // near misses are free additions
        {"Abies alba / Keimling  juv. /", " /Keimling  juv."},
        {"Abies alba //B/ /", " /B"},  // empty segments are no additions
        {"Abies alba /", ""},
        {"Abies alba /\xC3\xA4", " /\xC3\xA4"},
        {"/b", " /B"},
    };
    for (const Case& c : cases) EXPECT_EQ(GetZusatz(c.name), c.additions) << c.name;
}

TEST(NameTextAdditions, CheckAgainstList) {
    const std::string list = "B;S;K;cf.;Keimling";
    struct Case {
        std::string z;
        bool checkOn;
        std::string list;
        bool ok;
        std::string after;
    };
    const Case cases[] = {
        {" /b /keimling", true, list, true, " /B /Keimling"},
        {" /x", true, list, false, " /x"},
        {" /b /x", true, list, false, " /b /x"},  // a refusal after a match leaves z as it was
        {" /CF.", true, list, true, " /cf."},
        {" /x", false, list, true, " /x"},
        {" /x", true, "", true, " /x"},
        {" /x", true, " ; ;", true, " /x"},  // a list of empty entries is no list
        {"", true, list, true, ""},
        {" /s /b", true, " b ; /S ", true, " /S /b"},  // entries trimmed, a leading "/" does not count
        {" /\xC3\x84rger", true, "\xC3\xA4rger", true, " /\xC3\xA4rger"},
    };
    for (const Case& c : cases) {
        std::string z = c.z;
        EXPECT_EQ(CheckZusatz(z, c.checkOn, c.list), c.ok) << c.z << " | " << c.list;
        EXPECT_EQ(z, c.after) << c.z << " | " << c.list;
    }
}

TEST(NameTextAdditions, Remove) {
    struct Case {
        std::string flags, name, result;
    };
    const Case cases[] = {
        {"0100000", "Abies alba /B /S", "Abies alba /S"},
        {"1", "Abies alba  /B /S", "Abies alba"},
        {"1000000", "Abies alba /", "Abies alba"},
        {"1", "Abies alba  ", "Abies alba  "},  // without additions the name stays as it is
        {"0000001", "Abies alba /b/x/ CF /Keimling", "Abies alba /B /cf."},
        {"0000110", "Abies alba /cf /qs. /K", "Abies alba /K"},
        {"0011100", "Abies alba /S/K/cf./B", "Abies alba /B"},
        {"0", "Abies alba\t/b", "Abies alba /B"},  // nothing removed, the rest still normalised
        {"", "Abies alba /qs", "Abies alba /qs."},
        {"0111111", "Abies alba /B /S", "Abies alba"},
    };
    for (const Case& c : cases) EXPECT_EQ(RmZusatz(c.flags, c.name), c.result) << c.flags << " " << c.name;
}

TEST(NameTextAdditions, Has) {
    struct Case {
        std::string flags, name;
        bool has;
    };
    const Case cases[] = {
        {"1", "Abies alba", false},
        {"1", "Abies alba /", false},
        {"1", "Abies alba /x", true},
        {"01", "Abies alba /b", true},
        {"01", "Abies alba /S", false},
        {"001", "Abies alba /s", true},
        {"0001", "Abies alba /K", true},
        {"0000100", "Abies alba /CF", true},
        {"00001", "Abies alba /qs", false},  // a short flag string leaves the rest unset
        {"0000010", "Abies alba /QS.", true},
        {"0000001", "Abies alba /B /cf.", false},
        {"0000001", "Abies alba /B /cfx", true},
        {"0111110", "Abies alba /x", false},
        {"0000000", "Abies alba /B", false},
    };
    for (const Case& c : cases) EXPECT_EQ(HasZusatz(c.flags, c.name), c.has) << c.flags << " " << c.name;
}

TEST(NameTextAdditions, FromFlags) {
    struct Case {
        std::string flags, text;
        int layers;
    };
    const Case cases[] = {
        {"10011", " /qs. /B", 1}, {"", "", 0},           {"111100", " /cf. /K /S /B", 3},
        {"000001", "", 0},  // the free addition is asked for elsewhere
        {"01", " /S", 1},         {"00010", " /cf.", 0}, {"0000100", " /qs.", 0},
    };
    for (const Case& c : cases) {
        int layers = -1;
        EXPECT_EQ(ZusatzFromFlags(c.flags, &layers), c.text) << c.flags;
        EXPECT_EQ(layers, c.layers) << c.flags;
    }
    EXPECT_EQ(ZusatzFromFlags("11"), " /S /B");
}

TEST(NameTextAdditions, ToFlags) {
    struct Case {
        std::string name, flags, rest;
    };
    const Case cases[] = {
        {"Abies alba", "000000", ""},
        {"Abies alba /b /x/ cf / Keimling", "100101", " /x /Keimling"},
        {"Abies alba /K/S/qs", "011010", ""},
        {"Abies alba /B/b", "100000", ""},
    };
    for (const Case& c : cases) {
        std::string rest = "old";
        EXPECT_EQ(ZusatzToFlags(c.name, &rest), c.flags) << c.name;
        EXPECT_EQ(rest, c.rest) << c.name;
    }
    EXPECT_EQ(ZusatzToFlags("Abies alba /S"), "010000");
}

// Every combination the flags can express (one uncertainty mark at most) survives the way there and back.
TEST(NameTextAdditions, FlagsRoundTrip) {
    for (int bits = 0; bits < 32; ++bits) {
        std::string flags;
        for (int i = 0; i < 5; ++i) flags += (bits >> i) & 1 ? '1' : '0';
        if (flags[3] == '1' && flags[4] == '1') continue;
        std::string rest = "old";
        EXPECT_EQ(ZusatzToFlags("Abies alba" + ZusatzFromFlags(flags), &rest), flags + "0") << flags;
        EXPECT_EQ(rest, "");
    }
}

// ---------------------------------------------------------------------------------------------------
// Plain names

TEST(NameTextPlain, DropsAuthors) {
    struct Case {
        std::string name, plain;
    };
    const Case cases[] = {
        {"Festuca rubra subsp. commutata Gaudin", "Festuca rubra subsp. commutata"},
        {"Festuca rubra aggr.", "Festuca rubra aggr."},
        {"Festuca rubra L.", "Festuca rubra"},
        {"Carex nigra S.STR.", "Carex nigra S.STR."},
        {"Carex nigra s.str.", "Carex nigra s.str."},
        {"Carex nigra (L.) Reichard S.str.", "Carex nigra S.STR."},  // mixed spelling counts as upper
        {"Poa alpina s.l. auct.", "Poa alpina s.l."},
        {"Poa alpina subsp. minor s.l.", "Poa alpina s.l."},  // the qualifier comes before the rank
        {"Rubus fruticosus AGGR. L.", "Rubus fruticosus AGGR."},
        {"Festuca rubra var. juncea (Hack.) K. Richt.", "Festuca rubra var. juncea"},
        {"Festuca rubra SUBSP. commutata Gaudin", "Festuca rubra SUBSP. commutata"},
        {"Festuca rubra Gaudin subsp. commutata", "Festuca rubra subsp. commutata"},
        {"Festuca rubra subsp.", "Festuca rubra subsp."},
        {"Festuca  rubra   L.", "Festuca rubra"},
        {"Festuca rubra", "Festuca rubra"},
        {"Festuca", "Festuca"},
        {"", ""},
        {"Abies alba Mill. /B", "Abies alba"},
        {"Abies /B", "Abies"},
        // Folding shortens "à", so the rank word must be found by characters, not bytes.
        {"Festuca rubra H\xC3\xA0\xC3\xA0"
         "ck. subsp. commutata",
         "Festuca rubra subsp. commutata"},
        {"Festuca rubra var. j\xC3\xBC\xC3\xA0ncea L.", "Festuca rubra var. j\xC3\xBC\xC3\xA0ncea"},
    };
    for (const Case& c : cases) EXPECT_EQ(DoGetLatPlain(c.name), c.plain) << c.name;
}

TEST(NameTextPlain, KeepsNormalisedAdditions) {
    EXPECT_EQ(GetPlainName("Quercus robur L. /b/ cf"), "Quercus robur /B /cf.");
    EXPECT_EQ(GetPlainName("Festuca rubra subsp. commutata Gaudin /K"), "Festuca rubra subsp. commutata /K");
    EXPECT_EQ(GetPlainName("Festuca rubra L."), "Festuca rubra");
}

// ---------------------------------------------------------------------------------------------------
// Search texts

TEST(NameTextSearch, SplitsWords) {
    struct Case {
        std::string text;
        bool all;
        std::string w1, w2, rest;
    };
    const Case cases[] = {
        {"??? ", true, "?", "?", "?"},
        {" ? ? ?", true, "?", "?", "?"},
        {"?? ?/B", true, "?", "?", "?"},
        {"????", false, "????", "?", "?"},
        {"Carex nigra /B", false, "Carex", "nigra", "?"},
        {"* nigra", false, "?", "nigra", "?"},
        {"Carex nigra (L.) Reichard", false, "Carex", "nigra", "(L.) Reichard"},
        {"  Carex \t nigra  (L.)   Reichard  ", false, "Carex", "nigra", "(L.) Reichard"},
        {"Carex * *", false, "Carex", "?", "?"},
        {"Carex", false, "Carex", "?", "?"},
        {"", false, "?", "?", "?"},
        {"/B", false, "?", "?", "?"},
        {"Car*ex nig* L./x", false, "Car*ex", "nig*", "L."},
    };
    for (const Case& c : cases) {
        const SearchWords w = splitSearchText(c.text);
        EXPECT_EQ(w.all, c.all) << c.text;
        EXPECT_EQ(w.w1, c.w1) << c.text;
        EXPECT_EQ(w.w2, c.w2) << c.text;
        EXPECT_EQ(w.rest, c.rest) << c.text;
    }
}

TEST(NameTextSearch, Jokers) {
    struct Case {
        std::string word;
        bool allowDot;
        std::string prefix, tail;
    };
    const Case cases[] = {
        {"Car*ex", true, "CAR", "EX"},
        {"Car*ex", false, "CAR", "EX"},
        {"Carex*", true, "CAREX", ""},
        {"Car**", true, "CAR", ""},
        {"Car*ex*", false, "CAR", "EX"},
        {"C.rex", true, "C", "REX"},
        {"C.rex", false, "C.REX", ""},
        {"C.", true, "C.", ""},  // nothing after the dot: 'C. nig' finds nothing
        {"c.r.x", true, "C", "R.X"},
        {"Ca*r.ex", true, "CA", "R.EX"},  // a star in the word takes over from the dot
        {"Ca.r*", true, "CA", "R"},
        {"*ex", false, "?", "EX"},
        {".rex", true, "?", "REX"},
        {"?", true, "?", ""},
        {"*", true, "?", ""},
        {"", false, "?", ""},
        {"(L.) Reich*", false, "(L.) REICH", ""},
        {"m\xC3\xBCller*", false, "M\xC3\x9CLLER", ""},
        {"Gr\xC3\xA4s*l\xC3\xA9", false, "GR\xC3\x84S", "LE"},
    };
    for (const Case& c : cases) {
        std::string s = c.word;
        std::string t = "old";
        CheckJoker(s, t, c.allowDot);
        EXPECT_EQ(s, c.prefix) << c.word << " " << c.allowDot;
        EXPECT_EQ(t, c.tail) << c.word << " " << c.allowDot;
    }
}

}  // namespace
}  // namespace tav
