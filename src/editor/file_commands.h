#pragma once
// Opening, saving and closing the table as the commands of the file menu do it: with the question
// whether unsaved changes are to be saved, the file dialogs (which a macro answers) and the file history.

#include <string>

namespace tav {

class Session;

// Loads a table file (layout 1) or a text layout, asking for the file first with ask; without a name
// and without ask a new table from the template. True when a table was loaded or created.
bool OpenTab(Session& session, int layout, bool ask, const std::string& name);
// Writes the table, asking for the name with saveAs or when it has none. True when it was written.
bool SaveTab(Session& session, bool saveAs);
// Asks whether unsaved changes are to be saved; true when the caller may replace or discard the table.
bool CheckSaved(Session& session);

}  // namespace tav
