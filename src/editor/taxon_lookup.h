#pragma once
// The editor's lookup of one species name, as "Nachschlagen" in the species grids uses it.

#include <string>

namespace tav {

class Session;

// Looks name up in the species database (lookup mode "L", with the editor's input filter; quiet as
// "Nachschlagen" asks it, or with the lookup's own messages); a "//" the user typed counts as one "/".
// True when the lookup gave a name: name is then the found name with the typed additions. False, with
// name unchanged, when there is no species database (after its message), the name is unknown or the
// choice was cancelled.
bool lookUpSpeciesName(Session& session, std::string& name, bool quiet = true);

}  // namespace tav
