#pragma once
// The work environment of a program run: where its settings file lies (found through the installation
// file in the shared data folder, with an optional list of users), reading and writing that file,
// defaults, and the string forms of the option groups.
//
// The settings object never asks the user anything itself: a multi-user installation needs a user name
// and may offer to enter a new user in the list, and those two questions come in as UserQuestions.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_io.h"  // replaceExtension
#include "core/status.h"
#include "core/work_files.h"
#include "env/project_settings_records.h"

namespace tav {

class Catalogue;

// The path that stands for "no settings file"; letter case does not matter.
inline constexpr std::string_view kNoSettingsFile = "NoName.$vp";
bool isNoSettingsFile(std::string_view path);

// Installation modes.
inline constexpr char kSingleUser = 'E';
inline constexpr char kMultiUser = 'M';
inline constexpr char kGuest = 'G';

// The shared data folder: $PUBLIC/TavolexData when PUBLIC is set, else $XDG_DATA_HOME/TavolexData,
// else ~/.local/share/TavolexData. Empty or relative XDG_DATA_HOME values are ignored, as XDG asks.
std::string dataFolderFor(std::string_view publicDir, std::string_view xdgDataHome, std::string_view home);
std::string systemDataFolder();

// The folder part of a path without the final "/"; "." for a bare file name.
std::string folderOf(std::string_view path);

// Font text: size, style, charset and name joined by single blanks ("12 0 0 Arial"). Reading never
// fails: "," are dropped, a word that is no integer gives 10, 0, 0, an empty name gives "Arial".
std::string fontToText(const RFont& f);
RFont fontFromText(std::string_view text);

// A rectangle from thousandths of the screen width, each multiplied by the screen scale and rounded
// to the nearest integer (ties to even).
PixelRect scaledRect(int top, int bottom, int left, int right, double screenScale);
std::int32_t scaled(int thousandths, double screenScale);

// A user name becomes part of work-file names that are deleted at exit, and the first word of its line
// in the user list, so it must not reach outside the work folder or hold a blank. False with the
// reason in why.
bool isAcceptableUserName(std::string_view name, std::string* why = nullptr);

// An R string literal, quotes included, that evaluates to exactly s.
std::string rStringLiteral(std::string_view s);

// The first-start script of the external statistics environment: the template "tavFirst.R" beside
// definitionsFile is copied to target with its "sourcedir <- " line set to the folder of
// definitionsFile and its "workdir <- " line set to workDir. Asking before overwriting is the caller's.
Status WriteRFirst(const std::string& definitionsFile, const std::string& workDir, const std::string& target);

// The multi-user questions. Without them a user name that is not known counts as cancelled and a
// user missing from the list stays a guest.
struct UserQuestions {
    // The user name; std::nullopt when the user cancelled, which ends the program.
    std::function<std::optional<std::string>()> askUserName;
    // Whether a user missing from the user list wants to be entered in it.
    std::function<bool(const std::string& userName)> askEnterUser;
};

class TProjectSettings : public RProjectSettings {
  public:
    // The catalogue supplies the defaults of the option groups and must outlive the settings. The
    // object starts with every field at its default and no settings file.
    TProjectSettings(const Catalogue& catalogue, std::string programFolder,
                     std::string dataFolder = systemDataFolder(), double screenScale = 1.0);

    RProjectSettings& record() { return *this; }
    const RProjectSettings& record() const { return *this; }

    // Run state.
    const std::string& settingsPath() const { return settingsPath_; }
    const std::string& workFolder() const { return workFolder_; }
    const std::string& userName() const { return userName_; }
    char installationMode() const { return mode_; }
    const std::string& dataFolder() const { return dataFolder_; }
    const std::string& programFolder() const { return programFolder_; }
    double screenScale() const { return screenScale_; }
    // Names the settings file and its work folder without touching any file (for example a batch run
    // with a given environment).
    void setSettingsPath(std::string path);
    // A user name already known in this run (it stays across environment switches). Refused names
    // leave the name unknown.
    bool setUserName(std::string name, std::string* why = nullptr);
    void setUserQuestions(UserQuestions q) { questions_ = std::move(q); }
    // Set when the user cancelled the user-name question: the program is to end.
    bool quitRequested() const { return quit_; }

    // Finds the settings file through the installation file, applies SetDefaults and reads the file
    // when there is one; the value says whether one was read. Messages for the user (refused user name,
    // refused lines, a settings or installation file that could not be read or written) are warnings:
    // the run goes on without. The status fails only when the user cancelled the user name
    // (quitRequested).
    Result<bool> ReadIniSettings();
    // Writes the settings file (unless there is none) and the installation file.
    Status WriteIniSettings();

