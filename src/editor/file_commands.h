#pragma once
// Opening, saving and closing the table as the commands of the file menu do it: with the question
// whether unsaved changes are to be saved, the file dialogs (which a macro answers) and the file history.

#include <string>
#include <string_view>

namespace tav {

class Session;

// Loads a table file (layout 1) or a text layout, asking for the file first with ask; without a name
// and without ask a new table from the template. True when the table asked for was loaded or the new
// one created; a file that cannot be opened leaves a new table and gives false.
bool OpenTab(Session& session, int layout, bool ask, const std::string& name);
// Writes the table, asking for the name with saveAs or when it has none. True when it was written.
bool SaveTab(Session& session, bool saveAs);
// Asks whether unsaved changes are to be saved; true when the caller may replace or discard the table.
bool CheckSaved(Session& session);

// The file history, most recent first: the current table goes to its top (unless it has no name).
void PutFileHist(Session& session);
// The n-th entry that is not empty, from 1; with shorten, a path of more than 32 characters becomes its
// first folder, "/.../" and the file name. Empty when there is no such entry.
std::string GetFileHist(const Session& session, int n, bool shorten);

// The name "Tabelle temporär machen" gives the table for a macro's argument: "-" none ("NoName.tab"),
// "*text" text before the extension, "text*" text before the file name, any other text the new name;
// "*" inside text is a blank.
std::string temporaryName(std::string_view current, std::string_view argument);

}  // namespace tav
