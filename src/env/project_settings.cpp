// Option-group strings, font text, paths and the file history of the work environment.

#include "env/project_settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "env/catalogue.h"

namespace tav {

namespace {

// The first n characters of a group string as flags: "1" is true, any other character and a missing
// one false. Counted in characters, so a stray non-ASCII character shifts nothing.
std::vector<bool> flagsOf(std::string_view s, std::size_t n) {
    std::vector<bool> flags(n, false);
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n && pos < s.size(); ++i) flags[i] = nextCodePoint(s, pos) == U'1';
    return flags;
}

template <class R, std::size_t N>
void readFlags(R& group, bool R::*const (&fields)[N], std::string_view s) {
    const std::vector<bool> flags = flagsOf(s, N);
    for (std::size_t i = 0; i < N; ++i) group.*fields[i] = flags[i];
}

template <class R, std::size_t N>
std::string flagString(const R& group, bool R::*const (&fields)[N]) {
    std::string s;
    for (bool R::*f : fields) s += group.*f ? '1' : '0';
    return s;
}

constexpr bool REditorMargin::*kMarginFlags[] = {
    &REditorMargin::ZlNr,     &REditorMargin::SpNr,     &REditorMargin::ZlTypK, &REditorMargin::ZlTypA,
    &REditorMargin::ZahlFreq, &REditorMargin::ZaFrMark, &REditorMargin::Stet,   &REditorMargin::StetMark,
    &REditorMargin::Deck,     &REditorMargin::DeckMark, &REditorMargin::Rem,    &REditorMargin::Mark,
    &REditorMargin::Nr,       &REditorMargin::Check,    &REditorMargin::Grp,    &REditorMargin::Scores};
constexpr bool RCurScrEinst::*kCurScrFlags[] = {
    &RCurScrEinst::AutoZlWechsel, &RCurScrEinst::CR,   &RCurScrEinst::pen,     &RCurScrEinst::Warn,
    &RCurScrEinst::FocB,          &RCurScrEinst::Copy, &RCurScrEinst::ToolOff, &RCurScrEinst::Fix};
// Ang comes before Kopf in the string, unlike the record.
constexpr bool RSchnellEinst::*kSchnellFlags[] = {&RSchnellEinst::Ang, &RSchnellEinst::Kopf,
                                                  &RSchnellEinst::Art2, &RSchnellEinst::Mark};
constexpr bool RPruef::*kPruefFlags[] = {
    &RPruef::AngSofort,   &RPruef::KopfSofort, &RPruef::ArtSofort, &RPruef::DeckSofort, &RPruef::Streng,
    &RPruef::TypAuto,     &RPruef::RandAuto,   &RPruef::OhneAutor, &RPruef::Layers,     &RPruef::Rem,
    &RPruef::ValidFilter, &RPruef::AccFilter,  &RPruef::ArtGross,  &RPruef::NaAccept,   &RPruef::PrimAccept};
constexpr bool RDetEinst::*kDetFlags[] = {&RDetEinst::Det,  &RDetEinst::CritS, &RDetEinst::CritD,
                                          &RDetEinst::NurA, &RDetEinst::NurD,  &RDetEinst::Auto};
constexpr bool RSozEinstKenn::*kSozKennFlags[] = {&RSozEinstKenn::Up, &RSozEinstKenn::Dn, &RSozEinstKenn::Red,
                                                  &RSozEinstKenn::Codes};

// Used when the catalogue lacks a definition, so that a program without its catalogue still starts
// with the documented defaults.
constexpr std::string_view kBuiltInEditorMargin = "1100000000000000";
constexpr std::string_view kBuiltInCurScr = "10010000";
constexpr std::string_view kBuiltInSchnell = "1100";
constexpr std::string_view kBuiltInPruef = "000000000000010";
constexpr std::string_view kBuiltInSyst = "1";
constexpr std::string_view kBuiltInZei = "1";
constexpr std::string_view kBuiltInDeck = "6";
constexpr std::string_view kBuiltInGesDeck = "1";
constexpr std::string_view kBuiltInDelim = "9";
constexpr std::string_view kBuiltInDet = "100000";
constexpr std::string_view kBuiltInSozKenn = "1100";

std::optional<std::int64_t> integerOf(std::string_view s) {
    return parseInteger(trimBlanks(s));
}

// A 1-based choice kept in a byte: anything but 1 … 255 is the first choice.
std::uint8_t choiceOf(std::string_view s) {
    const auto n = integerOf(s);
    return n && *n >= 1 && *n <= 255 ? static_cast<std::uint8_t>(*n) : 1;
}

constexpr std::int64_t kMaxCodePoint = 0x10FFFF;

std::string withoutTrailingSlashes(std::string_view s) {
    while (s.size() > 1 && s.back() == '/') s.remove_suffix(1);
    return std::string(s);
}

std::string envValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

bool isNoSettingsFile(std::string_view path) {
    if (path.size() != kNoSettingsFile.size()) return false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(path[i]) != lower(kNoSettingsFile[i])) return false;
    }
    return true;
}

