#include "species/art_db.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "core/file_group.h"
#include "core/file_io.h"
#include "core/numbers.h"

namespace tav {

namespace {

constexpr const char* kFirstFieldError =
    "Im 1. Feld der Tabelle muss entweder ein Primärschlüssel\roder eine Art-Relation sein.\rBitte "
    "nachprüfen, ob "
    "das Format der einzulesenden Tabelle stimmt.";
constexpr const char* kDelimiterError =
    "Bitte das richtige Trennzeichen einstellen\r(Optionen, Ein- und Ausgabe)";

// Every record of an import costs work for every definition, and the table file holds at most a few
// thousand columns: a definition line beyond this is no list the program can store.
constexpr std::size_t kMaxDefinitions = 1000;

Status fewEnoughDefinitions(std::size_t count) {
    if (count <= kMaxDefinitions) return {};
    return Status::failure("Die Definitionszeile hat " + std::to_string(count) + " Felder, höchstens " +
                           std::to_string(kMaxDefinitions) + " sind möglich. Ich importiere nicht.");
}

// What a store that could not be opened says, after its name.
void noteUnreadable(Status& open, const std::string& name, const Status& loaded) {
    for (const Message& m : loaded.messages()) open.error(name + ": " + m.plain());
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    const Result<std::string> bytes = readWholeFile(path, std::size_t{512} << 20);
    if (!bytes) return false;
    const std::string text = decodeFileText(bytes.value());
    lines.clear();
    for (std::string_view line : splitLines(text)) lines.emplace_back(line);
    return true;
}

// Column j of an import line belongs to definition j; the field it fills, or -1 for definitions that
// make no field.
std::vector<int> fieldsOfColumns(const std::vector<std::string>& defs) {
    std::vector<int> fieldOfColumn(defs.size(), -1);
    for (std::size_t j = 0, f = 0; j < defs.size(); ++j)
        if (TArtDb::parseDef(defs[j], static_cast<int>(j)).makesField)
            fieldOfColumn[j] = static_cast<int>(f++);
    return fieldOfColumn;
}

std::string replaceAllOf(std::string s, std::string_view from, std::string_view to) {
    std::size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
    return s;
}

// Backups are named after the file's own extension with a "~" in front: arten.adb keeps arten.~adb.
std::string backupSuffix(std::string_view file) {
    const std::size_t slash = file.rfind('/');
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return ".~";
    return ".~" + std::string(file.substr(dot + 1));
}

}  // namespace

TArtDb::TArtDb(const std::string& fname, const ArtDbSettings& settings, UiPort& ui)
    : dbName_(fname), zwi_(settings.ZeiEinst), settings_(settings), ui_(&ui) {
    SetupTables();
}

void TArtDb::SetupTables() {
    openStatus_ = Status();
    artTabName_ = dbName_;
    aggrTabName_ = replaceExtension(dbName_, ".adl");
    zwTabName_ = ZwFileName(zwi_);
    metaTabName_ = replaceExtension(dbName_, ".adm");
    SelectArten();
    SelectZW();
    GetZwFormat();
    GetSchichtInfo();
}

void TArtDb::SelectArten() {
    noteUnreadable(openStatus_, artTabName_, arten_.load(artTabName_));
    noteUnreadable(openStatus_, aggrTabName_, aggr_.load(aggrTabName_));
    if (aggr_.fieldCount() < 3) return;
    for (int row = 0; row < aggr_.count(); ++row) {
        if (aggregateOfRow(row) >= 0 || aggr_.isEmpty(row, 1)) continue;
        openStatus_.warning(aggrTabName_ + ": Datensatz " + aggr_.text(row, 0) + ": Aggregat " +
                            aggr_.text(row, 1) + " ist keine Datensatznummer (1 … " +
                            formatInteger(kMaxRecordKey) + "). Ich habe den Bezug zu Mitglied " +
                            aggr_.text(row, 2) + " überlesen.");
    }
}

int TArtDb::aggregateOfRow(int row) const {
    const std::int64_t parent = aggr_.integer(row, 1).value_or(-1);
    return parent >= 1 && parent <= kMaxRecordKey ? static_cast<int>(parent) : -1;
}

void TArtDb::SelectZW() {
    noteUnreadable(openStatus_, zwTabName_, zw_.load(zwTabName_));
}

std::string TArtDb::ZwFileName(int n) const {
    return replaceExtension(dbName_, ".z" + std::to_string(n));
}

std::string TArtDb::ZwKey(int n) {
    return "ZW" + twoDigits(n);
}

std::optional<int> TArtDb::ZwNumberOf(std::string_view metaLine) {
    if (metaLine.size() < 4 || metaLine.substr(0, 2) != "ZW") return std::nullopt;
    const auto n = parseInteger(metaLine.substr(2, 2));
    if (!n || *n < 1 || *n > 99) return std::nullopt;
    return static_cast<int>(*n);
}

void TArtDb::UseZwList(int n) {
    zwi_ = n;
    settings_.ZeiEinst = n;
    zwTabName_ = ZwFileName(n);
    zw_ = RecordSet();
    SelectZW();
    GetZwFormat();
}

// ---------------------------------------------------------------- definitions

ArtDefRec TArtDb::parseDef(std::string_view text, int position) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t blank = text.find_first_of(" \t", start);
        if (blank == std::string_view::npos) blank = text.size();
        if (blank > start) words.emplace_back(text.substr(start, blank - start));
        start = blank + 1;
    }
    words.resize(std::max<std::size_t>(words.size(), 5));
    ArtDefRec d;
    d.nam = words[0].empty() ? "Feld" + std::to_string(position) : words[0];
    d.ty = words[1];
    d.le = upperFold(words[2]);
    d.req = upperFold(words[3]);
    d.ind = upperFold(words[4]);
    const std::string type = upperFold(d.ty);
    d.freq = d.req == "T";
    if (auto n = parseInteger(d.le); n && *n > 0 && *n < 100000) {
        d.fle = static_cast<int>(*n);
    } else {
        d.fle = 36;
    }
    d.makesField = type == "S" || type == "I" || type == "F";
    d.isList = type == "L";
    d.fty = type == "I" ? FieldType::Integer : type == "F" ? FieldType::Float : FieldType::String;
    if (d.ind == "P") d.key = KeyKind::Primary;
    if (d.ind == "R") {
        // A species relation holds the record key of a species found by name, whatever type was written.
        d.key = KeyKind::SpeciesRelation;
        d.fty = FieldType::Integer;
        d.makesField = true;
    }
    return d;
}

