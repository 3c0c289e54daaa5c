#include "editor/window_commands.h"

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
    d.add(kShowNumbers, [](Session& s, const CommandEntry&) {
        s.showCommandNumbers = !s.showCommandNumbers;
        return Status();
    });
}

}  // namespace tav