std::string dataFolderFor(std::string_view publicDir, std::string_view xdgDataHome, std::string_view home) {
    if (!publicDir.empty()) return withoutTrailingSlashes(publicDir) + "/TavolexData";
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/')
        return withoutTrailingSlashes(xdgDataHome) + "/TavolexData";
    const std::string base = home.empty() ? std::string(".") : withoutTrailingSlashes(home);
    return (base == "/" ? std::string() : base) + "/.local/share/TavolexData";
}

std::string systemDataFolder() {
    std::string home = envValue("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    }
    return dataFolderFor(envValue("PUBLIC"), envValue("XDG_DATA_HOME"), home);
}

std::string folderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string fontToText(const RFont& f) {
    return std::to_string(f.size) + ' ' + std::to_string(f.style) + ' ' + std::to_string(f.charset) + ' ' +
           f.name;
}

RFont fontFromText(std::string_view text) {
    std::string s;
    for (char c : text)
        if (c != ',') s += c;
    std::size_t pos = 0;
    auto nextWord = [&]() {
        while (pos < s.size() && isBlank(s[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < s.size() && !isBlank(s[pos])) ++pos;
        return std::string_view(s).substr(start, pos - start);
    };
    auto numberOr = [](std::string_view w, std::int32_t fallback) {
        const auto n = parseInteger(w);
        return n && *n >= std::numeric_limits<std::int32_t>::min() &&
                       *n <= std::numeric_limits<std::int32_t>::max()
                   ? static_cast<std::int32_t>(*n)
                   : fallback;
    };
    RFont f;
    f.size = numberOr(nextWord(), 10);
    f.style = numberOr(nextWord(), 0) & (kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);
    f.charset = numberOr(nextWord(), 0);
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    f.name = s.substr(pos);
    if (f.name.empty()) f.name = "Arial";
    return f;
}

std::int32_t scaled(int thousandths, double screenScale) {
    // nearbyint rounds ties to even in the default rounding mode, which the program never changes.
    const double x = std::nearbyint(thousandths * screenScale);
    constexpr double lo = std::numeric_limits<std::int32_t>::min(),
                     hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::fmin(hi, std::fmax(lo, x)));
}

PixelRect scaledRect(int top, int bottom, int left, int right, double screenScale) {
    PixelRect r;
    r.Top = scaled(top, screenScale);
    r.Bottom = scaled(bottom, screenScale);
    r.Left = scaled(left, screenScale);
    r.Right = scaled(right, screenScale);
    return r;
}

bool isAcceptableUserName(std::string_view name, std::string* why) {
    auto refuse = [&](const char* reason) {
        if (why) *why = reason;
        return false;
    };
    if (name.empty()) return refuse("leer");
    if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos)
        return refuse("enthält ein Trennzeichen von Verzeichnissen");
    if (name.find("..") != std::string_view::npos) return refuse("enthält \"..\"");
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f) return refuse("enthält ein Steuerzeichen");
        if (c == ' ') return refuse("enthält ein Leerzeichen");
    }
    return true;
}

