// Definition files of cover-code systems: a native table file whose rows carry the lists of
// RDeckCode, one row per list, the list after the row head ("type;name;margin;").

#include <charconv>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "values/deck_file.h"
#include "values/deck_inter.h"

namespace tav {

namespace {

// A definition file is a few hundred bytes; anything near this size is not one, and every code of it
// costs the interpreter a few hundred bytes more.
constexpr std::size_t kMaxDefinitionBytes = 1u << 20;

// The value of a row (everything after the third ";") without the ";" that close its last item and
// without blanks around it.
std::string_view rowValue(std::string_view v) {
    for (;;) {
        v = trimBlanks(v);
        if (v.empty() || v.back() != ';') return v;
        while (!v.empty() && v.back() == ';') v.remove_suffix(1);
    }
}

std::string* fieldFor(RDeckCode& dc, std::string_view key) {
    struct Key {
        std::string_view name;
        std::string RDeckCode::*field;
    };
    static constexpr Key kKeys[] = {
        {"Titel", &RDeckCode::Titel},       {"Typ", &RDeckCode::Typ},
        {"Code", &RDeckCode::Code},         {"Sequenz", &RDeckCode::Seq},
        {"Prozente", &RDeckCode::Perc},     {"Prozentgrenzen", &RDeckCode::PeCo},
        {"Minimum", &RDeckCode::Min},       {"Maximum", &RDeckCode::Max},
        {"Legende", &RDeckCode::Legend},    {"SozDelim", &RDeckCode::SozDelim},
        {"SozCode", &RDeckCode::SozCode},   {"SozSeq", &RDeckCode::SozSeq},
        {"AttrCode", &RDeckCode::AttrCode}, {"AttrTyp", &RDeckCode::AttrTyp},
        {"Zu", &RDeckCode::ReplaceS},       {"Ersetzen", &RDeckCode::ReplaceT},
    };
    for (const Key& k : kKeys)
        if (k.name == key) return &(dc.*k.field);
    return nullptr;
}

// Field i of every line, each followed by ";".
std::string listOf(const std::vector<std::string>& lines, std::size_t i) {
    std::string out;
    for (const std::string& l : lines) {
        out += fieldAt(l, i);
        out += ';';
    }
    return out;
}

// A limit as text that reads back to the same value: the usual form of up to 15 digits where that
// suffices, else every digit needed, so that writing a definition never moves a limit.
std::string exactNumberText(double x) {
    std::string s = formatNumber(x);
    if (const auto back = parseNumber(s); back && *back == x) return s;
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general);
    return ec == std::errc() ? std::string(buf, end) : s;
}

std::string kindName(char typ) {
    switch (typ) {
        case 'C':
            return "Code";
        case 'I':
            return "Integer";
        case 'F':
            return "Float";
        case 'P':
            return "Percent";
        case 'T':
            return "Text";
        default:
            return {};
    }
}

}  // namespace

std::string coverFileMissingMessage(const std::string& name) {
    return "Datei " + name + " nicht gefunden.\rIch nehme eine vorgegebene Code-Variante.";
}

Result<RDeckCode> readCoverDefinition(const std::string& fname) {
    const Result<std::string> bytes = readWholeFile(fname, kMaxDefinitionBytes);
    if (!bytes) return bytes.status();
    const std::string text = decodeFileText(bytes.value());
    RDeckCode dc;
    for (std::string_view line : splitLines(text)) {
        FieldReader head(line);
        const std::string_view type = trimBlanks(*head.next());
        if (type.empty() || type[0] == 'C') continue;  // comment
        const auto nameField = head.next();
        if (!nameField) continue;  // a row without a name sets nothing
        std::string_view name = *nameField;
        while (!name.empty() && isBlank(name.front())) name.remove_prefix(1);
        std::size_t w = 0;
        while (w < name.size() && !isBlank(name[w])) ++w;
        std::string* field = fieldFor(dc, name.substr(0, w));
        if (!field) continue;
        head.next();  // the margin
        *field = rowValue(head.rest());
    }
    return dc;
}