std::vector<std::string> TArtDb::GetListDefs() {
    return {"Prim i 0 t p", "Parent i 0 t t", "Child i 0 t t"};
}

Status TArtDb::SetDefs(RecordSet& table, const std::vector<std::string>& defs, bool addScratch,
                       int& listPos) {
    listPos = -1;
    std::vector<FieldDef> fields;
    for (std::size_t j = 0; j < defs.size(); ++j) {
        const ArtDefRec d = parseDef(defs[j], static_cast<int>(j));
        if (j == 0 && d.key == KeyKind::None) return Status::failure(kFirstFieldError);
        if (d.isList) listPos = static_cast<int>(j);
        if (!d.makesField) continue;
        FieldDef f;
        f.name = d.nam;
        f.type = d.fty;
        f.width = d.fty == FieldType::String ? d.fle : 0;
        f.required = d.freq;
        f.key = d.key;
        fields.push_back(std::move(f));
    }
    if (addScratch) fields.push_back({"ResField", FieldType::String, 16, false, KeyKind::None});
    table.define(std::move(fields));
    return {};
}

// ---------------------------------------------------------------- species list import

Status TArtDb::openImportFile(const std::string& fname, char32_t delim, std::string_view foldedMarker,
                              std::string_view what, std::vector<std::string>& lines, std::string& d) const {
    if (!readLines(fname, lines)) return Status::failure("Kann " + fname + " nicht öffnen.");
    d.clear();
    appendUtf8(d, delim);
    if (lines.empty() || upperFold(lines[0]).rfind(foldedMarker, 0) != 0)
        return Status::failure("Diese Datei enthält keine " + std::string(what) + ". Ich importiere nicht.");
    return {};
}

