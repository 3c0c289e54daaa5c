// Text another program put on the clipboard, pasted into a table: the first byte chooses overwriting,
// shifting right or shifting down, the next two the cursor cell, the rest is the clipboard's text. One
// undo step must give the table back exactly.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/text.h"
#include "editor/command_registry.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "fuzz_support.h"
#include "platform/script_ui.h"

namespace {

constexpr std::int64_t kPasteCommands[] = {102090000, 102100700, 102100800};  // normal, right, down

struct Editor {
    tav::ScriptUi ui;
    tav::Session session{ui, 1};
    tav::Dispatcher dispatcher;
    std::string table = tav::fuzz::scratchFile("paste.tab");
    Editor() {
        tav::StartOptions o;
        o.catalogueFile = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";
        o.dataFolder = tav::fuzz::scratchFolder();
        o.settingsSource = tav::SettingsSource::Defaults;
        if (!session.start(o).ok()) std::abort();
    }
    std::string saved() {
        if (!session.buffer().StoreFile(tav::kLayoutNative, table, tav::noProgress(), false).ok())
            std::abort();
        return tav::fuzz::readBytes(table);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static Editor e;
    if (size < 3) return 0;
    if (e.session.openTable(std::string(TAVOLEX_SAMPLES) + "/dune.tab", kLayoutNative, noProgress())
            .value() != ReadResult::Ok)
        std::abort();
    const std::string before = e.saved();
    const std::string text =
        decodeFileText(std::string_view(reinterpret_cast<const char*>(data) + 3, size - 3));
    e.ui.setClipboardText(text);
    setCursor(e.session, 4, 'N', 'N', false, true, data[1] % 25, data[2] % 35);
    const Status pasted =
        e.dispatcher.execute(e.session, *commands::find(kPasteCommands[data[0] % 3]), CommandSource::Menu);
    (void)pasted;
    if (e.session.undoList().canUndo()) {
        e.session.undoList().undo();
        const std::string after = e.saved();
        if (after != before)
            fuzz::roundTripFailed("clipboard_paste", "undoing the paste left " + fuzz::shown(after));
    }
    return 0;
}
