#pragma once
// What the buttons beside the fields of the environment's input forms do. The form calls them with
// the text of its field and puts back what they give.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tav {

class Session;

// "FindDir", "FindFileTab", "FindFileExe": the folder or file the user picks, starting from the field's
// text (a program without its extension); nothing when cancelled or for another command.
std::optional<std::string> inputFormButton(Session& session, std::string_view command,
                                           const std::string& field);

// "GetExternDefaults": the default definitions file, exchange folder and command prefix of the external
// functions, for fields 1 to 3.
std::array<std::string, 3> externDefaults(const Session& session);

// "WriteRFirst": writes the first-start script from the template "tavFirst.R" beside the definitions file
// (field 1), with its folder as "sourcedir" and the exchange folder (field 2) as "workdir", to the file
// the user picks. False with a message when it could not.
bool writeFirstStartScript(Session& session, const std::string& definitions, const std::string& exchange);

}  // namespace tav
