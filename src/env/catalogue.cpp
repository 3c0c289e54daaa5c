#include "env/catalogue.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"

namespace tav {

namespace {

constexpr int kSlots = 35;
constexpr int kMaxRepeat = 32;

void replaceEvery(std::string& s, char marker, std::string_view by) {
    std::size_t pos = 0;
    while ((pos = s.find(marker, pos)) != std::string::npos) {
        s.replace(pos, 1, by);
        pos += by.size();
    }
}

std::size_t countOf(std::string_view s, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t pos = s.find(what); pos != std::string_view::npos; pos = s.find(what, pos + what.size()))
        ++n;
    return n;
}

}  // namespace

Language languageOfSetting(std::string_view sprache) {
    switch (sprache.empty() ? 'D' : sprache.front()) {
        case 'F':
            return Language::F;
        case 'I':
            return Language::I;
        case 'L':
            return Language::L;
        case 'E':
            return Language::E;
        default:
            return Language::D;
    }
}

char languageCode(Language l) {
    return "DFILE"[static_cast<int>(l)];
}

int DlgDef::itemCount() const {
    for (int s = kSlots - 1; s >= 3; --s)
        if (!slots[s].empty()) return s - 2;
    return 0;
}

std::vector<std::string> DlgDef::items() const {
    std::vector<std::string> out;
    for (int i = 0; i < itemCount(); ++i) out.push_back(item(i));
    return out;
}

Status Catalogue::LoadTexts(const std::string& path) {
    const Result<std::string> bytes = readWholeFile(path, std::size_t{64} << 20);
    if (!bytes) return Status::failure("Kann " + path + " nicht lesen: " + bytes.status().plain());
    loadFromText(decodeFileText(bytes.value()));
    return {};
}

void Catalogue::loadFromText(std::string_view text) {
    multi_.clear();
    lang_.clear();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        // "¦" is how a catalogue text holds a line break.
        for (std::size_t p = 0; (p = line.find("\u00a6", p)) != std::string::npos;) line.replace(p, 2, "\r");
        if (!line.empty()) lines.push_back(std::move(line));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    // Of several lines with the same key the one that sorts first wins, as it always has.
    std::stable_sort(lines.begin(), lines.end(), textLess);
    for (const std::string& line : lines) {
        std::vector<std::string> f = splitFields(line);
        if (f.size() < 2 || f[1].empty()) continue;
        const std::string key = f[0] + ';' + f[1];
        if (f[0] == "Msg" || f[0] == "Mnu" || f[0] == "Hint") {
            std::array<std::string, 5> texts;
            for (int k = 0; k < 5; ++k)
                if (f.size() > static_cast<std::size_t>(k + 2)) texts[k] = f[k + 2];
            multi_.emplace(key, std::move(texts));
        } else if (f[0].size() == 1) {
            lang_.emplace(key, std::vector<std::string>(f.begin() + 2, f.end()));
        }
    }
}

const std::string* Catalogue::multiText(std::string_view kind, std::string_view key) const {
    auto it = multi_.find(std::string(kind) + ';' + std::string(key));
    if (it == multi_.end()) return nullptr;
    const std::string& text = it->second[static_cast<int>(language_)];
    return text.empty() ? nullptr : &text;
}

const std::vector<std::string>* Catalogue::langFields(char code, std::string_view key) const {
    auto it = lang_.find(std::string(1, code) + ';' + std::string(key));
    return it == lang_.end() ? nullptr : &it->second;
}

std::string Catalogue::GetMsg(std::string_view key) const {
    if (const std::string* t = multiText("Msg", key)) return *t;
    const std::string* missing = multiText("Msg", "TextMissing");
    return std::string(key) + " - " + (missing ? *missing : std::string());
}

std::string Catalogue::GetLangMsg(std::string_view key) const {
    const std::vector<std::string>* f = langFields(languageCode(language_), key);
    if (!f) f = langFields('D', key);
    if (!f) return "Internal error: message text missing.";
    return f->empty() ? std::string() : f->front();
}

