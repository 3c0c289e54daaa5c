#include "editor/command_support.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/numbers.h"
#include "core/text.h"
#include "editor/session.h"
#include "editor/window_commands.h"

namespace tav {

std::optional<int> askWholeNumber(Session& session, std::string_view caption, std::string_view prompt,
                                  int preset, int low, int high) {
    DialogRequest r;
    r.kind = DialogKind::Text;
    r.name = caption;
    r.caption = caption;
    r.items = {std::string(prompt)};
    r.initial = std::to_string(preset);
    const std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer) return std::nullopt;
    const auto n = parseInteger(trimBlanks(*answer));
    if (!n || *n < low || *n > high) {
        session.ui().showError(std::string(caption) + ": \"" + *answer + "\" ist keine ganze Zahl von " +
                               std::to_string(low) + " bis " + std::to_string(high) + ".");
        session.macroAnswers().refuse();
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

std::optional<std::string> askText(Session& session, std::string_view caption, std::string_view prompt,
                                   std::string_view preset) {
    DialogRequest r;
    r.kind = DialogKind::Text;
    r.name = caption;
    r.caption = caption;
    r.items = {std::string(prompt)};
    r.initial = preset;
    return session.ui().dialog(r);
}

std::optional<std::string> askFile(Session& session, DialogKind kind, std::string_view caption,
                                   const std::string& initial) {
    DialogRequest r;
    r.kind = kind;
    r.name = caption;
    r.caption = caption;
    r.initial = initial;
    std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer || answer->empty()) return std::nullopt;
    // Where several may be chosen the first counts.
    return answer->substr(0, answer->find('|'));
}

std::vector<int> markedOrAll(const TMenge& marks, int count) {
    if (!marks.empty()) return marks.elements();
    std::vector<int> all(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    return all;
}

char activePart(const Session& s) {
    return s.activeGrid == 1 || s.activeGrid == 2 ? 'K' : 'A';
}

int singleHeaderRow(Session& s) {
    const TEditBuffer& b = s.buffer();
    if (s.activeGrid == 2 && s.cursorRow >= 0 && s.cursorRow < b.GetRowCount('K')) return s.cursorRow;
    if (s.activeGrid == 1 && b.MroK().Count() == 1) return b.MroK().elements().front();
    s.ui().showError("Funktion nur für 1 Kopfdatenzeile verfügbar.");
    return -1;
}

std::optional<double> askNumber(Session& s, std::string_view caption, std::string_view prompt,
                                std::string_view preset) {
    const auto text = askText(s, caption, prompt, preset);
    if (!text) return std::nullopt;
    const auto v = parseNumber(trimBlanks(*text));
    if (!v) {
        s.ui().showError(s.catalogue().GetMsg("InvalidNumber") + ": " + *text);
        s.macroAnswers().refuse();
    }
    return v;
}

int appendHeaderRow(TEditBuffer& b, std::string_view name, char type,
                    const std::vector<std::string>& values) {
    const int at = b.GetRowCount('K');
    b.InsRow('K', at);
    b.PutZl('K', name, at);
    b.PutTyp('K', type, at);
    for (std::size_t c = 0; c < values.size(); ++c)
        if (!values[c].empty()) b.Put('K', values[c], static_cast<int>(c), at);
    return at;
}

int appendHeaderRows(TEditBuffer& b, const std::vector<std::pair<std::string, char>>& rows) {
    const int first = b.GetRowCount('K');
    b.InsRows('K', first, static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        b.PutZl('K', rows[i].first, first + static_cast<int>(i));
        b.PutTyp('K', rows[i].second, first + static_cast<int>(i));
    }
    return first;
}

TMenge consideredSpeciesRows(const TEditBuffer& b) {
    TMenge rows;
    for (int r : markedOrAll(b.MroA(), b.GetRowCount('A')))
        if (b.GetTyp('A', r) == 'A') rows.Add(r);
    return rows;
}

std::string numberOrNa(double x, int decimals) {
    return isMissing(x) || !std::isfinite(x) ? std::string("NA") : formatNumber(x, decimals);
}

WeightView readCoverWeights(Session& s, const TMenge* rows) {
    WeightView v =
        readWeights(s.buffer(), s.coverInterpreter(), s.coverInterpreter().settings().NaAccept, rows);
    s.coverCounts += v.counts;
    return v;
}

SessionHandler whenEditable(SessionHandler handler) {
    return [handler = std::move(handler)](Session& s) -> Status {
        if (!GridEditable(s, 0)) return {};
        return handler(s);
    };
}

}  // namespace tav
