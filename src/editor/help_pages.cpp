#include "editor/help_pages.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/file_io.h"
#include "core/text.h"
#include "editor/command_registry.h"
#include "env/catalogue.h"

namespace tav {

namespace {

std::string indent(int depth) {
    std::string out;
    for (int i = 0; i < depth; ++i) out += "&nbsp;&nbsp;&nbsp;";
    return out;
}

std::string page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + xmlEscaped(title) +
           "</title>\n<style>body { font-family: sans-serif; } td { vertical-align: top; padding: 2px 6px; "
           "}</style>"
           "</head>\n<body>\n<h1>" +
           xmlEscaped(title) + "</h1>\n" + body + "</body></html>\n";
}

}  // namespace

Result<HelpTexts> readHelpTexts(const std::string& folder) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    if (ec) return Status::failure("Kann den Ordner " + folder + " nicht lesen: " + ec.message());
    std::sort(files.begin(), files.end());
    HelpTexts texts;
    for (const auto& file : files) {
        Result<std::string> bytes = readWholeFile(file.string());
        if (!bytes) return bytes.status();
        const std::string text = decodeFileText(bytes.value());
        int number = 0;
        for (std::string_view line : splitLines(text)) {
            ++number;
            line = trimBlanks(line);
            if (line.empty() || line.front() == '#') continue;
            const std::size_t semi = line.find(';');
            if (semi == std::string_view::npos || semi == 0)
                return Status::failure(file.string() + ", Zeile " + std::to_string(number) +
                                       ": erwartet SCHLÜSSEL;TEXT");
            texts[std::string(trimBlanks(line.substr(0, semi)))] =
                std::string(trimBlanks(line.substr(semi + 1)));
        }
    }
    return texts;
}

std::vector<HelpPage> helpPages(const Catalogue& cat, const std::function<bool(std::int64_t)>& available,
                                const HelpTexts& texts) {
    auto textOf = [&texts](const std::string& key) {
        const auto t = texts.find(key);
        return t == texts.end() ? std::string() : xmlEscaped(t->second);
    };
    // The commands of each topic in menu order; a topic's title is the caption of its first entry.
    std::map<std::string, std::vector<const CommandEntry*>> topics;
    std::vector<std::string> order;
    for (const CommandEntry& e : commands::allCommands()) {
        if (e.number == 0) continue;
        // The topic reference is "::/<page>.htm"; the page is its file.
        std::string topic = GetHelpTopic(e.number);
        if (topic.rfind("::/", 0) == 0) topic.erase(0, 3);
        if (topic.size() > 4 && topic.substr(topic.size() - 4) == ".htm") topic.resize(topic.size() - 4);
        if (topic.empty() || topic == ".htm") continue;
        if (!topics.count(topic)) order.push_back(topic);
        topics[topic].push_back(&e);
    }
    std::vector<HelpPage> pages;
    std::string index = "<ul>\n";
    for (const std::string& topic : order) {
        const std::vector<const CommandEntry*>& entries = topics[topic];
        const std::string title = menuCaption(cat, entries.front()->number, entries.front()->caption, false);
        std::string body;
        if (const std::string intro = textOf(topic); !intro.empty()) body += "<p>" + intro + "</p>\n";
        body += "<table>\n";
        for (const CommandEntry* e : entries) {
            const std::string caption = menuCaption(cat, e->number, e->caption, false);
            body += "<tr><td>" + std::to_string(e->number) + "</td><td>" + indent(e->depth) +
                    (e->has(kSubmenu) ? "<b>" + xmlEscaped(caption) + "</b>" : xmlEscaped(caption)) +
                    "</td><td>" + xmlEscaped(e->shortcut) + "</td><td>";
            if (e->has(kNotImplemented))
                body += "noch nicht implementiert";
            else if (!e->has(kSubmenu) && available && !available(e->number))
                body += "noch nicht verfügbar";
            body += "</td><td>" + textOf(std::to_string(e->number)) + "</td></tr>\n";
        }
        body += "</table>\n<p><a href=\"index.htm\">Inhalt</a></p>\n";
        pages.push_back({topic + ".htm", page(title, body)});
        index += "<li><a href=\"" + topic + ".htm\">" + xmlEscaped(title) + "</a></li>\n";
    }
    index += "</ul>\n";
    pages.push_back({"index.htm", page("TAVOLEX", index)});
    return pages;
}

Status writeHelpPages(const Catalogue& cat, const std::string& folder,
                      const std::function<bool(std::int64_t)>& available, const HelpTexts& texts) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return Status::failure("Kann den Ordner " + folder + " nicht anlegen: " + ec.message());
    for (const HelpPage& p : helpPages(cat, available, texts))
        if (Status s = writeFileAtomically((std::filesystem::path(folder) / p.file).string(), p.html); !s)
            return s;
    return {};
}

}  // namespace tav