Status TDeckInter::WriteToFile(bool CodeOut, const std::string& fname) const {
    std::string out;
    auto row = [&](std::string_view head, const std::string& value) {
        out += head;
        if (CodeOut) out += value;
        out += "\r\n";
    };
    out += "C;Vorlage für die Definition von Deckungscodes.;;\r\n";
    out += "C;Bitte das erste Wort in den Zeilenköpfen stehen lassen.;;\r\n";
    out += "C;Nicht benötigte Zeilen können gelöscht werden.;;\r\n";
    out += "C\r\n";
    row("T;Titel (Bezeichnung des Code-Systems);;", titel_);
    row("T;Typ (möglich sind: Code, Integer, Float, Percent, Text);;", kindName(typ_));
    row("T;Code (wenn Typ=Code: die gültigen Codes);;", listOf(code_, 0));
    row("I;Sequenz (fakultativ wenn Typ=Code: ganzzahlige Gewichte);;", listOf(code_, 1));
    row("P;Prozente (fakultativ wenn Typ=Code: Prozentwerte der Codes);;", listOf(code_, 2));
    row("P;Prozentgrenzen (fakultativ wenn Typ=Code: untere Grenze des Prozentwertebereichs);;",
        listOf(code_, 3));
    row("F;Minimum (fakultativ wenn Typ numerisch: kleinster erlaubter Wert);;",
        isMissing(min_) ? std::string() : exactNumberText(min_));
    row("F;Maximum (fakultativ wenn Typ numerisch: grösster erlaubter Wert);;",
        isMissing(max_) ? std::string() : exactNumberText(max_));
    row("T;Legende (fakultativ);;", listOf(code_, 4));
    row("T;SozDelim (fakultativ wenn Typ=Code: Trennzeichen zwischen Deckung und Soziabilität);;",
        sozDelim_ == " " ? std::string() : sozDelim_);
    row("T;SozCode (fakultativ wenn Typ=Code: die gültigen Sozialbilitäts-Codes);;", listOf(soz_, 0));
    row("I;SozSeq (fakultativ wenn Typ=Code: ganzzahlige Gewichte für die Soziabilitäten);;",
        listOf(soz_, 1));
    row("T;AttrCode (fakultativ wenn Typ=Code: die gültigen zusätzlichen Codes);;", listOf(attr_, 0));
    row("T;AttrTyp (fakultativ wenn Typ=Code (möglich sind: Ignore, Exclude, Undef);;", listOf(attr_, 1));
    row("T;Zu ersetzen (fakultativ wenn Typ=Code: zu ersetzende Zeichen);;", listOf(replace_, 0));
    row("T;Ersetzen mit (fakultativ wenn Typ=Code: was dafür eingesetzt wird);;", listOf(replace_, 1));

    // The code page keeps the file readable for older tools; UTF-8 only where it would lose a character or
    // read back as something else.
    const std::string bytes = encodeTextFile(out);
    if (const Status written = writeFileAtomically(fname, bytes); !written.ok())
        return Status::failure("Kann " + fname + " nicht speichern: " + written.plain());
    return {};
}

}  // namespace tav

namespace tav {

std::string coverDefinitionProblem(const RDeckCode& dc) {
    const std::string_view typ = trimBlanks(dc.Typ);
    if (typ.empty()) return "keine Zeile \"Typ\"";
    if (std::string_view("CIFPT").find(typ.front()) == std::string_view::npos)
        return "unbekannter Typ \"" + std::string(typ) +
               "\" (möglich sind: Code, Integer, Float, Percent, Text)";
    if (typ.front() == 'C') {
        bool anyCode = false;
        for (const std::string& c : splitFields(dc.Code)) anyCode = anyCode || !trimBlanks(c).empty();
        if (!anyCode) return "keine Codes";
    }
    return {};
}

Result<TDeckInter> makeCoverInterpreter(const CoverSettings& settings) {
    if (settings.DeckEinst != 10) return TDeckInter(builtInCoverSystem(settings.DeckEinst), settings);
    const Result<RDeckCode> dc = readCoverDefinition(settings.DeckName);
    const std::string why = dc ? coverDefinitionProblem(dc.value()) : dc.status().plain();
    if (dc && why.empty()) return TDeckInter(dc.value(), settings);
    CoverSettings fallback = settings;
    fallback.DeckEinst = 1;
    TDeckInter system1(builtInCoverSystem(1), fallback);
    if (!dc && !fileExists(settings.DeckName))
        return {std::move(system1), Status().info(coverFileMissingMessage(settings.DeckName))};
    // Counting every entry as invalid under a definition that is none would report a table without a
    // single cover as a result; the caller decides whether to go on with the fallback.
    return {std::move(system1),
            Status().error("Kann " + settings.DeckName +
                           " nicht als Definition von Deckungscodes lesen: " + why + ".")};
}

}  // namespace tav
