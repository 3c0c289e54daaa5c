#pragma once
// Looking up species names against the species database with the user in the loop: location by number
// or prefix, the choice lists of candidates (with layer variants, synonym and aggregate listings), asking
// for free additions, the editor's one-name lookup, the name valid in another reference system, and the
// input filter read from a table file.
//
// Everything here works on the database's shared result set Ma, as the database's own searches do: a
// caller that needs a result across one of these calls copies it first.

#include <string>
#include <string_view>
#include <vector>

#include "core/menge.h"
#include "env/catalogue.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "species/art_db.h"

namespace tav {

// True when db exists and its species file exists; otherwise the "no species list" error and false.
bool CheckArtDb(const TArtDb* db, UiPort& ui, const Catalogue& cat);

// The key of the record whose column (OC 'I' Info n+1, 'N' Sys n+1, 'T' Triv n+1) equals the number in
// s (text before "/", trimmed). A negative number is a record key itself; 0, no number or an unknown
// column give -1.
int LocateInfo(TArtDb& db, char OC, int n, std::string_view s);

// A record chosen from those whose column (OC 'I' Info n, 'T' Triv n, otherwise the key) begins with the
// longest prefix of s that still begins some value. -1 for "nothing", -9 for cancel; when no record
// qualifies the user is told and the result is -1.
int LocateLike(TArtDb& db, UiPort& ui, char OC, int n, std::string_view s);

// Asks for a free addition: from the additions list when the check of additions is on and the list is not
// empty, otherwise as text. Returns " /" + the answer, or "" when nothing was given.
std::string AskZusatz(TArtDb& db, UiPort& ui);

// The choice list over the records of db.Ma (mode 'Y': their listing lines; mode 'X': the aggregate
// listing of name). Modes 'f', 'i', 'm', 't' allow several lines: their indices go to selection and the
// lines to lines. Returns the chosen line (the first of several), "" when cancelled or when there is no
// species database.
std::string ChooseName(TArtDb& db, UiPort& ui, const Catalogue& cat, char mode, bool offerLayers, int n,
                       std::string_view name, std::vector<int>* selection = nullptr,
                       std::vector<std::string>* lines = nullptr);

// The editor's lookup of one name. Modes: 'L' lookup, 'Z' show the record ('z' the same without window,
// for callers that only want the field lines), 'S' synonym list, 'A' aggregate listing, 'm' several
// names separated by ";", and the column modes of TArtDb::SearchInfo ('F', 'f', 'I', 'i', 'N', 'R',
// 'T', 't'). Returns true when a replacement was found (and the additions are valid); name always
// becomes the replacement (or the input without additions) followed by its normalised additions.
bool LookupName(TArtDb& db, UiPort& ui, const Catalogue& cat, char mode, int n,
                std::vector<std::string>& lines, std::string& name, const TMenge* preferSet, bool usePrefer,
                bool seq, bool quiet, std::vector<int>* selection = nullptr);

// The name valid in reference system `system` (1 … 12) for name, with its additions; the user chooses
// when the name leads to several valid names. A name that is not found stays as it is. False only when
// the choice was cancelled.
bool GetSysName(TArtDb& db, UiPort& ui, const Catalogue& cat, int system, std::string_view name,
                std::string& result);

// Fills set with the keys of the species rows ("A" lines) of a table file that name exactly one record.
// False when the file cannot be read.
bool ReadInputFilter(TArtDb& db, const std::string& tableFile, TMenge& set, Progress& progress);

}  // namespace tav
