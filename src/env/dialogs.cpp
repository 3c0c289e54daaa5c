#include "env/dialogs.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "env/dialog_ui.h"
#include "env/window_rules.h"

namespace tav {

namespace {

// Appends the items of a definition as shown to req: markers removed (their style kept beside), the
// caller's texts appended.
void addItems(DialogRequest& req, const DlgDef& def, std::string_view DlgStr, int capacity) {
    const std::vector<std::string> extra =
        (DlgStr.empty() ? std::vector<std::string>{} : splitFields(DlgStr));
    req.itemStyles.resize(req.items.size());
    for (int i = 0; i < std::min(def.itemCount(), capacity); ++i) {
        std::string item = shownItem(def.item(i));
        if (i < static_cast<int>(extra.size()) && !extra[i].empty()) item += ": " + extra[i];
        req.items.push_back(std::move(item));
        req.itemStyles.push_back(itemStyle(def.item(i)));
    }
}

DialogRequest fromDef(DialogKind kind, std::string_view name, const DlgDef& def) {
    DialogRequest r;
    r.kind = kind;
    r.name = name;
    r.caption = def.caption();
    r.groups = {def.groupCaption()};
    return r;
}

char askYesNo(UiPort& ui, DialogKind kind, std::string_view text, bool overwrite = false) {
    DialogRequest r;
    r.kind = kind;
    r.name = "Frage";
    r.caption = text;
    r.overwrite = overwrite;
    auto a = ui.dialog(r);
    return a && !a->empty() ? a->front() : 'C';
}

}  // namespace

bool TRadioDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgStr,
                        std::string_view r, int& Res) {
    const DlgDef def = cat.GetDlgDef(DlgIts, r);
    DialogRequest req = fromDef(DialogKind::Radio, DlgIts, def);
    addItems(req, def, DlgStr, 32);
    req.initial = std::to_string(Res);
    auto a = ui.dialog(req);
    if (!a) return false;
    const auto i = parseInteger(*a);
    if (!i || *i < 0 || *i >= static_cast<std::int64_t>(req.items.size())) return false;
    Res = static_cast<int>(*i);
    return true;
}

bool TCheckDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgStr,
                        std::string_view r, std::string& aRes) {
    const DlgDef def = cat.GetDlgDef(DlgIts, r);
    DialogRequest req = fromDef(DialogKind::Check, DlgIts, def);
    addItems(req, def, DlgStr, kCapacity);
    req.initial = aRes.empty() ? def.defaultAnswer() : aRes;
    auto a = ui.dialog(req);
    if (!a) return false;
    aRes = *a;
    aRes.resize(std::max(aRes.size(), req.items.size()), ' ');
    return true;
}

bool TDRadioDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts1, std::string_view DlgIts2,
                         std::string_view r, int& Res) {
    const DlgDef d1 = cat.GetDlgDef(DlgIts1, r), d2 = cat.GetDlgDef(DlgIts2, r);
    DialogRequest req = fromDef(DialogKind::DRadio, DlgIts1, d1);
    req.groups.push_back(d2.groupCaption());
    addItems(req, d1, {}, 32);
    req.firstGroupSize = static_cast<int>(req.items.size());
    addItems(req, d2, {}, 32);
    req.initial = std::to_string(Res);
    auto a = ui.dialog(req);
    if (!a) return false;
    const auto v = parseInteger(*a);
    if (!v || *v < 0) return false;
    Res = static_cast<int>(*v);
    return true;
}

bool TDCheckDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts1, std::string_view DlgIts2,
                         std::string_view r, std::string& aRes) {
    const DlgDef d1 = cat.GetDlgDef(DlgIts1, r), d2 = cat.GetDlgDef(DlgIts2, r);
    DialogRequest req = fromDef(DialogKind::DCheck, DlgIts1, d1);
    req.groups.push_back(d2.groupCaption());
    addItems(req, d1, {}, kCapacity);
    req.firstGroupSize = static_cast<int>(req.items.size());
    addItems(req, d2, {}, kCapacity);
    req.initial = aRes.empty() ? d1.defaultAnswer() + d2.defaultAnswer() : aRes;
    auto a = ui.dialog(req);
    if (!a) return false;
    aRes = *a;
    return true;
}