Status TArtDb::ImportTable(const std::string& fname, char32_t delim, Progress& pt) {
    std::vector<std::string> lines;
    std::string d;
    if (Status opened = openImportFile(fname, delim, "ARTENLISTE", "Artenliste", lines, d); !opened)
        return opened;
    // Everything is checked before anything is written: a refused import leaves every store as it was.
    const std::vector<std::string> defs =
        lines.size() > 1 ? splitFields(lines[1], d) : std::vector<std::string>{};
    if (defs.size() < 15) return Status::failure(kDelimiterError);
    if (Status few = fewEnoughDefinitions(defs.size()); !few) return few;
    RecordSet arten, aggr;
    int listPos = -1, unused = -1;
    if (Status defined = SetDefs(arten, defs, true, listPos); !defined) return defined;
    if (Status defined = SetDefs(aggr, GetListDefs(), false, unused); !defined) return defined;
    if (listPos <= 0 || listPos != static_cast<int>(defs.size()) - 1) listPos = -1;

    // Column j belongs to definition j; the columns of definitions that make no field are skipped.
    const std::vector<int> fieldOfColumn = fieldsOfColumns(defs);
    const int scratch = arten.fieldCount() - 1;

    // A refused record or member is reported and the import goes on without it: the lines say "FEHLER"
    // and "WARNUNG" for the user, while the import as a whole still succeeds.
    Status status;
    pt.startBar(static_cast<std::int64_t>(lines.size()));
    std::int64_t read = 0;
    for (std::size_t n = 2; n < lines.size(); ++n) {
        if (trimBlanks(lines[n]).empty()) continue;
        const std::vector<std::string> cols = splitFields(lines[n], d);
        std::vector<std::string> texts(static_cast<std::size_t>(arten.fieldCount()));
        for (std::size_t j = 0; j < cols.size() && j < fieldOfColumn.size(); ++j)
            if (fieldOfColumn[j] >= 0 && fieldOfColumn[j] != scratch) texts[fieldOfColumn[j]] = cols[j];
        const std::string members =
            listPos >= 0 && listPos < static_cast<int>(cols.size()) ? cols[listPos] : "";
        auto who = [&] {
            auto col = [&](int f) {
                for (std::size_t j = 0; j < fieldOfColumn.size(); ++j)
                    if (fieldOfColumn[j] == f && j < cols.size()) return std::string(trimBlanks(cols[j]));
                return std::string();
            };
            return "Taxon Nr. " + col(art::kPrim) + " = " + col(art::kGenus) + " " + col(art::kSpecies) +
                   " " + col(art::kAutor);
        };
        // A key the record sets cannot hold is named with its line: it would otherwise come back as
        // another taxon.
        if (arten.fields()[art::kPrim].key == KeyKind::Primary) {
            const auto key = parseInteger(trimBlanks(texts[art::kPrim]));
            if (key && *key > kMaxRecordKey) {
                status.warning("FEHLER: Zeile " + std::to_string(n + 1) + ": Schlüssel " +
                               formatInteger(*key) + " ist zu groß (höchstens " +
                               formatInteger(kMaxRecordKey) + ") bei " + who() +
                               " konnte ich nicht einlesen.");
                continue;
            }
        }
        if (auto problem = arten.appendTexts(texts)) {
            // The field part names the first required field that is empty.
            std::string fieldPart;
            for (int f = 0; f < arten.fieldCount(); ++f) {
                if (arten.fields()[f].required && trimBlanks(texts[f]).empty()) {
                    fieldPart = " in Feld \"" + arten.fields()[f].name + "\"";
                    break;
                }
            }
            status.warning("FEHLER: Fehlender oder falscher Wert" + fieldPart + " bei " + who() +
                           " konnte ich nicht einlesen.");
            continue;  // a refused record stores no members either
        }
        const int row = arten.count() - 1;
        const std::int64_t own = arten.integer(row, art::kSys01).value_or(kMissingNumber);
        const std::int64_t prim = arten.integer(row, art::kPrim).value_or(kMissingNumber);
        for (const std::string& item : splitFields(trimBlanks(members), ",")) {
            const std::string_view m = trimBlanks(item);
            if (m.empty()) continue;
            const auto child = parseInteger(m);
            if (!child) {
                status.warning("WARNUNG: " + who() + ": Mitglied \"" + std::string(m) +
                               "\" ist keine Zahl. Ich habe diesen Bezug überlesen.");
                continue;
            }
            if (*child == own) {
                status.warning("WARNUNG: " + who() +
                               " schliesst sich selbst ein. Ich habe diesen Bezug überlesen.");
                continue;
            }
            if (auto refused = aggr.appendTexts(
                    {std::to_string(aggr.count() + 1), std::to_string(prim), std::to_string(*child)}))
                status.warning("WARNUNG: Zeile " + std::to_string(n + 1) + ": " + who() + ": Mitglied \"" +
                               std::string(m) + "\" kann ich nicht speichern (" + *refused +
                               "). Ich habe diesen Bezug überlesen.");
        }
        if (++read % 100 == 0) {
            pt.setStatus(alignRight(std::to_string(read), 8) + " Datensätze gelesen.");
            pt.setPosition(static_cast<std::int64_t>(n));
            if (pt.aborted()) {
                status.fail();
                return status;
            }
        }
    }
    if (arten.count() == 0) {
        // Replacing the database by an empty one would lose it for nothing.
        return status.error("Die Datei " + fname +
                            " enthält keinen Datensatz, den ich einlesen kann. Ich importiere nicht.");
    }
    pt.setStatus("Datenbank nachführen ...");
    // The meta file keeps its indicator lines; the species-list information is the import file's.
    std::vector<std::string> meta;
    for (const std::string& line : readMeta())
        if (!trimBlanks(line).empty() && line.front() != '$') meta.push_back(line);
    const std::size_t dollar = lines[0].find('$');
    if (dollar != std::string::npos) meta.push_back("$" + replaceAllOf(lines[0].substr(dollar + 1), d, ";"));

    // The three files are replaced together, each previous one kept as its backup (".~adb", ".~adl",
    // ".~adm"): a failure on any of them leaves all as they were.
    FileGroup group;
    std::string error;
    bool ok = true;
    for (auto [table, name] : {std::pair{&arten, &artTabName_}, std::pair{&aggr, &aggrTabName_}}) {
        std::string temp, target;
        ok = table->writeTemporary(*name, temp, target, error);
        if (!ok) break;
        group.addTemporary(target, temp, backupSuffix(*name));
    }
    if (ok && (!meta.empty() || fileExists(metaTabName_))) {
        const Status added =
            group.addBytes(metaTabName_, metaBytes(std::move(meta)), backupSuffix(metaTabName_));
        ok = added.ok();
        if (!ok) error = "Kann " + metaTabName_ + " nicht speichern: " + added.plain();
    }
    if (const Status placed = ok ? group.commit() : Status(); !placed.ok()) {
        ok = false;
        error = "Kann die Artenliste nicht speichern: " + placed.plain();
    }
    pt.hideStatus();
    if (!ok) return status.error(error);
    warnOfStaleIndicatorLists(arten, status);
    arten_ = std::move(arten);
    aggr_ = std::move(aggr);
    GetSchichtInfo();
    return status;
}

