#pragma once
// The desktop's window that draws (the dendrogram): a modal dialog with the window's menus over a paint
// box that asks the window for its drawing at every paint. A double click and a vertical drag in the
// drawing go to the window; so do the menu commands, after which the drawing is painted anew.

#include <QDialog>
#include <QPoint>
#include <QWidget>
#include <optional>
#include <string>

#include "platform/drawing.h"

class QMenuBar;
class QPainter;

namespace tav {

// Paints the shapes of a drawing onto a white ground the caller provides; the paint box and the saved
// pictures share it, so a picture shows what the window showed.
void paintDrawing(QPainter& painter, const Drawing& drawing);
// The drawing as a picture of its size, in the format the file name's ending names (PNG, BMP, JPG).
// False when it could not be written.
bool saveDrawingImage(const Drawing& drawing, const std::string& file);

class DrawingView : public QWidget {
    Q_OBJECT
  public:
    explicit DrawingView(DrawingWindow& window, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    DrawingWindow& window_;
    std::optional<QPoint> pressedAt_;
};

class DrawingDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DrawingDialog(DrawingWindow& window, QWidget* parent = nullptr);
    QMenuBar* menuBar() const { return menuBar_; }
    DrawingView* view() const { return view_; }

    // Tells the window it closes, once, however the dialog ends.
    void done(int result) override;

  private:
    void runCommand(const std::string& command);

    DrawingWindow& window_;
    QMenuBar* menuBar_;
    DrawingView* view_;
    bool closed_ = false;
};

}  // namespace tav
