#pragma once
// The text catalogue: every language-dependent text of the program (messages, menu captions, tool-button
// hints, dialog definitions) in German, French, Italian, Latin and English, read from "tavolex.$ms".
//
// Lines are found by their exact key, never by a prefix, so "NotFound" cannot be mistaken for
// "NotFoundLC" whatever the letter case of the neighbouring lines.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/status.h"

namespace tav {

// The language codes; the setting Sprache holds the full name, of which the first letter counts.
enum class Language : int { D = 0, F = 1, I = 2, L = 3, E = 4 };
Language languageOfSetting(std::string_view sprache);  // unknown or empty: German
char languageCode(Language l);

// A dialog definition: slot 0 caption, 1 group caption, 2 default answer, 3 … 34 items 1 … 32.
struct DlgDef {
    std::array<std::string, 35> slots;
    int sCount = 0;  // "$S" markers in the definition
    const std::string& caption() const { return slots[0]; }
    const std::string& groupCaption() const { return slots[1]; }
    const std::string& defaultAnswer() const { return slots[2]; }
    const std::string& item(int i) const { return slots[3 + i]; }  // i from 0
    int itemCount() const;  // up to the last non-empty item, empty items in between included
    std::vector<std::string> items() const;
};

class Catalogue {
  public:
    // Reads the catalogue file; fails with the reason when it cannot be read (the caller says which
    // catalogue is missing in words the user can read without one).
    Status LoadTexts(const std::string& path);
    void loadFromText(std::string_view text);
    bool empty() const { return multi_.empty() && lang_.empty(); }

    void setLanguage(Language l) { language_ = l; }
    Language language() const { return language_; }

    std::string GetMsg(std::string_view key) const;
    std::string GetLangMsg(std::string_view key) const;
    // The text of a message key as a Message part names it: the multilingual "Msg" entry, else the
    // language entry, else what GetMsg shows for a missing key.
    std::string messageText(std::string_view key) const;
    std::string GetMnuText(std::int64_t n) const;
    std::string GetHintText(std::int64_t n) const;
    // The definition in the current language (German, then "DlgDummy" when missing). "%" and "&" in each
    // field are replaced by text1 and text2 when these are not empty — after the line is split, so a ";"
    // or "$R" in a caller's text stays text.
    DlgDef GetDlgDef(std::string_view name, std::string_view text1 = {}, std::string_view text2 = {}) const;
    bool hasDlgDef(std::string_view name) const;
    // The default answer (slot 2) of a definition; settings take the defaults of their option groups here.
    std::string defaultAnswer(std::string_view dlgName) const { return GetDlgDef(dlgName).defaultAnswer(); }

    // Every key of a kind ("Msg", "Mnu", "Hint") or language code ('D' …), for checks of the catalogue.
    std::vector<std::string> keys(std::string_view kindOrCode) const;

  private:
    // "Msg;NotFound" → the five language texts.
    std::unordered_map<std::string, std::array<std::string, 5>> multi_;
    // "D;DlgX" → the fields after the key.
    std::unordered_map<std::string, std::vector<std::string>> lang_;
    Language language_ = Language::D;

    const std::string* multiText(std::string_view kind, std::string_view key) const;
    const std::vector<std::string>* langFields(char code, std::string_view key) const;
};

// The caption a menu item shows: the catalogue's text for its command number (the design caption when
// the catalogue has none), with showNumbers preceded by the number.
std::string menuCaption(const Catalogue& cat, std::int64_t number, std::string_view designCaption,
                        bool showNumbers);
// The language setting as the menus use it: empty becomes "D", an unknown first letter "D".
std::string normalisedLanguageSetting(std::string_view sprache);

// The help page of a command number: "::/" + page + ".htm"; empty below 1000.
std::string GetHelpTopic(std::int64_t n);

// The message of a missing catalogue at start (P is the path, upper-case folded).
std::string missingCatalogueMessage(const std::string& path);

}  // namespace tav