bool TButtonDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgStr,
                         std::string_view r, int& pressed) {
    const DlgDef def = cat.GetDlgDef(DlgIts, r);
    DialogRequest req = fromDef(DialogKind::Buttons, DlgIts, def);
    addItems(req, def, DlgStr, 10);
    auto a = ui.dialog(req);
    if (!a) return false;
    const auto v = parseInteger(*a);
    if (!v || *v < -1 || *v >= static_cast<std::int64_t>(req.items.size())) return false;
    pressed = static_cast<int>(*v);
    return true;
}

std::string TComboDlg::Box::options() const {
    if (type == 0) return {};
    if (type == 'E') return "E " + text;
    std::string s(1, type);
    for (const std::string& slot : slots) s += ',' + slot;
    return s;
}

std::vector<TComboDlg::Box> TComboDlg::boxes(const DlgDef& def, std::string_view aRes1,
                                             std::string_view aRes2, const std::vector<std::string>& aCat) {
    const std::vector<std::string> res1 = splitFields(aRes1), res2 = splitFields(aRes2);
    auto field = [](const std::vector<std::string>& f, std::size_t i) {
        return i < f.size() ? f[i] : std::string();
    };
    std::vector<Box> out;
    for (int i = 0; i < def.itemCount(); ++i) {
        Box b;
        std::string item = def.item(i);
        for (;;) {
            if (item.rfind("$B", 0) == 0) {
                b.bold = true;
                item = std::string(trimBlanks(item.substr(2)));
            } else if (item.rfind("$S", 0) == 0) {
                b.gap = true;
                item.erase(0, 2);
            } else {
                break;
            }
        }
        const std::size_t open = item.find('[');
        b.label = item.substr(0, open);
        if (i < static_cast<int>(aCat.size()) && !aCat[i].empty()) b.label = aCat[i];
        if (open != std::string::npos && item.size() > open + 1) {
            // The choices run from "[" to the last character.
            std::string list = item.substr(open + 1, item.size() - open - 2);
            std::size_t start = 0;
            for (;;) {
                const std::size_t comma = list.find(',', start);
                std::string choice = list.substr(start, comma == std::string::npos ? comma : comma - start);
                std::string slot;
                if (choice.size() >= 2 && choice[0] == '$') {
                    b.type = choice[1];
                    b.optionChoice = static_cast<int>(b.choices.size());
                    const std::size_t blank = choice.find(' ');
                    const std::string shown =
                        blank == std::string::npos ? std::string() : choice.substr(blank + 1);
                    choice = b.type == 'D' ? field(res1, i) : shown;
                    slot = std::string(1, b.type) + ' ' + field(res2, i);
                }
                b.choices.push_back(choice);
                b.slots.push_back(slot);
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        }
        if (b.choices.empty()) {
            b.type = 'E';
            b.text = field(res1, i);
        } else if (b.type == 'D') {
            b.text = field(res1, i);
        } else {
            const auto n = parseInteger(field(res1, i));
            b.chosen =
                n && *n >= 0 && *n < static_cast<std::int64_t>(b.choices.size()) ? static_cast<int>(*n) : 0;
        }
        out.push_back(std::move(b));
    }
    return out;
}

void TComboDlg::results(const std::vector<Box>& boxes, std::string& aRes1, std::string& aRes2) {
    aRes1.clear();
    aRes2.clear();
    for (const Box& b : boxes) {
        const std::string options = b.options();
        const bool textBox = b.type == 'D' || b.type == 'E';
        aRes1 += ';';
        aRes2 += ';';
        if (options.empty() && b.type != 0) continue;
        aRes1 += textBox ? b.text : std::to_string(b.type == 'C' ? b.chosen - 2 : b.chosen);
        if (!textBox && !options.empty()) {
            const std::size_t comma = options.find(',');
            aRes2 += comma == std::string::npos ? std::string() : options.substr(comma + 1);
        }
    }
    if (!aRes1.empty()) aRes1.erase(0, 1);
    if (!aRes2.empty()) aRes2.erase(0, 1);
}

bool TComboDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgCh1,
                        std::string_view DlgCh2, std::string& aRes1, std::string& aRes2,
                        const std::vector<std::string>& aCat) {
    const DlgDef def = cat.GetDlgDef(DlgIts, DlgCh1, DlgCh2);
    std::vector<Box> bs = boxes(def, aRes1, aRes2, aCat);
    DialogRequest req = fromDef(DialogKind::Combo, DlgIts, def);
    for (std::size_t i = 0; i < bs.size(); ++i) {
        const Box& b = bs[i];
        std::string item = b.label;
        if (!b.choices.empty()) {
            item += '[';
            for (std::size_t k = 0; k < b.choices.size(); ++k) item += (k ? "," : "") + b.choices[k];
            item += ']';
        }
        req.items.push_back(std::move(item));
        req.itemStyles.push_back({b.bold, b.gap});
        req.comboBoxes.push_back({b.label, b.choices, b.type, b.optionChoice, b.chosen, b.text});
        if (i > 0) req.initial += ';';
        req.initial += b.type == 'D' || b.type == 'E' ? b.text : std::to_string(b.chosen);
    }
    auto a = ui.dialog(req);
    if (!a) return false;
    const std::vector<std::string> answers = splitFields(*a);
    for (std::size_t i = 0; i < bs.size() && i < answers.size(); ++i) {
        Box& b = bs[i];
        if (b.type == 'D' || b.type == 'E') {
            b.text = answers[i];
            continue;
        }
        const std::size_t eq = answers[i].find('=');
        const auto n = parseInteger(answers[i].substr(0, eq));
        if (!n || *n < 0 || *n >= static_cast<std::int64_t>(b.choices.size())) continue;
        b.chosen = static_cast<int>(*n);
        if (eq != std::string::npos && b.chosen == b.optionChoice)
            b.slots[b.chosen] = std::string(1, b.type) + ' ' + answers[i].substr(eq + 1);
    }
    results(bs, aRes1, aRes2);
    return true;
}

