#include "editor/window_commands.h"

#include <algorithm>
#include <string_view>

#include "editor/command_handlers.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kLockMenu = 110110000;     // "Gitter sperren"
constexpr std::int64_t kLockFirst = 110110100;    // "1. Gitter (Feldnamen)" … + 100 per grid
constexpr std::int64_t kGridFirst = 102170201;    // "Feldnamen (Gitter 1)" … + 1 per grid
constexpr std::int64_t kShowNumbers = 109090400;  // "Anweisungsnummern anzeigen (ein/aus)"
constexpr std::int64_t kRecording = 109090100;    // "Aufzeichnen (ein/aus)"
constexpr std::int64_t kQuickSearch = 110080200;  // "Schnellsuche (ein/aus)"
constexpr std::int64_t kOverview = 110080300;     // "Übersicht gemäss Eingabe (ein/aus)"
constexpr std::int64_t kBorderFirst = 102170301;  // "Begrenzung der Datengitter" › "nach rechts", …
constexpr std::int64_t kByEntry = 107050200;  // "Nach Eingabe sortiert anzeigen (ein/aus)", the same switch
constexpr std::int64_t kInputFilter = 110090300;  // "Eingabefilter (ein/aus)"

}  // namespace

bool GridEditable(Session& session, int grid) {
    bool locked = false;
    for (int g = 1; g <= 4; ++g)
        if ((grid == 0 || grid == g) && session.gridLocked[static_cast<std::size_t>(g - 1)]) locked = true;
    if (!locked) return true;
    return AskYesNoCancel(session.ui(), "Das Gitter ist gesperrt. Aktion trotzdem ausführen?") == 'Y';
}

bool isChecked(const Session& session, const CommandEntry& entry) {
    const std::int64_t n = entry.number;
    if (n == kLockMenu) {
        for (bool locked : session.gridLocked)
            if (locked) return true;
        return false;
    }
    for (int g = 0; g < 4; ++g)
        if (n == kLockFirst + 100 * g) return session.gridLocked[static_cast<std::size_t>(g)];
    const auto& d = session.settings().Diversa;
    if (n == 0 && entry.caption == std::string_view("Vorlage jedesmal erfragen (ein/aus)"))
        return d.Vorlage == 1;
    switch (n) {
        case kShowNumbers:
            return session.showCommandNumbers;
        case kRecording:
            return session.recordingList().on();
        case kQuickSearch:
            return d.Schnellsuche == 1;
        case kOverview:
        case kByEntry:
            return d.UeberEingabe == 1;
        case kInputFilter:
            return session.inputFilterOn;
        default:
            return false;
    }
}

void addWindowCommands(Dispatcher& d) {
    for (int g = 0; g < 4; ++g) {
        d.add(kLockFirst + 100 * g, [g](Session& s, const CommandEntry&) {
            bool& locked = s.gridLocked[static_cast<std::size_t>(g)];
            locked = !locked;
            return Status();
        });
        d.add(kGridFirst + g, [g](Session& s, const CommandEntry&) {
            s.activeGrid = g + 1;
            return Status();
        });
    }
    // "Begrenzung der Datengitter": the boundary between the grids 50 pixels right or left, 25 down or
    // up (the height belongs to the part the cursor is in).
    const struct {
        std::int64_t number;
        int dx, dy;
    } borders[] = {{kBorderFirst, 50, 0},
                   {kBorderFirst + 1, -50, 0},
                   {kBorderFirst + 2, 0, 25},
                   {kBorderFirst + 3, 0, -25}};
    for (const auto& border : borders)
        d.add(border.number, [border](Session& s) {
            RBildEinst& b = s.settings().BildEinst;
            if (border.dx != 0)
                b.G1Width = std::max(60, (b.G1Width > 0 ? b.G1Width : s.shownLeftWidth) + border.dx);
            if (border.dy != 0) {
                std::int32_t& h = s.activeGrid >= 3 ? b.G1HeightA : b.G1HeightK;
                h = std::max(40, (h > 0 ? h : s.shownUpperHeight) + border.dy);
            }
            return Status();
        });
    d.add(kShowNumbers, [](Session& s, const CommandEntry&) {
        s.showCommandNumbers = !s.showCommandNumbers;
        return Status();
    });
}

}  // namespace tav
