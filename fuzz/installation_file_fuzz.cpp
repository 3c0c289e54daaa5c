// The installation file reader on any bytes, for a user already known ("anna"). What it found (mode,
// user, settings path), written back and read again, must be found again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "env/catalogue.h"
#include "env/project_settings.h"
#include "fuzz_support.h"

namespace {

struct Found {
    char mode;
    std::string user, settingsPath;
    bool quit;
    bool operator==(const Found&) const = default;
};

std::string described(const Found& f) {
    return std::string(1, f.mode) + " user " + tav::fuzz::shown(f.user) + " settings " +
           tav::fuzz::shown(f.settingsPath) + (f.quit ? " quit" : "");
}

Found readInstallation() {
    static const tav::Catalogue catalogue;
    tav::TProjectSettings p(catalogue, tav::fuzz::scratchFolder(), tav::fuzz::scratchFile("data"));
    p.setUserName("anna");
    p.ReadIniSettings();
    Found f{p.installationMode(), p.userName(), p.settingsPath(), p.quitRequested()};
    // Writing back is what the program does at the end of a run.
    if (!p.quitRequested()) p.writeInstallationFile();
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string ini = [] {
        const Catalogue none;
        return TProjectSettings(none, fuzz::scratchFolder(), fuzz::scratchFile("data"))
            .installationFilePath();
    }();
    std::filesystem::create_directories(fuzz::scratchFile("data"));
    fuzz::writeBytes(ini, std::string_view(reinterpret_cast<const char*>(data), size));

    const Found first = readInstallation();
    const Found second = readInstallation();
    if (!(first == second))
        fuzz::roundTripFailed("installation_file", described(first) + " -> " + described(second));
    return 0;
}
