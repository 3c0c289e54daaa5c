#pragma once
// The handlers of the registry's commands, one family a file. Each adds the handlers of the commands it
// builds to the dispatcher; a command no family adds says that it is not available yet.

namespace tav {

class Dispatcher;

// "Datei": opening, saving, closing, new tables, templates, the file history.
void addFileCommands(Dispatcher& dispatcher);
// The work environment and the option dialogs that write settings, the cover-code commands.
void addEnvironmentCommands(Dispatcher& dispatcher);
// The window's state: grid locks, the toggles and the display settings.
void addWindowCommands(Dispatcher& dispatcher);
// Editing in the grids: undo and redo, cut and paste, filling, numbering, the next entry.
void addGridCommands(Dispatcher& dispatcher);
// Marking by hand from the menus, the cursor keys, the switch between the two parts.
void addCursorCommands(Dispatcher& dispatcher);
// Find, replace and count, rows and releves with the search text, locating a row.
void addFindCommands(Dispatcher& dispatcher);
// Text operations on fields, special characters, path names, the memo editor, numbers for texts.
void addFieldCommands(Dispatcher& dispatcher);
// The species list of a releve and its contents, the input filter.
void addSpeciesListCommands(Dispatcher& dispatcher);
// Marking by rules, duplicates, marks into margins and a header row, splitting a date row.
void addMarkingRuleCommands(Dispatcher& dispatcher);
// Merging marked rows, duplicate rows, marked and equal releves.
void addMergeCommands(Dispatcher& dispatcher);
// The margin commands of "Randfelder bearbeiten" and "Zeilentypen automatisch anpassen".
void addMarginCommands(Dispatcher& dispatcher);
// "Daten prüfen", the constraint codes of header rows and their table.
void addValidationCommands(Dispatcher& dispatcher);
// The header-field list: choosing it, checking it, "Nachschlagen".
void addFieldListCommands(Dispatcher& dispatcher);
// Formulas applied to the cells ("Felder auswerten, transformieren").
void addFormulaCommands(Dispatcher& dispatcher);
// The statistical evaluations of rows and columns.
void addStatisticsCommands(Dispatcher& dispatcher);
// The tests of rows, the category tests and the spatial indices.
void addTestCommands(Dispatcher& dispatcher);
// Pairs of header rows evaluated releve by releve.
void addPairedRowCommands(Dispatcher& dispatcher);
// The similarity matrices, the similarities to references and the cluster analysis.
void addSimilarityCommands(Dispatcher& dispatcher);
// Diversity indices, species turnover, alpha, beta and gamma diversity.
void addDiversityCommands(Dispatcher& dispatcher);
// Macros and the macro variables.
void addMacroCommands(Dispatcher& dispatcher);
// The diagnostic species tables and the selection of the best diagnostic species.
void addDiagnosticCommands(Dispatcher& dispatcher);
// Species occurrence per releve as new header rows, frequencies and constancies.
void addOccurrenceCommands(Dispatcher& dispatcher);
// Indicator values of releves and species, the current indicator list, joining indicator files.
void addIndicatorCommands(Dispatcher& dispatcher);

}  // namespace tav