void TArtDb::warnOfStaleIndicatorLists(const RecordSet& fresh, Status& status) const {
    // An indicator list names its species by the record key of the list it was imported with. Keys whose
    // record is gone or now names another taxon would lend their values to the wrong species.
    const auto nameOf = [](const RecordSet& t, std::int64_t key) {
        const int row = t.rowOfKey(key);
        if (row < 0 || t.fieldCount() <= art::kAutor) return std::string();
        return upperFold(std::string(t.text(row, art::kGenus)) + " " +
                         std::string(t.text(row, art::kSpecies)) + " " +
                         std::string(t.text(row, art::kAutor)));
    };
    for (const std::string& line : readMeta()) {
        const std::optional<int> n = ZwNumberOf(line);
        if (!n) continue;
        RecordSet list;
        if (!list.load(ZwFileName(*n)).ok() || list.fieldCount() < 2) continue;
        std::int64_t stale = 0;
        for (int row = 0; row < list.count(); ++row) {
            const auto key = list.integer(row, 0);
            if (!key) continue;
            const std::string now = nameOf(fresh, *key);
            if (now.empty() || now != nameOf(arten_, *key)) ++stale;
        }
        if (stale > 0)
            status.warning(
                "WARNUNG: In der Zeigerwertliste " + line.substr(0, 4) + " verweisen " +
                std::to_string(stale) + " von " + std::to_string(list.count()) +
                " Einträgen auf Datensätze, die in der neuen Artenliste fehlen oder eine andere Art "
                "bezeichnen. Bitte die Zeigerwerte neu importieren.");
    }
}

// ---------------------------------------------------------------- indicator value list import

