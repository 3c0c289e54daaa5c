#pragma once
// A grid's table view with what the window needs of it: whether its in-place editor is open, and
// committing that editor's text before a command runs.

#include <QApplication>
#include <QTableView>

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

}  // namespace tav
