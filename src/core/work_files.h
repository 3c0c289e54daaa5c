#pragma once
// The run's work files: the scratch tables through which sorting and many analyses pass a table, and the
// settings' own scratch copy. Each lies in the work folder under the user's name plus a fixed suffix
// ("Tavolex1.$tp", "anna.$bt" …), so that users sharing a folder keep apart, and all are deleted when the
// run ends: at normal exit and when SIGINT or SIGTERM stop it (see installTempFileCleanup).
//
// The program places them once the settings are known (setWorkPlace). Until then, and in a run without
// settings, they lie in a private folder below $TMPDIR (or /tmp) made on first use, so a test or a batch
// run never touches the work files of a desktop session of the same user.

#include <string>
#include <string_view>

namespace tav {

enum class WorkFile { Tp1, Tp2, Tp3, Tp4, Rt, Cl, Bt, Tt };
inline constexpr WorkFile kAllWorkFiles[] = {WorkFile::Tp1, WorkFile::Tp2, WorkFile::Tp3, WorkFile::Tp4,
                                             WorkFile::Rt,  WorkFile::Cl,  WorkFile::Bt,  WorkFile::Tt};
// "1.$tp", "2.$tp", "3.$tp", "4.$tp", ".$rt", ".$cl", ".$bt", "t.$tt".
std::string_view workFileSuffix(WorkFile f);

// folder + "/" + user + suffix.
std::string workFilePathIn(std::string_view folder, std::string_view user, WorkFile f);
// Deletes the work files of user in folder that exist, and with each scratch table ("1.$tp" … "4.$tp",
// "t.$tt") its companions ".PX", ".VAL", ".XG0", ".YG0". False when one of them could not be deleted.
bool deleteWorkFilesIn(std::string_view folder, std::string_view user);

// Moves the run's work files to folder under user's name. The files of the previous place are deleted
// first; the new ones are deleted at exit and by the signal cleanup. An empty folder or user goes back
// to the private folder.
void setWorkPlace(std::string folder, std::string user);
// The path of a run's work file, by kind or by its suffix ("1.$tp"); empty when no place can be made.
std::string workFile(WorkFile f);
std::string workFile(std::string_view suffix);
// Deletes the run's work files now (what happens at exit anyway); false when one stays.
bool deleteWorkFiles();

}  // namespace tav
