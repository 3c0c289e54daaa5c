#pragma once
// A grid's table view with what the window needs of it: whether its in-place editor is open, and
// committing that editor's text before a command runs.

#include <QApplication>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

namespace tav {

class GridView : public QTableView {
  public:
    using QTableView::QTableView;
    bool editing() const { return state() == EditingState; }
    void commitEditor() {
        if (!editing()) return;
        QWidget* editor = QApplication::focusWidget();
        if (!editor || editor->parentWidget() != viewport()) return;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
};

// The in-place editor's keys go to the window first: it decides which move the cursor and which move
// the caret inside the text.
class GridDelegate : public QStyledItemDelegate {
  public:
    using KeyHandler = std::function<bool(QWidget* editor, QKeyEvent* key)>;
    GridDelegate(KeyHandler onKey, QObject* parent) : QStyledItemDelegate(parent), onKey_(std::move(onKey)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            if (auto* editor = qobject_cast<QWidget*>(watched);
                editor && onKey_(editor, static_cast<QKeyEvent*>(event)))
                return true;
        return QStyledItemDelegate::eventFilter(watched, event);
    }

  private:
    KeyHandler onKey_;
};

}  // namespace tav