std::string Catalogue::messageText(std::string_view key) const {
    if (const std::string* t = multiText("Msg", key)) return *t;
    if (langFields(languageCode(language_), key) || langFields('D', key)) return GetLangMsg(key);
    return GetMsg(key);
}

std::string Catalogue::GetMnuText(std::int64_t n) const {
    const std::string* t = multiText("Mnu", std::to_string(n));
    return t ? *t : std::string();
}

std::string Catalogue::GetHintText(std::int64_t n) const {
    const std::string* t = multiText("Hint", std::to_string(n));
    return t ? *t : std::string();
}

bool Catalogue::hasDlgDef(std::string_view name) const {
    return langFields(languageCode(language_), name) || langFields('D', name);
}

DlgDef Catalogue::GetDlgDef(std::string_view name, std::string_view text1, std::string_view text2) const {
    const std::vector<std::string>* f = langFields(languageCode(language_), name);
    if (!f) f = langFields('D', name);
    if (!f) f = langFields(languageCode(language_), "DlgDummy");
    if (!f) f = langFields('D', "DlgDummy");
    DlgDef def;
    if (!f) return def;
    std::vector<std::string> fields = *f;

    // "$R<n> <text>" stands for n numbered items; it ends the definition.
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const std::size_t r = fields[k].find("$R");
        if (r == std::string::npos) continue;
        const std::string tail = fields[k].substr(r + 2);
        const std::size_t blank = tail.find(' ');
        const auto n = parseInteger(tail.substr(0, blank));
        const std::string text = blank == std::string::npos ? std::string() : tail.substr(blank + 1);
        const std::string head(trimBlanks(fields[k].substr(0, r)));
        fields.resize(head.empty() ? k : k + 1);
        if (!head.empty()) fields.back() = head;
        const std::int64_t count = std::clamp<std::int64_t>(n.value_or(0), 0, kMaxRepeat);
        for (std::int64_t i = 1; i <= count; ++i) fields.push_back(std::to_string(i) + ". " + text);
        break;
    }
    for (const std::string& field : fields) def.sCount += static_cast<int>(countOf(field, "$S"));
    for (std::size_t k = 0; k < fields.size() && k < kSlots; ++k) {
        std::string field = fields[k];
        if (!text1.empty()) replaceEvery(field, '%', text1);
        if (!text2.empty()) replaceEvery(field, '&', text2);
        def.slots[k] = std::move(field);
    }
    return def;
}

std::vector<std::string> Catalogue::keys(std::string_view kindOrCode) const {
    std::vector<std::string> out;
    const std::string prefix = std::string(kindOrCode) + ';';
    auto collect = [&](const auto& map) {
        for (const auto& [key, value] : map)
            if (key.compare(0, prefix.size(), prefix) == 0) out.push_back(key.substr(prefix.size()));
    };
    collect(multi_);
    collect(lang_);
    std::sort(out.begin(), out.end());
    return out;
}

std::string menuCaption(const Catalogue& cat, std::int64_t number, std::string_view designCaption,
                        bool showNumbers) {
    std::string text = number > 0 ? cat.GetMnuText(number) : std::string();
    if (text.empty()) text = designCaption;
    // A number shown before a missing caption keeps the design caption beside it.
    return showNumbers && number > 0 ? std::to_string(number) + " " + text : text;
}

std::string normalisedLanguageSetting(std::string_view sprache) {
    if (sprache.empty()) return "D";
    if (std::string_view("EFIL").find(sprache.front()) == std::string_view::npos)
        return "D" + std::string(sprache.substr(1));
    return std::string(sprache);
}

