// The window that draws, offscreen: its menus run the window's commands, a command may close it, the
// mouse reaches the window, and a drawing is saved as a picture (a dendrogram of eight relevés, kept in
// the build folder for a look).

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "analysis/dendrogram_drawing.h"
#include "gui/drawing_window.h"
#include "gui/qt_port.h"
#include "support/fake_drawing_window.h"

namespace tav {

namespace {

QAction* actionOf(QMenuBar* bar, const QString& menu, const QString& command) {
    for (QAction* m : bar->actions())
        if (m->text() == menu && m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text() == command) return a;
    return nullptr;
}

}  // namespace

class DrawingWindowTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void menusRunTheWindowsCommands() {
        testing::FakeDrawingWindow window;
        DrawingDialog dialog(window);
        QCOMPARE(dialog.windowTitle(), QString("Dendrogramm"));
        QStringList menus, datei;
        for (QAction* m : dialog.menuBar()->actions()) menus << m->text();
        QCOMPARE(menus, (QStringList{"Datei", "Schnitt"}));
        for (QAction* a : dialog.menuBar()->actions().front()->menu()->actions())
            datei << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(datei, (QStringList{"Speichern", "-", "Beenden"}));

        QAction* level = actionOf(dialog.menuBar(), "Schnitt", "Niveau    (Doppelklick)");
        QVERIFY(level);
        level->trigger();
        QCOMPARE(window.log.back(), std::string("Niveau    (Doppelklick)"));
        QCOMPARE(dialog.result(), 0);
        actionOf(dialog.menuBar(), "Datei", "Beenden")->trigger();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(window.log.back(), std::string("closing"));
    }

    void commandThatClosesEndsTheModalWindowOnce() {
        testing::FakeDrawingWindow window;
        QtPort port;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<DrawingDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // The paint box asks for the drawing at its own size.
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            dialog->view()->grab();
            actionOf(dialog->menuBar(), "Datei", "Beenden")->trigger();
        });
        port.showDrawingWindow(window);
        QCOMPARE(window.log.back(), std::string("closing"));
        QCOMPARE(std::count(window.log.begin(), window.log.end(), "closing"), 1);
        QCOMPARE(std::count(window.log.begin(), window.log.end(), "Beenden"), 1);
        QVERIFY(window.lastCanvas.width > 0 && window.lastCanvas.fontPixels > 0);
        QVERIFY(std::count(window.log.begin(), window.log.end(),
                           "draw " + std::to_string(window.lastCanvas.width) + "x" +
                               std::to_string(window.lastCanvas.height)) > 0);
    }

    void mouseInTheDrawing() {
        testing::FakeDrawingWindow window;
        DrawingDialog dialog(window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QWidget* view = dialog.view();
        window.log.clear();
        // A short move is no drag; a longer one is, by how far it went.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 40));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(50, 48));
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 40));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(52, 10));
        QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(70, 30));
        const std::vector<std::string> mouse(
            window.log.begin(), std::remove_if(window.log.begin(), window.log.end(),
                                               [](const std::string& e) { return e.starts_with("draw"); }));
        QCOMPARE(mouse, (std::vector<std::string>{"drag -30", "click 70,30"}));
        dialog.reject();
        QCOMPARE(window.log.back(), std::string("closing"));
    }

    void dendrogramSavedAsPicture() {
        // Eight relevés in two groups of four, each group of two pairs.
        const int n = 8;
        PackedTriangle sim(n);
        for (int i = 1; i < n; ++i)
            for (int j = 0; j < i; ++j)
                sim.set(i, j, i / 4 != j / 4 ? 0.1 + 0.01 * (i + j) : i / 2 == j / 2 ? 0.8 : 0.5);
        const Dendrogram tree = clusterObjects(sim, 'A');
        QCOMPARE(tree.objects, n);
        DendrogramPicture picture;
        picture.dendrogram = &tree;
        picture.order = dendrogramOrder(tree);
        for (int i = 1; i <= n; ++i) picture.names.push_back("Aufn. " + std::to_string(i));
        picture.minSim = 1;
        for (int i = 1; i < n; ++i)
            for (int j = 0; j < i; ++j) picture.minSim = std::min(picture.minSim, sim.at(i, j));
        picture.maxSim = 1;
        Canvas canvas;
        canvas.width = 600;
        canvas.height = 260;
        DendrogramLayout layout = initialLayout(0.3, canvas);
        const Drawing drawing = drawDendrogram(picture, layout, canvas);
        QCOMPARE(layout.kla, 2);

        const QString file = QString(TAVOLEX_PICTURES) + "/dendrogram.png";
        QtPort port;
        QVERIFY(port.saveBitmap(drawing, file.toStdString()));
        QImage image(file);
        QCOMPARE(image.size(), QSize(600, 260));
        QCOMPARE(image.pixelColor(2, 250), QColor(Qt::white));
        const Drawing::Line cut = drawing.lines.back();
        QCOMPARE(image.pixelColor(cut.x1, (cut.y1 + cut.y2) / 2), QColor(Qt::red));

        QTemporaryDir dir;
        QVERIFY(!port.saveBitmap(drawing, dir.filePath("dendrogram.unknown").toStdString()));
        QVERIFY(!port.saveBitmap(drawing, dir.filePath("missing/dendrogram.png").toStdString()));
    }
};

}  // namespace tav

QTEST_MAIN(tav::DrawingWindowTest)
#include "drawing_window_test.moc"
