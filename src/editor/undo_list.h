#pragma once
// The undo list of the editor. It stays empty until edits are recorded as undo steps; the session owns
// it so that a macro and the desktop undo the same steps.

namespace tav {

class UndoList {};

}  // namespace tav
