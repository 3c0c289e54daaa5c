// The installation file in the shared data folder: which settings file the program uses, for one user
// ("Einzelplatz") or for every user of a list ("Mehrplatz").

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/file_io.h"
#include "core/text.h"
#include "env/project_settings.h"
#include "env/project_settings_text.h"

namespace tav {

namespace {

constexpr std::size_t kMaxInstallationBytes = 16u << 20;
constexpr const char* kSingleUserLine = "Einzelplatz";
constexpr const char* kMultiUserLine = "Mehrplatz";

struct UserLine {
    std::string_view user;
    std::string_view path;
};

// "user path": the first blank-separated word is the user, the rest of the line is the path, so that a
// path may hold blanks.
UserLine splitUserLine(std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !isBlank(line[pos])) ++pos;
    return {line.substr(start, pos - start), trimBlanks(line.substr(pos))};
}

std::string printable(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return out;
}

// The messages of a step whose failure the run gets over: the user learns of them, and the run goes on.
Status asWarnings(const Status& s) {
    Status out;
    for (const Message& m : s.messages())
        out.add(m.severity() == Severity::Error ? Message::text(Severity::Warning, m.plain()) : m);
    return out;
}

std::string workFolderOf(const std::string& settingsPath) {
    return settingsPath.empty() || isNoSettingsFile(settingsPath) ? std::string() : folderOf(settingsPath);
}

}  // namespace

Status TProjectSettings::refuseUser(const std::string& why) {
    // The name would end up in the names of work files deleted at exit; a guest has no settings file to
    // lose and writes nothing.
    mode_ = kGuest;
    settingsPath_.clear();
    Status status;
    status.warning("Der Benutzername \"" + printable(userName_) + "\" ist ungültig (" + why +
                   "); das Programm läuft als Gast ohne Einstellungen.");
    userName_.clear();
    return status;
}

Status TProjectSettings::readInstallationFile() {
    const std::string ini = installationFilePath();
    Status status;
    if (!fileExists(ini)) {
        if (settingsPath_.empty()) settingsPath_ = std::string(kNoSettingsFile);
        mode_ = kSingleUser;
        userName_ = "Tavolex";
        return asWarnings(writeInstallationFile());
    }
    const Result<std::string> read = readWholeFile(ini, kMaxInstallationBytes);
    if (!read) {
        // A guest writes nothing back, so a file we cannot read (perhaps another user's list) survives.
        status.warning("Kann " + ini + " nicht lesen: " + read.status().plain());
        mode_ = kGuest;
        settingsPath_.clear();
        if (userName_.empty()) userName_ = "Tavolex";
        return status;
    }
    const std::string text = decodeFileText(read.value());
    const std::vector<std::string_view> lines = splitSettingsLines(text);
    const std::string_view first = lines.empty() ? std::string_view() : lines[0];
    const char mode = first.empty() ? kSingleUser : first[0];

    if (mode != kMultiUser) {
        mode_ = kSingleUser;
        userName_ = "Tavolex";
        settingsPath_ =
            mode == kSingleUser && lines.size() > 1 ? std::string(trimBlanks(lines[1])) : std::string();
        return status;
    }
    mode_ = kMultiUser;
    settingsPath_.clear();
    if (userName_.empty()) {
        std::optional<std::string> answer;
        if (questions_.askUserName) answer = questions_.askUserName();
        if (!answer) {
            quit_ = true;
            return status;
        }
        userName_ = answer->empty() ? std::string("NoName") : *answer;
    }
    if (std::string reason; !isAcceptableUserName(userName_, &reason)) return refuseUser(reason);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const UserLine u = splitUserLine(lines[i]);
        if (u.user == userName_) {
            settingsPath_ = std::string(u.path);
            return status;
        }
    }
    if (!questions_.askEnterUser || !questions_.askEnterUser(userName_)) mode_ = kGuest;
    return status;
}

Status TProjectSettings::writeInstallationFile() const {
    if (mode_ == kGuest || (mode_ == kMultiUser && userName_.empty())) return {};
    std::error_code ec;
    std::filesystem::create_directories(dataFolder_, ec);
    if (ec) return Status::failure("Das Verzeichnis " + dataFolder_ + " kann nicht erstellt werden.");
    const std::string ini = installationFilePath();
    const std::string& path =
        isNoSettingsFile(settingsPath_) && !unavailablePath_.empty() ? unavailablePath_ : settingsPath_;
    std::vector<std::string> lines;
    if (mode_ != kMultiUser) {
        lines = {kSingleUserLine, path};
        return writeSettingsLines(ini, lines, true);
    }
    // Every other user's line is carried over unchanged, so a list that cannot be read is not rewritten.
    const Result<std::string> bytes =
        fileExists(ini) ? readWholeFile(ini, kMaxInstallationBytes) : std::string();
    if (!bytes) return Status::failure("Kann " + ini + " nicht lesen: " + bytes.status().plain());
    const std::string text = decodeFileText(bytes.value());
    const std::vector<std::string_view> old = splitSettingsLines(text);
    const std::string own = userName_ + ' ' + path;
    lines.push_back(kMultiUserLine);
    bool matched = false;
    for (std::size_t i = 1; i < old.size(); ++i) {
        if (!matched && splitUserLine(old[i]).user == userName_) {
            lines.push_back(own);
            matched = true;
        } else {
            lines.emplace_back(old[i]);
        }
    }
    if (!matched) lines.push_back(own);
    return writeSettingsLines(ini, lines, true);
}

Result<bool> TProjectSettings::ReadIniSettings() {
    quit_ = false;
    unavailablePath_.clear();
    Status status = readInstallationFile();
    if (quit_) {
        status.fail();
        return Result<bool>(false, std::move(status));
    }
    const bool named = !settingsPath_.empty() && !isNoSettingsFile(settingsPath_);
    bool found = named && fileExists(settingsPath_);
    if (named && !found) unavailablePath_ = settingsPath_;
    if (!found) settingsPath_ = std::string(kNoSettingsFile);
    SetDefaults();
    // A settings file that cannot be read is treated as missing: writing the defaults over it at the
    // end of the run would destroy it.
    if (found) {
        const Status read = ReadFromFile(settingsPath_);
        status.merge(asWarnings(read));
        if (!read) {
            found = false;
            unavailablePath_ = settingsPath_;
            settingsPath_ = std::string(kNoSettingsFile);
            SetDefaults();
        }
    }
    InitialDir = workFolder_;
    return Result<bool>(found, std::move(status));
}

Status TProjectSettings::WriteIniSettings() {
    Status status;
    if (!settingsPath_.empty() && !isNoSettingsFile(settingsPath_))
        status.merge(WriteToFile(settingsPath_, "111"));
    status.merge(writeInstallationFile());
    return status;
}

void TProjectSettings::setSettingsPath(std::string path) {
    unavailablePath_.clear();  // a path chosen now replaces the one the installation file named
    settingsPath_ = std::move(path);
    workFolder_ = workFolderOf(settingsPath_);
}

Status TProjectSettings::switchEnvironment(const std::string& path) {
    setSettingsPath(path);
    if (!path.empty() && !isNoSettingsFile(path) && !fileExists(path))
        if (Status created = writeSettingsLines(path, {}, true); !created) return created;
    return writeInstallationFile();
}

}  // namespace tav