    // The installation file: mode, settings path, user list.
    std::string installationFilePath() const;
    Status writeInstallationFile() const;
    // Makes path the settings file of the installation: creates it empty when missing, then writes the
    // installation file. The caller rebuilds the settings from it.
    Status switchEnvironment(const std::string& path);

    // Defaults.
    void SetDefaults();
    void SetExternDefaults(RExtern& R) const;
    void SetMainFontDefaults();
    void SetColorDefaults();
    void SetCluDefaults();
    void SetMapDefaults();
    // OC names the variable: '1', '2', '3', 'B' (biplot) or 'S' (species); any other resets all five.
    void SetMapVarsDefaults(char OC);
    void SetMapCoordDefaults();
    void SetMapOffsDefaults();
    static void SetMapFontDefaults(RVars& Vars);
    static void SetMapLineDefaults(RVars& Vars);
    static void CopyMapFonts(const RVars& VarsA, RVars& varsB);

    // The settings file. Reading goes over the current values; a refused line keeps the field as it
    // was, is reported as a warning with its line number, and the lines after it are still read. A file
    // that cannot be read fails.
    Status ReadFromFile(const std::string& fname);
    // its: three "1"/"0" for the main, window and graphics groups.
    Status WriteToFile(const std::string& fname, std::string_view its) const;
    // The lines WriteToFile writes, also for showing the settings.
    std::vector<std::string> settingsLines(std::string_view its) const;
    void WriteMainSettings(std::vector<std::string>& lines) const;
    void WriteBildEinst(std::vector<std::string>& lines) const;
    void WriteMapSettings(std::vector<std::string>& lines) const;
    // One "key;value" line as the file holds it; false when the value is refused (the field keeps its
    // value). Unknown keys are ignored and count as read.
    bool readSettingsLine(std::string_view line, std::string* problem = nullptr);

    // Group strings: one "1"/"0" per field; an empty string takes the catalogue's default answer.
    void GetEditorMargin(std::string_view s);
    void SetEditorMargin(std::string& s) const;
    void GetCurScrEinst(std::string_view s);
    void SetCurScrEinst(std::string& s) const;
    void GetSchnellEinst(std::string_view s);
    void SetSchnellEinst(std::string& s) const;
    void GetPruef(std::string_view s);
    void SetPruef(std::string& s) const;
    void GetDetEinst(std::string_view s);
    void SetDetEinst(std::string& s) const;
    void GetSozEinstKenn(std::string_view s);
    void SetSozEinstKenn(std::string& s) const;
    // Numeric groups; they never fail (bad text takes the group's fallback).
    void GetSystEinst(std::string_view s);
    void GetZeiEinst(std::string_view s);
    void GetDeckEinst(std::string_view s);
    void GetGesDeckEinst(std::string_view s);
    void GetDelimEinst(std::string_view s);
    void GetQualiEinst(std::string_view s);
    void GetExportCodeEinst(std::string_view s);
    void GetSozEinstSim(std::string_view s);

    // Puts a table path at the front of the file history; an entry already there moves to the front.
    void enterFileHistory(const std::string& path);

    // Paths.
    std::string defaultEnvironmentPath() const;  // "Standard.$VP" in the data folder
    std::string defaultMapPath() const;
    std::string speciesListPath() const;  // species list for a new species database
    std::string indicatorValuesPath() const;
    std::string externDefinitionsPath() const;
    std::string exchangeFolder() const;
    std::string cataloguePath() const;
    std::string templateFilePath() const;                      // the settings path with ".$ta"
    std::string mapCompanionPath(std::string_view ext) const;  // ".$mp" or ".$pl"
    // The per-user work files of these settings: user name + suffix in the work folder (the data
    // folder when there is no settings file).
    std::string workFilePath(WorkFile f) const;
    // Makes these the run's work files (core/work_files): whoever owns the settings for the run calls
    // it once they are read, and again after the environment or the user changes.
    void placeWorkFiles() const;
    // Deletes every per-user work file with its companions; false when one could not be removed.
    bool deleteWorkFiles() const;

  private:
    const std::string& workFilesFolder() const;
    std::string workFilesUser() const;
    std::string catalogueDefault(std::string_view dlgName, std::string_view builtIn) const;
    void setWindowDefaults();
    Status readInstallationFile();
    Status refuseUser(const std::string& why);

    const Catalogue* catalogue_;
    std::string programFolder_;
    std::string dataFolder_;
    double screenScale_;
    std::string settingsPath_;
    // The settings file the installation file names but this run could not read (missing, perhaps on
    // a drive not mounted yet, or unreadable). The run works without settings, and the installation
    // file keeps naming it, so the next run finds it again.
    std::string unavailablePath_;
    std::string workFolder_;
    std::string userName_;
    char mode_ = kSingleUser;
    bool quit_ = false;
    UserQuestions questions_;
};

}  // namespace tav
