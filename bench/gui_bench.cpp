// Drives the main window offscreen on a large table and prints the time of each step: starting on the
// table (reading it and showing the first window), paging to the last releve and the last species row,
// back to the first cell, typing a value, and opening a table window on a matrix of 10 000 × 10 000
// cells and going to its last cell. Usage: bench_gui TABLE CATALOGUE WORKDIR

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <cstdio>

#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "gui/dialog_windows.h"
#include "gui/main_window.h"
#include "gui/qt_port.h"
#include "platform/script_ui.h"
#include "timing.h"

using tav::bench::msSince;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_gui TABLE CATALOGUE WORKDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tav::ScriptUi script;
    tav::QtPort port;
    port.answerFrom(&script);
    tav::Session session(port, 1);
    tav::StartOptions o;
    o.catalogueFile = argv[2];
    o.dataFolder = argv[3];
    o.settingsSource = tav::SettingsSource::Defaults;
    o.tableFile = argv[1];
    auto t0 = std::chrono::steady_clock::now();
    if (!session.start(o).ok()) return 3;
    const double reading = msSince(t0);
    t0 = std::chrono::steady_clock::now();
    tav::Dispatcher dispatcher;
    tav::MainWindow window(session, dispatcher, port);
    window.show();
    QApplication::processEvents();
    const double showing = msSince(t0);
    std::printf("table: %d releves, %d species rows\n", session.buffer().GetColCount(),
                session.buffer().GetRowCount('A'));
    std::printf("start: reading %.0f ms, then the first window %.1f ms\n", reading, showing);

    auto step = [&](const char* what, auto&& move) {
        const auto t = std::chrono::steady_clock::now();
        move();
        window.refresh();
        QApplication::processEvents();
        std::printf("%-40s %.1f ms\n", what, msSince(t));
    };
    const int lastReleve = session.buffer().GetColCount() - 1,
              lastRow = session.buffer().GetRowCount('A') - 1;
    step("to the last releve", [&] { tav::setCursor(session, 4, 'N', 'N', true, false, lastReleve, 0); });
    step("to the last species row",
         [&] { tav::setCursor(session, 4, 'N', 'N', true, false, lastReleve, lastRow); });
    step("back to the first cell", [&] { tav::setCursor(session, 4, 'N', 'N', true, false, 0, 0); });
    step("typing a value and moving on", [&] {
        tav::typeText(session, "2a");
        tav::moveCursor(session, tav::CursorKey::Down);
    });

    // The table window over a matrix of 10 000 × 10 000 cells: it opens without filling a widget.
    constexpr int kMatrix = 10000;
    std::vector<std::string> lines;
    lines.reserve(kMatrix + 1);
    std::string title = "Aufnahme";
    for (int c = 1; c <= kMatrix; ++c) title += ";" + std::to_string(c);
    lines.push_back(title);
    for (int r = 1; r <= kMatrix; ++r) {
        std::string line = std::to_string(r);
        line.reserve(2 * kMatrix + 8);
        for (int c = 1; c <= kMatrix; ++c) {
            line += ';';
            line += static_cast<char>('0' + (r * c) % 10);
        }
        lines.push_back(std::move(line));
    }
    port.answerFrom(nullptr);
    auto t = std::chrono::steady_clock::now();
    std::string res;
    tav::TGridDlg::Execute(port, "Matrix", lines, 1, res);
    QApplication::processEvents();
    std::printf("%-40s %.1f ms\n", "table window 10 000 x 10 000 opens", msSince(t));
    tav::AnswerWindow* matrix = port.openWindow(tav::DialogKind::Grid);
    QTableView* view = tav::tableViewOf(matrix);
    t = std::chrono::steady_clock::now();
    view->scrollTo(view->model()->index(kMatrix - 1, kMatrix - 1));
    QApplication::processEvents();
    std::printf("%-40s %.1f ms\n", "table window to its last cell", msSince(t));
    matrix->close();
    return 0;
}
