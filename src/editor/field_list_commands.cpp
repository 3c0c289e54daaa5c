// The commands of the header-field list: choosing its file, checking a list opened as a table before it
// is saved, and "Nachschlagen", which looks up what the active grid shows: a field of the template for
// a header row name, a value of the header-field list for a header cell, a species of the species
// database for a species row.

#include <algorithm>
#include <set>

#include "core/file_io.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/field_list.h"
#include "editor/file_commands.h"
#include "editor/session.h"
#include "editor/taxon_lookup.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kLookUp = 105010000;           // "Nachschlagen"
constexpr std::int64_t kChooseFieldList = 109020100;  // "Angaben wählen"
constexpr std::int64_t kCheckAndSave = 109020200;     // "Angaben prüfen und speichern"

// "Nachschlagen" in the species grids: the cursor row's name looked up in the species database.
Status lookUpSpeciesRow(Session& s) {
    TEditBuffer& b = s.buffer();
    const int row = s.cursorRow;
    if (row < 0 || row >= b.GetRowCount('A')) return {};
    if (b.GetTyp('A', row) != 'A') {
        s.ui().showInfo("Ungültiger Zeilentyp");
        return commandFailed();
    }
    std::string name(b.GetZl('A', row));
    if (!lookUpSpeciesName(s, name)) return {};
    if (name != b.GetZl('A', row)) b.PutZl('A', name, row);
    return {};
}

Status lookUp(Session& s) {
    switch (s.activeGrid) {
        case 1:
            chooseKnownField(s);
            return {};
        case 2: {
            char kind = 0;
            chooseFieldValue(s, true, kind);
            return {};
        }
        case 3:
        case 4:
            return lookUpSpeciesRow(s);
        default:
            return {};
    }
}

// "Angaben wählen": another header-field list, read at once.
Status chooseFieldListFile(Session& s) {
    const std::optional<std::string> file =
        askFile(s, DialogKind::OpenFile, "Angaben wählen", s.settings().AngName);
    if (!file) return {};
    if (!fileExists(*file)) {
        const Catalogue& cat = s.catalogue();
        s.ui().showError(cat.GetMsg("File") + " \"" + *file + "\": " + cat.GetMsg("NotFoundLC"));
        return commandFailed();
    }
    s.settings().AngName = *file;
    s.loadFieldList();
    return {};
}

// "Angaben prüfen und speichern": a list with doubled names or values is shown, not saved.
Status checkAndSave(Session& s) {
    if (s.commitEdit) s.commitEdit();
    const std::vector<std::string> errors = fieldListErrors(s);
    if (!errors.empty()) {
        int current = 0;
        TListDlg::Execute(s.ui(), "Fehlerliste", errors, false, current);
        return commandFailed();
    }
    return SaveTab(s, false) ? Status() : commandFailed();
}

}  // namespace

void chooseKnownField(Session& s) {
    if (s.commitEdit) s.commitEdit();
    TEditBuffer& b = s.buffer();
    const std::vector<std::string>& known = b.Kopf();
    if (known.empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgEmptyPr"));
        return;
    }
    const int row = s.cursorRow;
    if (row < 0 || row >= b.GetRowCount('K')) return;
    // The entry where the row's name would stand, or the last one when it sorts behind all.
    const std::string name(b.GetZl('K', row));
    int current =
        static_cast<int>(std::lower_bound(known.begin(), known.end(), name, textLess) - known.begin());
    current = std::min(current, static_cast<int>(known.size()) - 1);
    if (!TListDlg::Execute(s.ui(), "Nachschlagen", known, false, current)) return;
    const std::vector<std::string> f = splitFields(known[static_cast<std::size_t>(current)]);
    if (f[0] != name) b.PutZl('K', f[0], row);
    if (f.size() > 1 && !f[1].empty() && f[1].front() != b.GetTyp('K', row)) b.PutTyp('K', f[1].front(), row);
    const std::string margin = f.size() > 2 ? f[2] : std::string();
    if (margin != b.GetP('K', row)) b.PutP('K', margin, row);
}

std::vector<std::string> fieldListErrors(const Session& session) {
    const TEditBuffer& b = session.buffer();
    std::vector<std::string> errors;
    std::set<std::string> names;
    for (int r = 0; r < b.GetRowCount('K'); ++r) {
        const std::string name(b.GetZl('K', r));
        // The stored templates and the additions are no fields: their lines may repeat.
        if (name.find("$/") != std::string::npos) continue;
        const std::string n = std::to_string(r + 1);
        if (!name.empty() && !names.insert(upperCaseOnly(name)).second)
            errors.push_back("Zeile " + n + ", doppelter Zeilenkopf: " + name);
        // The parts of a template ("$" + field name) may repeat, its codes and texts not.
        if (name.starts_with('$')) continue;
        std::set<std::string> values;
        for (int c = 0; c < b.GetColCount(); ++c) {
            const std::string_view value = b.Get('K', c, r);
            if (value.empty()) continue;
            if (!values.insert(foldCodeText(trimBlanks(value))).second)
                errors.push_back("Zeile " + n + ", Spalte " + std::to_string(c + 1) +
                                 " doppelter Eintrag: " + std::string(value));
        }
    }
    return errors;
}

void addFieldListCommands(Dispatcher& d) {
    d.add(kLookUp, lookUp);
    d.add(kChooseFieldList, chooseFieldListFile);
    d.add(kCheckAndSave, checkAndSave);
}

}  // namespace tav