Status TArtDb::ImportZw(const std::string& fname, char32_t delim, Progress& pt, bool ask) {
    // A cancelled question ends the import without a message.
    const auto cancelled = [] {
        Status s;
        s.fail();
        return s;
    };
    int number = 1;
    if (ask) {
        DialogRequest r;
        r.kind = DialogKind::Text;
        r.name = "In welche Zeigerwertliste (1 - 99) ?";
        r.caption = r.name;
        r.items = {"Nummer eingeben"};
        r.initial = "1";
        const auto answer = ui_->dialog(r);
        if (!answer) return cancelled();
        const auto n = parseInteger(trimBlanks(*answer));
        if (!n || *n < 1 || *n > 99)
            return Status::failure("Die Nummer der Zeigerwertliste muss zwischen 1 und 99 liegen.");
        number = static_cast<int>(*n);
    }
    return importZw(fname, delim, pt, number, true);
}

Status TArtDb::ImportZwQuietly(const std::string& fname, char32_t delim, Progress& pt, int number) {
    if (number < 1 || number > 99)
        return Status::failure("Die Nummer der Zeigerwertliste muss zwischen 1 und 99 liegen.");
    return importZw(fname, delim, pt, number, false);
}

Status TArtDb::importZw(const std::string& fname, char32_t delim, Progress& pt, int number, bool ask) {
    const auto cancelled = [] {
        Status s;
        s.fail();
        return s;
    };
    const std::string target = ZwFileName(number);
    auto yes = [&](const std::string& question, bool overwrite = false) {
        DialogRequest r;
        r.kind = DialogKind::YesNoCancel;
        r.name = "Frage";
        r.caption = question;
        r.overwrite = overwrite;
        const auto a = ui_->dialog(r);
        return a && *a == "Y";
    };
    if (ask && fileExists(target) && !yes("Tabelle " + target + " exisiert bereits. Überschreiben?", true))
        return cancelled();
    std::vector<std::string> lines;
    std::string d;
    if (Status opened = openImportFile(fname, delim, "ZEIGERWERTE", "Zeigerwerte", lines, d); !opened)
        return opened;
    std::string formatPart;
    if (const std::size_t f = lines[0].find("$Format"); f != std::string::npos)
        formatPart = ";" + replaceAllOf(lines[0].substr(f), d, ";");
    if (ask && settings_.OhneAutor && !yes("Die Datenprüfung ist auf Prüfen ohne Autor gesetzt. Weiter?"))
        return cancelled();
    const std::vector<std::string> defs =
        lines.size() > 1 ? splitFields(lines[1], d) : std::vector<std::string>{};
    if (defs.size() < 2) return Status::failure(kDelimiterError);
    if (Status few = fewEnoughDefinitions(defs.size()); !few) return few;
    arten_.clearFilter();
    RecordSet zw;
    int listPos = -1;
    if (Status defined = SetDefs(zw, defs, false, listPos); !defined) return defined;
    const std::vector<int> fieldOfColumn = fieldsOfColumns(defs);

    // Names that find no species and refused values are reported; the list is read without them.
    Status status;
    std::int64_t read = 0;
    for (std::size_t n = 2; n < lines.size(); ++n) {
        if (trimBlanks(lines[n]).empty()) continue;
        const std::vector<std::string> cols = splitFields(lines[n], d);
        const std::string name(trimBlanks(cols[0]));
        Search(name, settings_.OhneAutor);
        if (settings_.OhneAutor) RedToMatchOhneAutor(name);
        // A synonym cycle has no accepted name: such a species counts as unknown.
        const int accepted = ma_.Count() == 1 ? ScanSyn('R', ma_.elements().front()) : -1;
        if (accepted < 0) {
            status.warning("Unbekannt oder mehrdeutig (nicht eingelesen): " + name);
            continue;
        }
        std::vector<std::string> texts(static_cast<std::size_t>(zw.fieldCount()));
        if (!texts.empty()) texts[0] = std::to_string(accepted);
        for (std::size_t j = 1; j < cols.size() && j < fieldOfColumn.size(); ++j)
            if (fieldOfColumn[j] > 0) texts[fieldOfColumn[j]] = std::string(trimBlanks(cols[j]));
        if (auto problem = zw.appendTexts(texts))
            status.warning("FEHLER: " + name + ": " + *problem + " (nicht eingelesen)");
        if (++read % 100 == 0) {
            pt.setStatus(alignRight(std::to_string(read), 8) + " Datensätze gelesen.");
            if (pt.aborted()) {
                status.fail();
                return status;
            }
        }
    }
    if (zw.count() == 0) {
        // An existing list would be replaced by an empty one.
        return status.error("Die Datei " + fname +
                            " enthält keinen Datensatz, den ich einlesen kann. Ich importiere nicht.");
    }
    pt.setStatus("Datenbank nachführen ...");
    // The list and its meta line are replaced together; the previous list stays as ".~z<number>".
    const std::string targetName = target.substr(target.rfind('/') + 1);
    const std::string sourceName = fname.substr(fname.rfind('/') + 1);
    const std::vector<std::string> meta =
        metaWith(ZwKey(number) + ";   " + targetName + ";   " + sourceName + formatPart);
    FileGroup group;
    std::string error, temp, written;
    bool ok = zw.writeTemporary(target, temp, written, error);
    if (ok) {
        group.addTemporary(written, temp, backupSuffix(target));
        Status placed = group.addBytes(metaTabName_, metaBytes(meta), backupSuffix(metaTabName_));
        if (placed.ok()) placed = group.commit();
        ok = placed.ok();
        if (!ok) error = "Kann " + target + " nicht speichern: " + placed.plain();
    }
    pt.hideStatus();
    if (!ok) return status.error(error);
    // The current list changes only once the import has succeeded.
    zwi_ = number;
    settings_.ZeiEinst = number;
    zwTabName_ = target;
    zw_ = std::move(zw);
    GetZwFormat();
    return status;
}

