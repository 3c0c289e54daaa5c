#include "editor/command_registry.h"

#include <cstddef>
#include <span>

#include "editor/commands/menus.h"
#include "env/catalogue.h"

namespace tav::commands {

namespace {

struct Registry {
    std::vector<CommandEntry> entries;
    // Per entry the index of the submenu that shows it; npos for the top menus. Entries without a number
    // are submenus too, so the tree cannot be rebuilt from the parent numbers alone.
    std::vector<std::size_t> parentIndex;
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

Registry build() {
    Registry r;
    for (std::span<const CommandEntry> menu :
         {fileMenu(), editMenu(), rowsMenu(), columnsMenu(), baseDataMenu(), computeMenu(), taxaMenu(),
          indicatorsMenu(), modulesMenu(), optionsMenu(), helpMenu()})
        r.entries.insert(r.entries.end(), menu.begin(), menu.end());
    // The last entry seen at each depth is the open submenu of that depth.
    std::vector<std::size_t> open;
    r.parentIndex.reserve(r.entries.size());
    for (std::size_t i = 0; i < r.entries.size(); ++i) {
        const auto depth = static_cast<std::size_t>(r.entries[i].depth);
        open.resize(depth);
        r.parentIndex.push_back(depth == 0 ? kNone : open.back());
        open.push_back(i);
    }
    return r;
}

const Registry& registry() {
    static const Registry r = build();
    return r;
}

// The index of an entry of the registry; kNone for a copy or an entry from elsewhere.
std::size_t indexOf(const CommandEntry& entry) {
    const std::vector<CommandEntry>& all = registry().entries;
    if (all.empty() || &entry < all.data() || &entry >= all.data() + all.size()) return kNone;
    return static_cast<std::size_t>(&entry - all.data());
}

}  // namespace

const std::vector<CommandEntry>& allCommands() {
    return registry().entries;
}

const CommandEntry* find(std::int64_t number) {
    if (number == 0) return nullptr;
    for (const CommandEntry& e : allCommands())
        if (e.number == number) return &e;
    return nullptr;
}

std::vector<const CommandEntry*> children(std::int64_t number) {
    std::vector<const CommandEntry*> result;
    if (number == 0) {
        for (const CommandEntry& e : allCommands())
            if (e.depth == 0) result.push_back(&e);
        return result;
    }
    const CommandEntry* entry = find(number);
    return entry ? children(*entry) : result;
}

std::vector<const CommandEntry*> children(const CommandEntry& entry) {
    std::vector<const CommandEntry*> result;
    const std::size_t index = indexOf(entry);
    if (index == kNone) return result;
    const std::vector<CommandEntry>& all = allCommands();
    for (std::size_t i = index + 1; i < all.size() && all[i].depth > entry.depth; ++i)
        if (all[i].depth == entry.depth + 1) result.push_back(&all[i]);
    return result;
}

const CommandEntry* parentOf(const CommandEntry& entry) {
    const std::size_t index = indexOf(entry);
    if (index == kNone) return nullptr;
    const std::size_t parent = registry().parentIndex[index];
    return parent == kNone ? nullptr : &allCommands()[parent];
}

std::string captionPath(const CommandEntry& entry, const Catalogue& catalogue) {
    std::vector<const CommandEntry*> chain;
    for (const CommandEntry* e = &entry; e; e = parentOf(*e)) chain.push_back(e);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += ';';
        path += menuCaption(catalogue, (*it)->number, (*it)->caption, false);
    }
    return path;
}

std::string_view ownerName(Owner owner) {
    switch (owner) {
        case Owner::TableFiles:
            return "TableFiles";
        case Owner::Sorting:
            return "Sorting";
        case Owner::CoverCodes:
            return "CoverCodes";
        case Owner::MainWindow:
            return "MainWindow";
        case Owner::GridEditing:
            return "GridEditing";
        case Owner::Validation:
            return "Validation";
        case Owner::Marking:
            return "Marking";
        case Owner::SpeciesDb:
            return "SpeciesDb";
        case Owner::Indicators:
            return "Indicators";
        case Owner::DiagnosticSpecies:
            return "DiagnosticSpecies";
        case Owner::NameOperations:
            return "NameOperations";
        case Owner::Diversity:
            return "Diversity";
        case Owner::Formulas:
            return "Formulas";
        case Owner::Statistics:
            return "Statistics";
        case Owner::Similarity:
            return "Similarity";
        case Owner::Clustering:
            return "Clustering";
        case Owner::Tests:
            return "Tests";
        case Owner::Settings:
            return "Settings";
        case Owner::Catalogue:
            return "Catalogue";
        case Owner::Macros:
            return "Macros";
        case Owner::External:
            return "External";
        case Owner::Maps:
            return "Maps";
        case Owner::Raster:
            return "Raster";
        case Owner::ReleveDb:
            return "ReleveDb";
        case Owner::Sql:
            return "Sql";
        case Owner::Unspecified:
            return "Unspecified";
        case Owner::NotImplemented:
            return "NotImplemented";
    }
    return "Unspecified";
}

}  // namespace tav::commands
