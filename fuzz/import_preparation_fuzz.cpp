// The preparation of import files on any bytes as its source: byte 0 chooses the variant (species list or
// indicator list, % 2) and the delimiter of the settings (/ 2 % 3: tab, ";", ","), the rest is the source.
// Every question is answered the same way: the delimiter question with the candidate, the name columns
// with the first column, the value columns with all of them, the other choices with "< Keine >". Every
// line the preparation writes must have the fields of its definition line, and the file it writes must
// be one the import reads without asking for another delimiter.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/text.h"
#include "fuzz_support.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "species/art_db.h"
#include "species/artdb_browser.h"

namespace {

using namespace tav;

class Answers : public UiPort {
  public:
    explicit Answers(std::string target) : target_(std::move(target)) {}
    void showMessage(MessageKind, std::string_view) override {}
    std::string clipboardText() override { return {}; }
    void setClipboardText(std::string_view) override {}
    std::optional<std::string> dialog(const DialogRequest& r) override {
        switch (r.kind) {
            case DialogKind::Radio:
                return r.initial;
            case DialogKind::SaveFile:
                return target_;
            case DialogKind::YesNoCancel:
                return std::string("Y");
            case DialogKind::List: {
                const bool withNone = !r.items.empty() && r.items.front() == "< Keine >";
                if (r.caption.find("Artnamen") != std::string::npos) return std::string(withNone ? "1" : "0");
                if (r.caption.find("Zeigerwerten") != std::string::npos) {
                    std::string all;
                    for (std::size_t k = 0; k < r.items.size(); ++k)
                        all += (k ? "," : "") + std::to_string(k);
                    return all;
                }
                return std::string("0");
            }
            default:
                return std::nullopt;
        }
    }

  private:
    std::string target_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const std::string source = fuzz::scratchFile("quelle.txt");
    static const std::string target = fuzz::scratchFile("import.txt");
    static const std::string dbFile = fuzz::scratchFile("arten.adb");
    fuzz::removeFile(target);
    const bool indicators = data[0] % 2 == 1;
    const char32_t delimiters[] = {U'\t', U';', U','};
    const char32_t delimiter = delimiters[data[0] / 2 % 3];
    fuzz::writeBytes(source, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    Answers ui(target);
    if (!prepareImportFile(ui, source, indicators, {delimiter, 0}, ExportEncoding::Utf8)) return 0;

    std::string d;
    appendUtf8(d, delimiter);
    const std::string text = decodeFileText(fuzz::readBytes(target));
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() < 2) fuzz::roundTripFailed("import_preparation", "fewer than two lines written");
    const std::size_t fields = splitFields(lines[1], d).size();
    if (!indicators && fields != 49)
        fuzz::roundTripFailed("import_preparation",
                              "definition line of " + std::to_string(fields) + " fields");
    for (std::size_t n = 2; n < lines.size(); ++n)
        if (splitFields(lines[n], d).size() != fields)
            fuzz::roundTripFailed("import_preparation", "line " + std::to_string(n + 1) + " " +
                                                            fuzz::shown(lines[n]) + " has not " +
                                                            std::to_string(fields) + " fields");

    // The species list imports (a list of names that are all refused is no list to import).
    if (!indicators) {
        for (const char* ext : {".adb", ".adl", ".adm"}) fuzz::removeFile(replaceExtension(dbFile, ext));
        TArtDb db(dbFile, ArtDbSettings{}, silentUi());
        const Status imported = db.ImportTable(target, delimiter, noProgress());
        if (!imported && imported.plain().find("keinen Datensatz") == std::string::npos)
            fuzz::roundTripFailed("import_preparation", "the import refused the file: " + imported.plain());
    }
    return 0;
}