// ---------------------------------------------------------------- meta file

std::vector<std::string> TArtDb::readMeta() const {
    std::vector<std::string> lines;
    readLines(metaTabName_, lines);
    return lines;
}

std::string TArtDb::metaBytes(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end(), textLess);
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return encodeTextFile(text);
}

Status TArtDb::writeMeta(std::vector<std::string> lines) const {
    if (!writeFileAtomically(metaTabName_, metaBytes(std::move(lines))).ok())
        return Status::failure("Kann " + metaTabName_ + " nicht speichern.");
    return {};
}

Status TArtDb::UpdateMeta(std::string_view m) {
    return writeMeta(metaWith(m));
}

std::vector<std::string> TArtDb::metaWith(std::string_view m) const {
    std::vector<std::string> out;
    const std::string mine(m);
    const auto firstField = [](std::string_view s) { return fieldAt(s, 0); };
    bool replaced = false;
    for (const std::string& line : readMeta()) {
        if (trimBlanks(line).empty()) continue;
        const bool dollar = line.front() == '$';
        if (!mine.empty() && mine.front() == '$') {
            if (!dollar) out.push_back(line);
        } else if (!mine.empty()) {
            if (!dollar && firstField(line) == firstField(mine)) {
                if (!replaced) out.push_back(mine);
                replaced = true;
            } else {
                out.push_back(line);
            }
        } else if (dollar) {
            out.push_back(line);
        } else {
            // Without a line to merge: keep only the lines whose indicator file still exists.
            const std::string file(trimBlanks(fieldAt(line, 1)));
            const std::string folder = metaTabName_.substr(0, metaTabName_.rfind('/') + 1);
            if (!file.empty() && (fileExists(file) || fileExists(folder + file))) out.push_back(line);
        }
    }
    if (!mine.empty() && (mine.front() == '$' || !replaced)) out.push_back(mine);
    return out;
}

Status TArtDb::ClearMeta() {
    std::vector<std::string> out;
    for (const std::string& line : readMeta())
        if (!line.empty() && line.front() != '$') out.push_back(line);
    if (!out.empty() || fileExists(metaTabName_)) return writeMeta(std::move(out));
    return {};
}

std::vector<std::string> TArtDb::GetZwNames() const {
    std::vector<std::string> names;
    for (const std::string& line : readMeta()) {
        if (line.rfind("ZW", 0) != 0) continue;
        names.push_back(line.substr(0, line.find(";$Format")));
    }
    return names;
}

void TArtDb::GetZwFormat() {
    zwFormat_.clear();
    const std::string key = ZwKey(zwi_);
    for (const std::string& line : readMeta()) {
        if (fieldAt(line, 0) != key) continue;
        const std::size_t format = line.find("$Format");
        if (format == std::string::npos) return;
        const std::size_t semi = line.find(';', format);
        zwFormat_ = semi == std::string::npos ? std::string() : line.substr(semi + 1);
        return;
    }
}

