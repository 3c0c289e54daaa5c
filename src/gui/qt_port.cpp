#include "gui/qt_port.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/file_io.h"
#include "core/text.h"
#include "gui/lines_model.h"
#include "gui/qt_text.h"

namespace tav {

namespace {

std::string utf8(const QString& s) {
    return s.toStdString();
}

// A dialog with OK and Cancel under the given contents.
struct Frame {
    QDialog dialog;
    QVBoxLayout* layout;
    Frame(QWidget* parent, const std::string& caption) : dialog(parent) {
        dialog.setWindowTitle(qs(caption));
        layout = new QVBoxLayout(&dialog);
    }
    bool run() {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        return dialog.exec() == QDialog::Accepted;
    }
};

// Radio and two-group radio dialogs: one button group per group of items.
std::optional<std::string> radio(QWidget* parent, const DialogRequest& r, bool twoGroups) {
    Frame f(parent, r.caption);
    const int split = twoGroups ? r.firstGroupSize : static_cast<int>(r.items.size());
    const int initial = r.initial.empty() ? 0 : std::atoi(r.initial.c_str());
    QButtonGroup groups[2];
    for (int g = 0; g < (twoGroups ? 2 : 1); ++g) {
        auto* box = new QGroupBox(g < static_cast<int>(r.groups.size()) ? qs(r.groups[g]) : QString());
        auto* v = new QVBoxLayout(box);
        const int from = g == 0 ? 0 : split, to = g == 0 ? split : static_cast<int>(r.items.size());
        const int chosen = twoGroups ? (g == 0 ? initial % 100 : initial / 100) : initial;
        for (int i = from; i < to; ++i) {
            auto* b = new QRadioButton(qs(r.items[static_cast<std::size_t>(i)]));
            groups[g].addButton(b, i - from);
            b->setChecked(i - from == chosen);
            v->addWidget(b);
        }
        f.layout->addWidget(box);
    }
    if (!f.run()) return std::nullopt;
    const int first = std::max(groups[0].checkedId(), 0);
    return std::to_string(twoGroups ? first + 100 * std::max(groups[1].checkedId(), 0) : first);
}

std::optional<std::string> check(QWidget* parent, const DialogRequest& r) {
    Frame f(parent, r.caption);
    std::vector<QCheckBox*> boxes;
    const int split = r.kind == DialogKind::DCheck ? r.firstGroupSize : static_cast<int>(r.items.size());
    for (int g = 0; g < (r.kind == DialogKind::DCheck ? 2 : 1); ++g) {
        auto* box = new QGroupBox(g < static_cast<int>(r.groups.size()) ? qs(r.groups[g]) : QString());
        auto* v = new QVBoxLayout(box);
        const int from = g == 0 ? 0 : split, to = g == 0 ? split : static_cast<int>(r.items.size());
        for (int i = from; i < to; ++i) {
            auto* b = new QCheckBox(qs(r.items[static_cast<std::size_t>(i)]));
            b->setChecked(static_cast<std::size_t>(i) < r.initial.size() &&
                          r.initial[static_cast<std::size_t>(i)] == '1');
            v->addWidget(b);
            boxes.push_back(b);
        }
        f.layout->addWidget(box);
    }
    if (!f.run()) return std::nullopt;
    std::string flags;
    for (QCheckBox* b : boxes) flags += b->isChecked() ? '1' : '0';
    return flags;
}

std::optional<std::string> buttons(QWidget* parent, const DialogRequest& r) {
    QMessageBox box(parent);
    box.setWindowTitle(qs(r.caption));
    box.setText(r.groups.empty() ? QString() : qs(r.groups.front()));
    std::vector<QAbstractButton*> shown;
    for (const std::string& item : r.items) shown.push_back(box.addButton(qs(item), QMessageBox::AcceptRole));
    box.addButton(QMessageBox::Cancel);
    box.exec();
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (box.clickedButton() == shown[i]) return std::to_string(i);
    return std::nullopt;
}

std::optional<std::string> list(QWidget* parent, const DialogRequest& r) {
    Frame f(parent, r.caption);
    auto* w = new QListWidget;
    for (const std::string& line : r.items) w->addItem(qs(line));
    w->setSelectionMode(r.multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    const int initial = r.initial.empty() ? 0 : std::atoi(r.initial.c_str());
    if (initial >= 0 && initial < w->count()) w->setCurrentRow(initial);
    QObject::connect(w, &QListWidget::itemDoubleClicked, &f.dialog, &QDialog::accept);
    f.layout->addWidget(w);
    f.dialog.resize(480, 400);
    if (!f.run()) return std::nullopt;
    std::string out;
    for (int i = 0; i < w->count(); ++i)
        if (w->item(i)->isSelected()) out += (out.empty() ? "" : ",") + std::to_string(i);
    if (out.empty() && w->currentRow() >= 0) out = std::to_string(w->currentRow());
    return out;
}

std::optional<std::string> input(QWidget* parent, const DialogRequest& r) {
    Frame f(parent, r.caption);
    auto* form = new QFormLayout;
    const std::vector<std::string> values = splitFields(r.initial, ";");
    std::vector<QLineEdit*> edits;
    for (std::size_t i = 0; i < r.items.size(); ++i) {
        auto* e = new QLineEdit(i < values.size() ? qs(values[i]) : QString());
        form->addRow(qs(r.items[i]), e);
        edits.push_back(e);
    }
    f.layout->addLayout(form);
    if (!f.run()) return std::nullopt;
    std::string out;
    for (QLineEdit* e : edits) out += utf8(e->text()) + ";";
    return out;
}

std::optional<std::string> memo(QWidget* parent, const DialogRequest& r) {
    Frame f(parent, r.caption);
    auto* edit = new QPlainTextEdit(qs(r.initial));
    f.layout->addWidget(edit);
    f.dialog.resize(560, 420);
    if (!f.run()) return std::nullopt;
    return utf8(edit->toPlainText());
}

// The table window: the lines as rows, their ";"-separated fields as cells; the first line heads it.
// The model splits only the lines shown, so a large matrix opens at once. "Speichern unter" writes the
// lines as a text file.
std::optional<std::string> grid(QWidget* parent, const DialogRequest& r) {
    Frame f(parent, r.caption);
    auto* model = new LinesModel(r.items, &f.dialog);
    auto* table = new QTableView;
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    f.layout->addWidget(table);
    auto* save = new QPushButton("Speichern unter");
    QObject::connect(save, &QPushButton::clicked, &f.dialog, [&f, model] {
        const QString file = QFileDialog::getSaveFileName(&f.dialog, "Speichern unter");
        if (file.isEmpty()) return;
        std::string text;
        for (const std::string& line : model->lines()) text += line + "\r\n";
        if (const Status written = writeFileAtomically(file.toStdString(), text); !written)
            QMessageBox::critical(&f.dialog, "TAVOLEX", qs(written.plain()));
    });
    f.layout->addWidget(save);
    f.dialog.resize(720, 520);
    if (!f.run()) return std::nullopt;
    const int row = table->currentIndex().isValid() ? table->currentIndex().row() : -1;
    return model->rowText(row);
}

std::optional<std::string> question(QWidget* parent, const DialogRequest& r) {
    QMessageBox box(parent);
    box.setWindowTitle("TAVOLEX");
    box.setText(qs(r.caption.empty() && !r.items.empty() ? r.items.front() : r.caption));
    auto buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    if (r.kind == DialogKind::YesNoCancelAll) buttons |= QMessageBox::YesToAll;
    box.setStandardButtons(buttons);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return "Y";
        case QMessageBox::No:
            return "N";
        case QMessageBox::YesToAll:
            return "A";
        default:
            return "C";
    }
}

}  // namespace

void QtPort::showMessage(MessageKind kind, std::string_view text) {
    if (script_) return script_->showMessage(kind, text);
    switch (kind) {
        case MessageKind::Info:
            QMessageBox::information(window_, "TAVOLEX", qs(text));
            break;
        case MessageKind::Warning:
            QMessageBox::warning(window_, "TAVOLEX", qs(text));
            break;
        case MessageKind::Error:
            QMessageBox::critical(window_, "TAVOLEX", qs(text));
            break;
    }
}

std::optional<std::string> QtPort::dialog(const DialogRequest& r) {
    if (script_) return script_->dialog(r);
    QWidget* parent = window_;
    switch (r.kind) {
        case DialogKind::Radio:
            return radio(parent, r, false);
        case DialogKind::DRadio:
            return radio(parent, r, true);
        case DialogKind::Check:
        case DialogKind::DCheck:
            return check(parent, r);
        case DialogKind::Buttons:
            return buttons(parent, r);
        case DialogKind::List:
            return list(parent, r);
        case DialogKind::Input:
            return input(parent, r);
        case DialogKind::Memo:
            return memo(parent, r);
        case DialogKind::Grid:
            return grid(parent, r);
        case DialogKind::YesNoCancel:
        case DialogKind::YesNoCancelAll:
            return question(parent, r);
        case DialogKind::OpenFile: {
            if (r.multi) {
                const QStringList files = QFileDialog::getOpenFileNames(parent, qs(r.caption), qs(r.initial));
                if (files.isEmpty()) return std::nullopt;
                return utf8(files.join('|'));
            }
            const QString file = QFileDialog::getOpenFileName(parent, qs(r.caption), qs(r.initial));
            if (file.isEmpty()) return std::nullopt;
            return utf8(file);
        }
        case DialogKind::SaveFile: {
            const QString file = QFileDialog::getSaveFileName(parent, qs(r.caption), qs(r.initial));
            if (file.isEmpty()) return std::nullopt;
            return utf8(file);
        }
        case DialogKind::Folder: {
            const QString folder = QFileDialog::getExistingDirectory(parent, qs(r.caption), qs(r.initial));
            if (folder.isEmpty()) return std::nullopt;
            return utf8(folder);
        }
        case DialogKind::Combo:
        case DialogKind::Text: {
            bool ok = false;
            const QString text =
                QInputDialog::getText(parent, qs(r.caption), r.items.empty() ? QString() : qs(r.items[0]),
                                      QLineEdit::Normal, qs(r.initial), &ok);
            if (!ok) return std::nullopt;
            return utf8(text);
        }
    }
    return std::nullopt;
}

std::string QtPort::clipboardText() {
    if (script_) return script_->clipboardText();
    return utf8(QApplication::clipboard()->text());
}

void QtPort::setClipboardText(std::string_view text) {
    if (script_) return script_->setClipboardText(text);
    QApplication::clipboard()->setText(qs(text));
}

}  // namespace tav
