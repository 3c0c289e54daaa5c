#pragma once
// The editor's pen: one click steps a cell to the next entry of its cycle, the other mouse button to the
// previous one. Species cells step along the cover-code system (TDeckInter::PenNext/PenPrior); header
// cells step by the type of their row with the functions below. Every function treats an empty entry
// as blank, ignores blanks around the entry and hands a blank result back as "".

#include <string>

namespace tav {

// The number cycle of kinds 'F', 'I' and 'P': blank, 0, 0.1, 0.3, 1, 2, 5, 10, 15, 20, 25, 30, 40 … 100,
// blank; kind 'I' leaves out 0.1 and 0.3. Entries off the cycle continue by their first character.
void PenNumberNext(char kind, std::string& s);
// Backwards: blank, 100, 90 … 30, 20, 15, 10, 5, 2, 1, 0.3, 0.1, blank (25 gives 20, 0 gives blank);
// kind 'I' goes from 1 to blank.
void PenNumberPrior(char kind, std::string& s);

// Header rows: 'P' the number cycle, 'B' blank → Ja → Nein → blank, 'U' blank → Ja → Nein → Unsicher →
// blank; PenPriorHeader goes the same cycle backwards. Other row types leave s as it is.
void PenNextHeader(char rowType, std::string& s);
void PenPriorHeader(char rowType, std::string& s);

}  // namespace tav
