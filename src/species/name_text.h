#pragma once
// Species names as text: the additions after "/" (layer marks /B /S /K, uncertainty marks /cf. /qs. and
// free additions), plain names without authors, and the joker rules of search texts. None of this needs
// the species database.

#include <string>
#include <string_view>
#include <vector>

namespace tav {

// Normal form of the additions of a name: every "/"-separated segment after the first "/" trimmed and
// mapped ("B" → " /B", "S" → " /S", "K" → " /K", "CF" or "CF." → " /cf.", "QS" or "QS." → " /qs.",
// anything else " /" + the segment as written); "" when there is none. Empty segments are no additions.
std::string GetZusatz(std::string_view name);

// With the check on and a non-empty list: every addition of z must be an entry of the ";"-separated list
// (letter case ignored); then z is rewritten in the list's spelling. False (z unchanged) at the first one
// that is not in the list. True when the check is off or z is empty. An entry written with a leading "/"
// counts without it.
bool CheckZusatz(std::string& z, bool checkOn, std::string_view zusatzList);

// Addition flags, position 1 … 7: any addition, "B", "S", "K", "cf.", "qs.", any other addition; "1" sets
// a flag, missing positions are unset. RmZusatz returns a name without "/" unchanged; otherwise the part
// before the first "/" without trailing blanks, followed (unless flag 1) by the normal forms of the
// additions that no flag selects.
std::string RmZusatz(std::string_view flags, std::string_view name);
bool HasZusatz(std::string_view flags, std::string_view name);

// Six flags "B", "S", "K", "cf.", "qs.", free → the addition text, written as uncertainty mark, " /K",
// " /S", " /B"; layers receives the number of layer additions (0 … 3). "/qs." wins over "/cf.". The free
// flag adds nothing here: its text is asked for by the caller.
std::string ZusatzFromFlags(std::string_view flags, int* layers = nullptr);
// The name's additions as six flags, and its free additions (normal form) in rest.
std::string ZusatzToFlags(std::string_view name, std::string* rest = nullptr);

// Plain name: genus and epithet, with " s.str.", " s.l.", " aggr." or the rank word and infraspecific
// epithet ("subsp. x", "var. x") kept, authors dropped. Additions (from the first "/") never count.
std::string DoGetLatPlain(std::string_view s);
// DoGetLatPlain of the name plus its normalised additions.
std::string GetPlainName(std::string_view name);

// A search text split into its words: first word, second word, rest (authors), before the first "/".
// Runs of blanks count once (the rest keeps single blanks between its words); empty words and "*" become
// "?".
struct SearchWords {
    std::string w1, w2, rest;
    bool all = false;  // the text is "???" alone (blanks ignored): every record
};
SearchWords splitSearchText(std::string_view s);

// Joker rules of one word (blanks around it ignored), t receiving the tail or "":
// - "?", "" and "*" give "?" (any);
// - trailing "*"s are dropped (prefix search): 'Carex*' gives 'CAREX';
// - then the first "*" — or, with AllowPkt and no "*" in the word, the first "." — splits the word into
//   prefix s and tail t, provided something follows it: 'Car*ex' gives 'CAR' + 'EX', 'C.rex' with
//   AllowPkt 'C' + 'REX'; a "." at the end stays part of the prefix ('C.' gives 'C.'), and without
//   AllowPkt 'C.rex' gives 'C.REX'. An empty prefix ('*ex') becomes "?". Later stars stay in the tail;
// - prefix and tail are folded with upperFold.
void CheckJoker(std::string& s, std::string& t, bool AllowPkt);

}  // namespace tav