std::string GetHelpTopic(std::int64_t n) {
    if (n < 1000) return {};
    struct Range {
        std::int64_t start;
        const char* page;
    };
    struct Block {
        std::int64_t start;
        const char* general;
        std::vector<Range> ranges;
    };
    static const std::vector<Block> blocks = {
        {101000000,
         "mnuDatei",
         {{101010000, "mnuProjekt"},
          {101090000, "mnuImport"},
          {101100000, "mnuExport"},
          {101120000, "mnuTabAct"},
          {101130000, "mnuTabFile"},
          {101140000, "mnuManyFiles"}}},
        {102000000, "TavHlpM2", {{102100000, "mnuFelder"}}},
        {103000000,
         "TavHlpM3",
         {{103040000, "mnuRand"},
          {103050000, "mnuZlMark"},
          {103060000, "mnuArtMark"},
          {103080000, "mnuZlMelt"},
          {103100000, "mnuZlSplit"},
          {103120000, "mnuArtSort"},
          {103140000, "mnuZlNum"},
          {103150000, "mnuZlTrans"}}},
        {104000000,
         "TavHlpM4",
         {{104020000, "mnuSpMark"}, {104030000, "mnuSpBez"}, {104040000, "mnuSpMelt"}}},
        {105000000, "TavHlpM5", {{105050000, "mnuDatPrf"}, {105070000, "mnuTaxa"}}},
        {106000000,
         "TavHlpM6",
         {{106010000, "mnuBereFeld"},
          {106020000, "mnuBereZl"},
          {106030000, "mnuBerePaar"},
          {106040000, "mnuBereSp"},
          {106050000, "mnuBereSim"},
          {106060000, "mnuBereRef"},
          {106070000, "mnuBereCat"},
          {106080000, "mnuBereKreuz"},
          {106090000, "mnuBereRaum"},
          {106110000, "mnuBereGesTab"},
          {106120000, "mnuBereKenn"},
          {106130000, "mnuBereHie"},
          {106140000, "mnuBereAn"},
          {106150000, "mnuBere3d"}}},
        {107000000,
         "TavHlpM7",
         {{107010000, "mnuArtVor"},
          {107020000, "mnuArtVorG"},
          {107030000, "mnuArtFreq"},
          {107040000, "mnuArtDiv"},
          {107050000, "mnuArtList"},
          {107060000, "mnuArtZus"}}},
        {108000000,
         "TavHlpM8",
         {{108010000, "mnuZWmean"}, {108030000, "mnuZWaffin"}, {108050000, "mnuZWscale"}}},
        {109000000,
         "TavHlpM9",
         {{109010000, "mnuDbArt"},
          {109020000, "mnuDbAng"},
          {109030000, "mnuDbAuf"},
          {109040000, "mnuBild"},
          {109050000, "mnuKarte"},
          {109060000, "mnuRaster"},
          {109070000, "mnuArtKey"},
          {109080000, "mnuTavKey"},
          {109090000, "mnuMakros"},
          {109100000, "mnuExternFunc"},
          {109110000, "mnuExternDb"},
          {109120000, "mnuExternProg"}}},
        {110000000,
         "TavHlpM10",
         {{110020000, "mnuOEditor"},
          {110030000, "mnuORand"},
          {110040000, "mnuOFilterDef"},
          {110050000, "mnuOCode"},
          {110060000, "mnuOPrf"},
          {110070000, "mnuODec"},
          {110080000, "mnuOEA"},
          {110090000, "mnuOSteuer"},
          {110100000, "mnuOGitter"},
          {110110000, "mnuOSchnell"},
          {110120000, "mnuOFilter"}}},
        {111000000, "mnuHlpHlp", {}},
    };
    std::string page;
    for (const Block& b : blocks) {
        if (n < b.start || n >= b.start + 1000000) continue;
        page = b.general;
        for (const Range& r : b.ranges)
            if (n >= r.start && n < r.start + 10000) page = r.page;
    }
    return "::/" + page + ".htm";
}

std::string missingCatalogueMessage(const std::string& path) {
    const std::string p = upperFold(path);
    return "Es fehlt die Datei " + p + ".\rBitte das Programm vollständig installieren.\r\r(File " + p +
           " is missing.\rPlease reinstall the program.)";
}

}  // namespace tav
