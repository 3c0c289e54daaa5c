#include "editor/taxon_lookup.h"

#include <vector>

#include "editor/session.h"
#include "species/name_lookup.h"

namespace tav {

bool lookUpSpeciesName(Session& session, std::string& name, bool quiet) {
    TArtDb* db = session.speciesDb();
    if (!CheckArtDb(db, session.ui(), session.catalogue())) return false;
    // "//" in a name the user typed stands for one "/".
    std::string typed = name;
    for (std::size_t at; (at = typed.find("//")) != std::string::npos;) typed.erase(at, 1);
    std::vector<std::string> lines;
    std::string result = typed;
    if (!LookupName(*db, session.ui(), session.catalogue(), 'L', 0, lines, result, &session.inputFilter,
                    session.inputFilterOn, false, quiet))
        return false;
    name = result;
    return true;
}

}  // namespace tav
