// The commands of the grids' editing: undo and redo.

#include "editor/command_handlers.h"
#include "editor/dispatch.h"
#include "editor/session.h"

namespace tav {

namespace {

constexpr std::int64_t kUndo = 102010000;  // "Rückgängig / Abbruch"
constexpr std::int64_t kRedo = 102020000;  // "Widerrufen"

}  // namespace

void addGridCommands(Dispatcher& d) {
    d.add(kUndo, [](Session& s, const CommandEntry&) {
        if (!s.undoList().undo()) s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoUndo"));
        return Status();
    });
    d.add(kRedo, [](Session& s, const CommandEntry&) {
        if (!s.undoList().redo()) s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRedo"));
        return Status();
    });
}

}  // namespace tav