void TArtDb::GetSchichtInfo() {
    schichtInfo_ = SchichtRec();
    for (const std::string& line : readMeta()) {
        if (line.rfind("$Schichten;", 0) != 0) continue;
        const std::vector<std::string> f = splitFields(line, ";");
        auto list = [](const std::string& s) {
            std::vector<std::string> items;
            for (const std::string& i : splitFields(s, ","))
                if (!trimBlanks(i).empty() && items.size() < 8) items.emplace_back(trimBlanks(i));
            return items;
        };
        if (f.size() > 1) schichtInfo_.Zusaetze = list(f[1]);
        if (f.size() > 2) {
            const std::string name = upperFold(trimBlanks(f[2]));
            for (int k = 1; k <= 8; ++k)
                if (name == "INFO" + twoDigits(k) ||
                    name == upperFold(arten_.fields().size() > static_cast<std::size_t>(art::kInfo01 + k - 1)
                                          ? arten_.fields()[art::kInfo01 + k - 1].name
                                          : std::string("-")))
                    schichtInfo_.InfoFieldNr = k;
        }
        if (f.size() > 3) schichtInfo_.Codes = list(f[3]);
        return;
    }
}

// ---------------------------------------------------------------- accessors

std::string TArtDb::field(int p, int position) const {
    const int row = arten_.rowOfKey(p);
    return row < 0 ? std::string() : arten_.text(row, position);
}

std::string TArtDb::GetLat(int p) const {
    const int row = arten_.rowOfKey(p);
    if (row < 0) return {};
    std::string epithet = arten_.text(row, art::kSpecies);
    if (settings_.ArtGross) {
        const std::string gross = arten_.text(row, art::kGross);
        auto raise = [&](std::size_t i) {
            if (i < epithet.size() && epithet[i] >= 'a' && epithet[i] <= 'z')
                epithet[i] = static_cast<char>(epithet[i] - 32);
        };
        if (!gross.empty() && gross != "0") {
            raise(0);
            if (gross == "2") {
                const std::size_t hyphen = epithet.find('-');
                if (hyphen != std::string::npos) raise(hyphen + 1);
            }
        }
    }
    std::string name = arten_.text(row, art::kGenus) + " " + epithet;
    const std::string autor = arten_.text(row, art::kAutor);
    if (!autor.empty()) name += " " + autor;
    return name;
}

std::string TArtDb::GetFam(int p) const {
    return field(p, art::kFamilie);
}
std::string TArtDb::GetTriv(int p, int OC) const {
    return OC >= 1 && OC <= 8 ? field(p, art::kTriv01 + OC - 1) : "";
}
std::string TArtDb::GetInfo(int p, int OC) const {
    return OC >= 1 && OC <= 8 ? field(p, art::kInfo01 + OC - 1) : "";
}

std::int64_t TArtDb::GetSysNr(int p, int OC) const {
    const int row = arten_.rowOfKey(p);
    if (row < 0 || OC < 1 || OC > 12) return kMissingNumber;
    return arten_.integer(row, art::kSys01 + OC - 1).value_or(kMissingNumber);
}

std::string TArtDb::GetT(int p, int OC) const {
    const int row = arten_.rowOfKey(p);
    if (row < 0 || OC < 1 || OC > 12) return "0";
    return arten_.text(row, art::kT01 + OC - 1);
}

int TArtDb::keyOfTaxon(std::int64_t n) const {
    if (arten_.fieldCount() <= art::kSys01) return -1;
    const std::vector<int> rows = arten_.rowsWithInteger(art::kSys01, n);
    return rows.empty() ? -1 : static_cast<int>(arten_.integer(rows.front(), art::kPrim).value_or(-1));
}

int TArtDb::GetZ(int p) const {
    const std::int64_t taxon = GetSysNr(p, 1);
    if (taxon == kMissingNumber || aggr_.fieldCount() < 3) return -1;
    for (int row : aggr_.rowsWithInteger(2, taxon))
        if (const int parent = aggregateOfRow(row); parent >= 0) return parent;
    return -1;
}

namespace {
std::string namesOf(const RecordSet& t, int first, int n) {
    std::string s;
    for (int k = 0; k < n; ++k) {
        if (k) s += ';';
        if (first + k < t.fieldCount()) s += t.fields()[first + k].name;
    }
    return s;
}
}  // namespace