std::string rStringLiteral(std::string_view s) {
    std::string out = "\"";
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7f) {
                    static constexpr char kHex[] = "0123456789abcdef";
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                } else {
                    out += ch;
                }
        }
    }
    return out + '"';
}

TProjectSettings::TProjectSettings(const Catalogue& catalogue, std::string programFolder,
                                   std::string dataFolder, double screenScale)
    : catalogue_(&catalogue),
      programFolder_(withoutTrailingSlashes(programFolder)),
      dataFolder_(withoutTrailingSlashes(dataFolder)),
      screenScale_(screenScale) {
    SetDefaults();
}

bool TProjectSettings::setUserName(std::string name, std::string* why) {
    if (!isAcceptableUserName(name, why)) return false;
    userName_ = std::move(name);
    return true;
}

std::string TProjectSettings::catalogueDefault(std::string_view dlgName, std::string_view builtIn) const {
    if (catalogue_->hasDlgDef(dlgName)) return catalogue_->defaultAnswer(dlgName);
    return std::string(builtIn);
}

void TProjectSettings::GetEditorMargin(std::string_view s) {
    readFlags(EditorMargin, kMarginFlags,
              s.empty() ? catalogueDefault("DlgEditorStandard", kBuiltInEditorMargin) : s);
}

void TProjectSettings::SetEditorMargin(std::string& s) const {
    s = flagString(EditorMargin, kMarginFlags);
}

void TProjectSettings::GetCurScrEinst(std::string_view s) {
    readFlags(CurScrEinst, kCurScrFlags, s.empty() ? catalogueDefault("DlgCursEinst", kBuiltInCurScr) : s);
}

void TProjectSettings::SetCurScrEinst(std::string& s) const {
    s = flagString(CurScrEinst, kCurScrFlags);
}

void TProjectSettings::GetSchnellEinst(std::string_view s) {
    readFlags(SchnellEinst, kSchnellFlags,
              s.empty() ? catalogueDefault("DlgSchnellEinst", kBuiltInSchnell) : s);
}

void TProjectSettings::SetSchnellEinst(std::string& s) const {
    s = flagString(SchnellEinst, kSchnellFlags);
}

void TProjectSettings::GetPruef(std::string_view s) {
    readFlags(Pruef, kPruefFlags, s.empty() ? catalogueDefault("DlgPrfSet", kBuiltInPruef) : s);
}

void TProjectSettings::SetPruef(std::string& s) const {
    s = flagString(Pruef, kPruefFlags);
}

void TProjectSettings::GetDetEinst(std::string_view s) {
    readFlags(DetEinst, kDetFlags, s.empty() ? catalogueDefault("DlgDetEinst", kBuiltInDet) : s);
}

void TProjectSettings::SetDetEinst(std::string& s) const {
    s = flagString(DetEinst, kDetFlags);
}

void TProjectSettings::GetSozEinstKenn(std::string_view s) {
    const std::string text(s.empty() ? catalogueDefault("DlgSozEinstKenn", kBuiltInSozKenn) : s);
    readFlags(SozEinstKenn, kSozKennFlags, text);
    SozEinstKenn.CodeList = SozEinstKenn.Codes ? charMid(text, 4, std::string::npos) : std::string();
}

void TProjectSettings::SetSozEinstKenn(std::string& s) const {
    s = flagString(SozEinstKenn, kSozKennFlags);
    s.pop_back();
    s += SozEinstKenn.Codes ? "1" + SozEinstKenn.CodeList : "0";
}

void TProjectSettings::GetSystEinst(std::string_view s) {
    SystEinst = choiceOf(s.empty() ? catalogueDefault("DlgSystEinst", kBuiltInSyst) : s);
}

void TProjectSettings::GetZeiEinst(std::string_view s) {
    ZeiEinst = choiceOf(s.empty() ? catalogueDefault("DlgZeiEinst", kBuiltInZei) : s);
}

void TProjectSettings::GetDeckEinst(std::string_view s) {
    DeckEinst = choiceOf(s.empty() ? catalogueDefault("DlgDeckEinst", kBuiltInDeck) : s);
}

