#include "gui/drawing_window.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/qt_text.h"

namespace tav {

namespace {

// Points are 1/72 inch; the drawing's pixels are taken at 96 per inch, on the screen as in pictures.
int penPixels(double points) {
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

// The screen scale of the window's screen: its width / 1000.
double screenScale(const QWidget* widget) {
    const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() / 1000.0 : 1.0;
}

}  // namespace

void paintDrawing(QPainter& painter, const Drawing& d) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int width = penPixels(d.lineWidth);
    const QColor red(255, 0, 0), black(0, 0, 0);
    for (const Drawing::Line& l : d.lines) {
        painter.setPen(QPen(l.red ? red : black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    }
    for (const Drawing::Dot& p : d.dots)
        painter.fillRect(p.x - (width - 1) / 2, p.y - (width - 1) / 2, width, width, black);
    QFont font = painter.font();
    if (!d.fontFamily.empty()) font.setFamily(qs(d.fontFamily));
    font.setPixelSize(std::max(d.fontPixels, 1));
    painter.setFont(font);
    const int lineHeight = QFontMetrics(font).height();
    // Wide enough for any text: the box only anchors it.
    constexpr int wide = 100000;
    for (const Drawing::Text& t : d.texts) {
        painter.setPen(t.red ? red : black);
        const QRect box =
            t.rightAligned ? QRect(t.x - wide, t.y, wide, lineHeight) : QRect(t.x, t.y, wide, lineHeight);
        painter.drawText(box,
                         Qt::AlignTop | Qt::TextDontClip | (t.rightAligned ? Qt::AlignRight : Qt::AlignLeft),
                         qs(t.text));
    }
    painter.restore();
}

bool saveDrawingImage(const Drawing& d, const std::string& file) {
    if (d.width <= 0 || d.height <= 0) return false;
    QImage image(d.width, d.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintDrawing(painter, d);
    painter.end();
    return image.save(qs(file));
}

DrawingView::DrawingView(DrawingWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void DrawingView::paintEvent(QPaintEvent*) {
    Canvas canvas;
    canvas.width = width();
    canvas.height = height();
    canvas.fontPixels = QFontInfo(font()).pixelSize();
    canvas.scale = screenScale(this);
    window_.lastCanvas = canvas;
    Drawing d = window_.draw(canvas);
    if (d.fontFamily.empty()) d.fontFamily = utf8(font().family());
    QPainter painter(this);
    paintDrawing(painter, d);
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position().toPoint();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    const int dy = event->position().toPoint().y() - pressedAt_->y();
    pressedAt_.reset();
    if (std::abs(dy) <= 10) return;
    window_.drag(dy);
    update();
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    window_.doubleClick(at.x(), at.y());
    update();
}

DrawingDialog::DrawingDialog(DrawingWindow& window, QWidget* parent)
    : QDialog(parent), window_(window), menuBar_(new QMenuBar(this)), view_(new DrawingView(window, this)) {
    setWindowTitle(qs(window.caption()));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(view_);
    for (const DrawingWindow::Menu& menu : window.menus()) {
        QMenu* m = menuBar_->addMenu(qs(menu.caption));
        for (const std::string& command : menu.commands) {
            if (command.empty()) {
                m->addSeparator();
                continue;
            }
            QAction* action = m->addAction(qs(command));
            connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        }
    }
    // Where the window stood the last time, else the size a new project gives it.
    const WindowPlace place = window.placement();
    if (place.width > 50 && place.height > 50) {
        setGeometry(place.left, place.top, place.width, place.height);
    } else {
        const double s = screenScale(this);
        resize(static_cast<int>(500 * s), static_cast<int>(400 * s));
    }
}

void DrawingDialog::runCommand(const std::string& command) {
    if (!window_.run(command)) {
        accept();
        return;
    }
    view_->update();
}

void DrawingDialog::done(int result) {
    if (!closed_) {
        closed_ = true;
        const QRect r = geometry();
        window_.storePlacement({r.left(), r.top(), r.width(), r.height()});
        window_.closing();
    }
    QDialog::done(result);
}

}  // namespace tav
