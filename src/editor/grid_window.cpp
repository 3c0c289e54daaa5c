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

GridArrangement arrangeGrids(int width, int height, int grid1Width, int grid1Height, int unit,
                             int scrollThickness, int toolBarHeight) {
    GridArrangement a;
    PixelBox* g = a.grid;
    g[0] = {0, 0, std::clamp(grid1Width, 0, std::max(0, width - 30)),
            std::clamp(grid1Height, 0, std::max(0, height - 30))};
    g[1] = {g[0].right() + unit, g[0].top, 0, g[0].height};
    g[1].width = std::max(0, width - g[1].left - scrollThickness - 5);
    g[2] = {g[0].left, g[0].bottom() + unit, g[0].width, 0};
    g[3] = {g[1].left, g[2].top, g[1].width, 0};
    g[3].height = std::max(0, height - g[3].top - toolBarHeight - scrollThickness - 8);
    g[2].height = g[3].height;
    a.hScroll = {g[3].left, g[3].bottom() + 2, g[3].width, scrollThickness};
    a.vScrollTop = {g[1].right() + 2, g[1].top, scrollThickness, g[1].height};
    a.vScrollBottom = {a.vScrollTop.left, g[3].top, scrollThickness, g[3].height};
    a.trackHMax = (g[0].width + g[1].width + 2) / 10;
    a.trackHPos = g[0].width / 10;
    a.trackVMax = (g[0].height + g[2].height + 2) / 5;
    a.trackVPos = g[0].height / 5;
    return a;
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