bool TInputDlg::Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view aCmds,
                        std::string& aRes, ButtonAction aButtonAction) {
    const DlgDef def = cat.GetDlgDef(DlgIts);
    DialogRequest req = fromDef(DialogKind::Input, DlgIts, def);
    addItems(req, def, {}, kCapacity);
    const int n = static_cast<int>(req.items.size());
    req.fieldButtons.assign(static_cast<std::size_t>(n), '0');
    req.buttonCaptions.assign(static_cast<std::size_t>(n), std::string());
    if (!aCmds.empty()) {
        // The second definition: its default holds one button flag per field, its items from n + 1 on
        // the captions of those buttons.
        const DlgDef cmds = cat.GetDlgDef(aCmds);
        const std::string& flags = cmds.defaultAnswer();
        for (int i = 0; i < n; ++i) {
            const char f = i < static_cast<int>(flags.size()) ? flags[i] : ' ';
            req.fieldButtons[i] = f == '1' || f == '2' ? f : '0';
            if (n + i < 32) req.buttonCaptions[i] = shownItem(cmds.item(n + i));
        }
        if (aButtonAction) {
            std::vector<std::string> commands;
            for (int i = 0; i < n; ++i) commands.push_back(cmds.item(i));
            req.onFieldButton = [commands, action = std::move(aButtonAction)](
                                    int field, std::vector<std::string>& values) {
                if (field < 0 || field >= static_cast<int>(commands.size())) return false;
                return action(commands[static_cast<std::size_t>(field)], field, values);
            };
        }
    }
    req.initial = aRes;
    auto a = ui.dialog(req);
    if (!a) return false;
    // Every field's text followed by ";", as many as there are fields.
    std::vector<std::string> fields = splitFields(*a);
    aRes.clear();
    for (std::size_t i = 0; i < req.items.size(); ++i)
        aRes += (i < fields.size() ? fields[i] : std::string()) + ';';
    return true;
}

bool TListDlg::Execute(UiPort& ui, std::string_view aCaption, const std::vector<std::string>& Lst,
                       bool aMultiSel, int& aRes, std::vector<int>* aResL, std::string_view aFormat) {
    DialogRequest req;
    req.name = aCaption;
    req.caption = aCaption;
    req.items = Lst;
    req.multi = aMultiSel;
    req.lineFormats = aFormat;
    req.kind = DialogKind::List;
    if (aRes > 0 && !Lst.empty()) req.initial = std::to_string(std::min<std::size_t>(aRes, Lst.size() - 1));
    const auto a = ui.dialog(req);
    if (!a) return false;
    // The current line first, then the other chosen ones; numbers outside the list are dropped.
    std::vector<int> picks;
    for (FieldReader f(*a, ','); auto field = f.next();) {
        const auto n = parseInteger(*field);
        if (n && *n >= 0 && *n < static_cast<std::int64_t>(Lst.size()) &&
            std::find(picks.begin(), picks.end(), *n) == picks.end())
            picks.push_back(static_cast<int>(*n));
    }
    if (picks.empty()) return false;
    aRes = picks.front();
    if (aResL) *aResL = picks;
    return true;
}

