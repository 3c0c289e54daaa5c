#pragma once
// What the command families share: a failure without a message of its own, a whole number or a text
// asked for, the one header row a command works on.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/weight_view.h"
#include "core/menge.h"
#include "core/status.h"
#include "editor/dispatch.h"
#include "platform/ui_port.h"
#include "table/table_change.h"

namespace tav {

class Session;
class TEditBuffer;

// The part of the active grid: header rows ('K') in grids 1 and 2, species rows ('A') in grids 3 and 4.
char activePart(const Session& session);
// The marked positions, ascending, or all count positions when none is marked.
std::vector<int> markedOrAll(const TMenge& marks, int count);
// The marking set of the rows of a part.
inline MarkSet rowMarkSet(char part) {
    return part == 'K' ? MarkSet::MroK : MarkSet::MroA;
}

// A command that failed after saying why (or after the user refused): the statement fails quietly.
inline Status commandFailed() {
    Status s;
    s.fail();
    return s;
}

// The handler, run only when every grid may be edited: for a locked grid the user confirms first.
SessionHandler whenEditable(SessionHandler handler);

// A whole number from low to high asked in a text dialog preset with preset. Nothing when cancelled; a
// message, a refused macro answer and nothing when the answer is no such number.
std::optional<int> askWholeNumber(Session& session, std::string_view caption, std::string_view prompt,
                                  int preset, int low, int high);

// A line of text asked in a text dialog; nothing when cancelled. The find commands and the field
// operations ask this way, so that a macro's argument answers.
std::optional<std::string> askText(Session& session, std::string_view caption, std::string_view prompt,
                                   std::string_view preset);

// A file chosen in an open or save dialog (the first one where several may be chosen), started at
// initial; nothing when cancelled or nothing was chosen.
std::optional<std::string> askFile(Session& session, DialogKind kind, std::string_view caption,
                                   const std::string& initial = {});

// A number asked in a text dialog preset with preset; nothing when cancelled, or after the message
// "Ungültige Zahl: …" (and a refused macro answer) when the answer is no number.
std::optional<double> askNumber(Session& session, std::string_view caption, std::string_view prompt,
                                std::string_view preset);
// Appends a header row behind the last one with its name, row type and values (empty ones left out);
// its position.
int appendHeaderRow(TEditBuffer& buffer, std::string_view name, char type,
                    const std::vector<std::string>& values);
// Appends empty header rows behind the last one, each with its name and row type; the position of the
// first.
int appendHeaderRows(TEditBuffer& buffer, const std::vector<std::pair<std::string, char>>& rows);

// A result as a cell: "NA" when it is missing or not finite, else the number with decimals places at
// most.
std::string numberOrNa(double x, int decimals);
// The species rows an analysis considers: the marked ones, or all when none is marked; rows of another
// type than 'A' are never species.
TMenge consideredSpeciesRows(const TEditBuffer& buffer);
// The cover weights of the species rows in rows (all when null) through the session's cover-code
// system; what the cells needed joins the command's cover counts, which are reported when it ends.
WeightView readCoverWeights(Session& session, const TMenge* rows = nullptr);
// The header row that works on one header row works on: the cursor row in grid 2, the one marked header
// row in grid 1; -1 after "Funktion nur für 1 Kopfdatenzeile verfügbar." otherwise.
int singleHeaderRow(Session& session);

}  // namespace tav
