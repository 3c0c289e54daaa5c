#include "editor/grid_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace tav {

namespace {

constexpr int kMinPage = 30;

std::string withoutFolder(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

PageSpan pageSpan(int first, int total, int visible) {
    visible = std::max(visible, 1);
    total = std::max(total, 0);
    PageSpan p;
    p.first = std::max(0, std::min(first, total - visible));
    p.count = std::min(std::max(4 * visible, kMinPage), total - p.first);
    return p;
}

GridPages reloadWindow(Session& session, WindowStart wanted, VisibleCells visible) {
    const TEditBuffer& b = session.buffer();
    GridPages pages;
    pages.releves = pageSpan(wanted.releve, b.GetColCount(), visible.releves);
    pages.headerRows = pageSpan(wanted.headerRow, b.GetRowCount('K'), visible.headerRows);
    pages.speciesRows = pageSpan(wanted.speciesRow, b.GetRowCount('A'), visible.speciesRows);
    session.windowStart = {pages.releves.first, pages.headerRows.first, pages.speciesRows.first};
    return pages;
}

CellGeometry cellGeometry(int fontHeight, int dimCellsX, int dimCellsY, int randBreite) {
    const int font = std::abs(fontHeight);
    CellGeometry g;
    g.rowHeight = dimCellsY > 0 ? dimCellsY : static_cast<int>(std::lround(font * 1.5));
    g.columnWidth = dimCellsX > 0 ? dimCellsX : static_cast<int>(std::lround(g.rowHeight * 3.5));
    const int w = font * 5;
    switch (randBreite) {
        case 0:
            g.marginWidth = w / 3;
            break;
        case 2:
            g.marginWidth = 2 * w;
            break;
        case 3:
            g.marginWidth = 4 * w;
            break;
        default:
            g.marginWidth = w;
            break;
    }
    g.fixedRowHeight = randBreite == 0 ? g.rowHeight / 5 : g.rowHeight;
    return g;
}

std::string windowCaption(Session& session) {
    const Catalogue& cat = session.catalogue();
    const auto& s = session.settings();
    const std::string groups[] = {
        cat.GetMsg("Table") + " " + withoutFolder(session.fileName()),
        cat.GetMsg("Environment") + " " + withoutFolder(s.settingsPath()),
        cat.GetMsg("Species") + " " + withoutFolder(s.ArtListName),
        cat.GetMsg("Informations") + " " + withoutFolder(s.AngName),
        cat.GetMsg("Template") + " " + withoutFolder(s.VorName),
    };
    std::string caption = "TAVOLEX     ";
    for (std::size_t i = 0; i < std::size(groups); ++i) {
        if (i > 0) caption += "     ";
        caption += groups[i];
    }
    return caption;
}

}  // namespace tav