void TNonModalMsg::Show(std::string_view Capt, std::string_view aMsg) {
    caption_ = Capt;
    ui_.showStatusWindow(caption_, aMsg);
}

void TNonModalMsg::SetMsg(std::string_view aMsg) {
    ui_.showStatusWindow(caption_, aMsg);
}

bool TMemoDlg::Execute(UiPort& ui, std::string_view capt, std::string& res) {
    return Execute(ui, 0, true, capt, {}, nullptr, res);
}

bool TMemoDlg::Execute(UiPort& ui, char aOC, bool aDefModal, std::string_view capt,
                       std::function<void(int)> aToolButton, const std::vector<std::string>* Lst,
                       std::string& res) {
    DialogRequest req;
    req.kind = DialogKind::Memo;
    req.name = capt;
    req.caption = capt;
    req.mode = aOC;
    req.modal = aDefModal;
    req.onAction = std::move(aToolButton);
    if (Lst) {
        // Lines are shown, not edited: the text is theirs, one per line.
        req.items = *Lst;
        for (std::size_t i = 0; i < Lst->size(); ++i) req.initial += (i ? "\n" : "") + (*Lst)[i];
    } else {
        req.initial = res;
    }
    auto a = ui.dialog(req);
    if (!a) return false;
    if (aDefModal && !Lst) res = *a;
    return true;
}

bool TGridDlg::Execute(UiPort& ui, std::string_view Capt, std::vector<std::string>& aLst, int aOC,
                       std::string& res, int p, std::function<void(int)> aToolButton) {
    const TableKind kind = tableKind(aOC);
    if (kind.saveAtOnce) {
        // Nothing is shown: the lines go to the file at once.
        const Status written = writeFileAtomically(res, encodeTextFile(tableFileText(aLst, false)));
        if (!written) ui.showError(written.plain());
        return written.ok();
    }
    if (aLst.empty()) aLst.emplace_back();
    std::vector<std::string> lines = aLst;
    if (aOC == 10) {
        // Column 2 shows the flags of res: "Nein" for "1", "Ja" otherwise, from the second data row on.
        for (std::size_t r = 1; r < lines.size(); ++r) {
            std::vector<std::string> cells = splitFields(lines[r]);
            if (cells.size() < 2) cells.resize(2);
            cells[1] = r - 1 < res.size() && res[r - 1] == '1' ? "Nein" : "Ja";
            lines[r] = cells[0];
            for (std::size_t c = 1; c < cells.size(); ++c) lines[r] += ";" + cells[c];
        }
    }
    DialogRequest req;
    req.kind = DialogKind::Grid;
    req.name = Capt;
    req.caption = Capt;
    req.tableKind = aOC;
    req.currentRow = std::clamp(p, 0, static_cast<int>(lines.size()) - 1);
    req.modal = kind.modal;
    req.onAction = std::move(aToolButton);
    std::vector<std::string> edited;
    if (kind.modal) req.editedLines = &edited;
    req.items = std::move(lines);
    auto a = ui.dialog(req);
    if (!a) return false;
    if (!kind.modal) return true;
    if (!edited.empty()) aLst = std::move(edited);
    if (aOC == 10) {
        // The flags again, one per data row from the second: "1" where column 2 says "Nein".
        const std::vector<std::string>& shown = aLst.size() > 1 ? aLst : req.items;
        res.clear();
        for (std::size_t r = 1; r < shown.size(); ++r) res += fieldAt(shown[r], 1) == "Nein" ? '1' : '0';
        return true;
    }
    res = *a;
    return true;
}

bool TGridDlg::hasChangeButton(int aOC) {
    return tableKind(aOC).changeButton;
}