std::string TArtDb::GetTrivNames() const {
    return namesOf(arten_, art::kTriv01, 8);
}
std::string TArtDb::GetSysNames() const {
    return namesOf(arten_, art::kSys01, 12);
}
std::string TArtDb::GetInfoNames() const {
    return namesOf(arten_, art::kInfo01, 8);
}

void TArtDb::GetAll(TMenge& M) const {
    M.Clear();
    if (arten_.fieldCount() < 1 || arten_.fields()[0].key != KeyKind::Primary) return;
    for (int row = 0; row < arten_.count(); ++row)
        if (arten_.passes(row)) M.Add(static_cast<int>(arten_.integer(row, art::kPrim).value_or(-1)));
}

std::string TArtDb::GetSysStates(int p, char& status) const {
    std::string line = GetLat(p) + " // ";
    for (int k = 1; k <= 12; ++k) line += GetT(p, k);
    const std::string current = GetT(p, settings_.SystEinst);
    status = current.empty() ? ' ' : current.front();
    if (status == 'A') line += " (gültiger Name)";
    return line;
}

bool TArtDb::HasLayers(int p) const {
    const std::string value = GetInfo(p, schichtInfo_.InfoFieldNr);
    return std::find(schichtInfo_.Codes.begin(), schichtInfo_.Codes.end(), value) !=
               schichtInfo_.Codes.end() &&
           !value.empty();
}

bool TArtDb::LayerRem(std::string_view name) const {
    for (const std::string& z : schichtInfo_.Zusaetze)
        if (!z.empty() && name.find(z) != std::string_view::npos) return true;
    return false;
}

Status TArtDb::CheckVerweise() const {
    Status status;
    if (arten_.fieldCount() <= art::kSynRel) return status;
    // One hash set of the taxon numbers answers every reference check; no scan per record.
    std::unordered_set<std::int64_t> taxa;
    taxa.reserve(static_cast<std::size_t>(arten_.count()));
    for (int row = 0; row < arten_.count(); ++row)
        if (auto n = arten_.integer(row, art::kSys01)) taxa.insert(*n);
    auto describe = [&](int row) {
        return arten_.text(row, art::kPrim) + " " + arten_.text(row, art::kGenus) + " " +
               arten_.text(row, art::kSpecies) + " " + arten_.text(row, art::kAutor);
    };
    std::set<std::int64_t> refs;
    for (int row = 0; row < arten_.count(); ++row)
        if (auto r = arten_.integer(row, art::kSynRel)) refs.insert(*r);
    std::vector<std::string> lines;
    for (std::int64_t r : refs) {
        if (taxa.count(r)) continue;
        const int row = arten_.rowsWithInteger(art::kSynRel, r).front();
        lines.push_back(std::to_string(r) + " in Datensatz " + describe(row));
    }
    // Each list is a warning under its heading: the database is usable, the references lead nowhere.
    const auto report = [&](const char* heading) {
        if (lines.empty()) return;
        status.warning(heading);
        for (std::string& line : lines) status.warning(std::move(line));
    };
    report("******* Leere Synonym-Verweise *******");
    lines.clear();
    if (aggr_.fieldCount() >= 3) {
        for (int row = 0; row < aggr_.count(); ++row) {
            const std::int64_t child = aggr_.integer(row, 2).value_or(kMissingNumber);
            if (taxa.count(child)) continue;
            const int prow = arten_.rowOfKey(aggregateOfRow(row));
            lines.push_back(std::to_string(child) + " in Datensatz " +
                            (prow >= 0 ? describe(prow) : aggr_.text(row, 1)));
        }
    }
    report("******* Leere Verweise in Aggregatsliste *******");
    return status;
}

bool TArtDb::CheckArtDb() const {
    if (fileExists(artTabName_)) return true;
    return false;
}

bool TArtDb::GetZw(int p, int f, double& x, std::string& s) const {
    x = kMissing;
    s.clear();
    if (zw_.fieldCount() < 1) return false;
    const std::vector<int> rows = zw_.rowsWithInteger(0, p);
    if (rows.empty()) return false;
    s = zw_.text(rows.front(), f);
    const auto v = parseNumber(trimBlanks(s));
    if (!v) return false;
    x = *v;
    return true;
}

}  // namespace tav
