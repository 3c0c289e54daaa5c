// The desktop program: the session with its settings and catalogue, the main window over it.
//   tavolex [--screenshot FILE] [TABLE]
// With --screenshot the window is drawn once, saved as a PNG and the program ends (for tests and
// documentation).

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <string>

#include "editor/dispatch.h"
#include "editor/session.h"
#include "gui/main_window.h"
#include "gui/qt_port.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tavolex");
    std::string table, screenshot;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--screenshot" && i + 1 < args.size())
            screenshot = args[++i].toStdString();
        else if (!args[i].startsWith("--"))
            table = args[i].toStdString();
    }
    tav::QtPort port;
    tav::Session session(port);
    tav::StartOptions options;
    options.tableFile = table;
    if (tav::Status started = session.start(options); !started) {
        session.report(started);
        return 1;
    }
    tav::Dispatcher dispatcher;
    tav::MainWindow window(session, dispatcher, port);
    window.show();
    if (!screenshot.empty()) {
        QTimer::singleShot(300, [&] {
            window.refresh();
            QApplication::processEvents();  // the layout follows the sizes the refresh set
            const bool saved = window.grab().save(QString::fromStdString(screenshot), "PNG");
            std::fprintf(stderr, saved ? "saved %s\n" : "could not save %s\n", screenshot.c_str());
            app.exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