std::optional<std::string> TGridDlg::changedCell(int aOC, int col, int row, std::string_view text) {
    if (row <= 1 || !hasChangeButton(aOC)) return std::nullopt;
    // The next entry of a cycle; an entry that is not in it starts the cycle.
    auto cycle = [&](std::initializer_list<std::string_view> steps) -> std::string {
        const std::vector<std::string_view> v(steps);
        for (std::size_t i = 0; i < v.size(); ++i)
            if (v[i] == text) return std::string(v[(i + 1) % v.size()]);
        return std::string(v.front());
    };
    switch (aOC) {
        case 8:
            if (col == 2 || col == 3) return cycle({"Ja", "Nein"});
            return std::nullopt;
        case 10:
            if (col == 2) return cycle({"Ja", "Nein"});
            return std::nullopt;
        case 11:
            if (col == 2) return cycle({"1/n", "1 / Wurzel(n)", "0"});
            return std::nullopt;
        case 12:
            if (text == "-") return std::nullopt;
            if (col == 3)
                return cycle({"A Gewichtung 1/x", "B Gewichtung 1/Wurzel(x)", "C keine Gewichtung"});
            if (col == 4) return cycle({"a Deckung nicht gewichtet", "b Deckung gewichtet"});
            if (col == 5) return cycle({"0.01", "0.02", "0.05", "0.1", "0.2", "0.5", "1.0"});
            return std::nullopt;
        case 13:
            // The composite indicator options: per level its separator, its type and its levels.
            if (col == 2 || col == 5)
                return cycle({"1   kein Trennz. (einzelne Zeichen)", "2   Trennz. = Punkt (.)",
                              "3   Trennz. = Doppelpunkt (:)", "4   Trennz. = Strich (-)",
                              "5   Trennz. = Leerzeichen ( )", "6   Trennz. = Komma (,)"});
            if (col == 3 || col == 6)
                return cycle({"0   Nicht zusammengesetzt", "1   Hierarchisch (keine Gewichtung)",
                              "2   Liste ohne Gewichtung", "3   Liste 1/Anzahl Einträge",
                              "4   Liste 1/Wurzel(Einträge)", "5   Geordnet ohne Gewichtung",
                              "6   Geordnet linear abgewichtet", "7   Geordnet geometrisch abgew."});
            if (col == 4 || col == 7)
                return cycle({"=3   genau nur Stufe 3", "-3   Stufen 1 bis 3, unvollst. -> Klassen",
                              "*3   Stufen 1 bis 3, unvollst. -> NA", "*0   alle Stufen, unvollst. -> NA",
                              "-0   alle Stufen, unvollst. -> Klasse"});
            return std::nullopt;
        case 17:
            if (col == 3) return cycle({"links", "rechts"});
            return std::nullopt;
        case 19:
            if (col == 2)
                return cycle({"skalieren", "linear mit-transformieren", "quadratisch mit-transformieren",
                              "nicht ändern"});
            return std::nullopt;
        case 20:
            if (col == 2) return cycle({"skalieren", "nicht ändern"});
            return std::nullopt;
        case 21:
            if (col == 3) return cycle({"Aufsteigend", "Abfallend"});
            return std::nullopt;
        case 25:
            if (col == 1) return cycle({"+", "-"});
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

bool TNonModalDlg::Execute(UiPort& ui, std::string_view Capt, std::string_view Msg, bool DoEdit,
                           std::string& s) {
    DialogRequest req;
    req.name = Capt;
    req.caption = Capt;
    if (DoEdit) {
        req.kind = DialogKind::Text;
        req.items = {std::string(Msg)};
        req.initial = s;
        auto a = ui.dialog(req);
        if (!a) return false;
        s = *a;
        return true;
    }
    req.kind = DialogKind::Buttons;
    req.groups = {std::string(Msg)};
    req.items = {"Weiter", "Abbruch"};
    auto a = ui.dialog(req);
    return a && *a == "0";
}

bool TTavDirDlg::Execute(UiPort& ui, std::string& res) {
    DialogRequest req;
    req.kind = DialogKind::Folder;
    req.name = "Verzeichnis wählen";
    req.caption = "Verzeichnis wählen";
    req.initial = res;
    auto a = ui.dialog(req);
    if (!a) return false;
    res = *a;
    return true;
}

char AskYesNoCancel(UiPort& ui, std::string_view text) {
    return askYesNo(ui, DialogKind::YesNoCancel, text);
}
char AskYesNoCancelAll(UiPort& ui, std::string_view text) {
    return askYesNo(ui, DialogKind::YesNoCancelAll, text);
}

char ConfirmOverwrite(UiPort& ui, const std::string& file) {
    if (!fileExists(file)) return 'Y';
    return askYesNo(ui, DialogKind::YesNoCancel, file + " existiert bereits. Überschreiben?", true);
}

void ShowNotImplemented(UiPort& ui, std::string_view name) {
    ui.showInfo(std::string(name) + ": noch nicht implementiert.");
}

}  // namespace tav