void TProjectSettings::GetGesDeckEinst(std::string_view s) {
    GesDeckEinst = choiceOf(s.empty() ? catalogueDefault("DlgGesDeckEinst", kBuiltInGesDeck) : s);
}

void TProjectSettings::GetDelimEinst(std::string_view s) {
    const auto n = integerOf(s.empty() ? catalogueDefault("DlgDelimEinst", kBuiltInDelim) : s);
    // 0 is the answer "tab" of the delimiter dialog.
    Diversa.DelimEinst = n && *n >= 1 && *n <= kMaxCodePoint ? static_cast<std::int32_t>(*n) : 9;
}

void TProjectSettings::GetQualiEinst(std::string_view s) {
    const auto n = integerOf(s.empty() ? std::string_view("0") : s);
    Diversa.QualiEinst = n && *n >= 0 && *n <= kMaxCodePoint ? static_cast<std::int32_t>(*n) : 0;
}

void TProjectSettings::GetExportCodeEinst(std::string_view s) {
    const auto n = integerOf(s.empty() ? std::string_view("2") : s);
    Diversa.ExportEncoding = n && *n >= 0 && *n <= 3 ? static_cast<std::int32_t>(*n) : 0;
}

void TProjectSettings::GetSozEinstSim(std::string_view s) {
    const auto n = integerOf(s);
    if (!n || *n < std::numeric_limits<std::int32_t>::min() || *n > std::numeric_limits<std::int32_t>::max())
        SozEinstSim = 0;
    else
        SozEinstSim = *n == 0 ? 1 : static_cast<std::int32_t>(*n);
}

void TProjectSettings::enterFileHistory(const std::string& path) {
    if (path.empty() || path == "NoName.tab") return;
    int k = kFileHistorySize - 1;
    for (int i = kFileHistorySize - 1; i >= 0; --i) {
        if (FileHistory[i] == path) {
            k = i;
            break;
        }
    }
    for (int i = k - 1; i >= 0; --i) FileHistory[i + 1] = std::move(FileHistory[i]);
    FileHistory[0] = path;
}

std::string TProjectSettings::installationFilePath() const {
    return dataFolder_ + "/Tavolex.$in";
}

std::string TProjectSettings::defaultEnvironmentPath() const {
    return dataFolder_ + "/Standard.$VP";
}

std::string TProjectSettings::defaultMapPath() const {
    return programFolder_ + "/Daten/ws500.map";
}

std::string TProjectSettings::speciesListPath() const {
    return programFolder_ + "/Daten/ArtList.txt";
}

std::string TProjectSettings::indicatorValuesPath() const {
    return programFolder_ + "/Daten/ZeiLan.txt";
}

std::string TProjectSettings::externDefinitionsPath() const {
    return programFolder_ + "/Rcode/Extern.tab";
}

std::string TProjectSettings::exchangeFolder() const {
    return dataFolder_ + "/Rdata/TavLink";
}

std::string TProjectSettings::cataloguePath() const {
    return programFolder_ + "/tavolex.$ms";
}

std::string TProjectSettings::templateFilePath() const {
    return replaceExtension(settingsPath_, ".$ta");
}

std::string TProjectSettings::mapCompanionPath(std::string_view ext) const {
    return replaceExtension(settingsPath_, ext);
}

std::string TProjectSettings::workFilePath(WorkFile f) const {
    return workFilePathIn(workFilesFolder(), workFilesUser(), f);
}

void TProjectSettings::placeWorkFiles() const {
    setWorkPlace(workFilesFolder(), workFilesUser());
}

bool TProjectSettings::deleteWorkFiles() const {
    return deleteWorkFilesIn(workFilesFolder(), workFilesUser());
}

// Without a settings file there is no work folder; the data folder is the user's own place then, where
// the current folder might be anything.
const std::string& TProjectSettings::workFilesFolder() const {
    return workFolder_.empty() ? dataFolder_ : workFolder_;
}

std::string TProjectSettings::workFilesUser() const {
    return userName_.empty() ? std::string("Tavolex") : userName_;
}

}  // namespace tav
