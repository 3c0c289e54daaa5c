#include "gui/qt_port.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QScreen>
#include <QVBoxLayout>

#include "core/file_io.h"
#include "core/text.h"
#include "env/window_rules.h"
#include "gui/dialog_windows.h"
#include "gui/drawing_window.h"
#include "gui/qt_text.h"

namespace tav {

namespace {

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

namespace {

ScreenSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect r = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return {r.width(), r.height()};
}

bool isChoice(DialogKind kind) {
    return kind == DialogKind::Radio || kind == DialogKind::Check || kind == DialogKind::DRadio ||
           kind == DialogKind::DCheck || kind == DialogKind::Combo || kind == DialogKind::Input;
}

QRect rectOf(const PixelRect& r) {
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

PixelRect pixelRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

QtPort::QtPort() {
    // Until the settings are handed over: the places and sizes a new project starts with.
    ownDims_.DimChk = {100, 100};
    ownDims_.DimLst = ownDims_.DimLstG = {200, 200, 760, 620};
    ownDims_.LstG1 = 30;
    ownDims_.LstG2 = 100;
    ownDims_.LstG3 = 50;
    ownDims_.LstG11 = ownDims_.LstG12 = 100;
    ownDims_.RadioWidth = ownDims_.CheckWidth = 250;
}

QtPort::~QtPort() {
    for (auto& [kind, window] : open_) delete window.data();
    delete statusWindow_.data();
}

void QtPort::place(AnswerWindow* w, const DialogRequest& r) {
    const RBildEinst& d = dims();
    const ScreenSize screen = screenSize();
    const int offset = moveOffset(r.moved, QRandomGenerator::global()->bounded(2) == 1, screen);
    if (isChoice(r.kind)) {
        const PixelPoint p = choiceDialogPosition(d.DimChk, screen, offset);
        w->move(p.X, p.Y);
        if (r.resizable && (r.kind == DialogKind::Radio || r.kind == DialogKind::Check)) {
            const int width = r.kind == DialogKind::Radio ? d.RadioWidth : d.CheckWidth;
            if (width > 0) w->resize(std::max(width, w->sizeHint().width()), w->sizeHint().height());
        }
    } else if (r.kind == DialogKind::Buttons) {
        const PixelPoint p = buttonPanelPosition(d.DimChk, screen, offset);
        w->move(p.X, p.Y);
    } else if (r.kind == DialogKind::List || r.kind == DialogKind::Memo) {
        w->setGeometry(rectOf(windowRect(d.DimLst, screen, r.moved)));
    } else if (r.kind == DialogKind::Grid) {
        w->setGeometry(rectOf(windowRect(d.DimLstG, screen, r.moved)));
        w->applyDims(d);
    }
}

void QtPort::store(const AnswerWindow* w) {
    RBildEinst& d = dims();
    const DialogRequest& r = w->request();
    if (isChoice(r.kind) || r.kind == DialogKind::Buttons) {
        d.DimChk = {w->pos().x(), w->pos().y()};
        if (r.resizable && r.kind == DialogKind::Radio) d.RadioWidth = w->width();
        if (r.resizable && r.kind == DialogKind::Check) d.CheckWidth = w->width();
    } else if (r.kind == DialogKind::List || r.kind == DialogKind::Memo) {
        d.DimLst = pixelRect(w->geometry());
    } else if (r.kind == DialogKind::Grid) {
        d.DimLstG = pixelRect(w->geometry());
        w->storeDims(d);
    }
}

std::optional<std::string> QtPort::dialog(const DialogRequest& r) {
    if (script_) return script_->dialog(r);
    QWidget* parent = window_;
    switch (r.kind) {
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
        case DialogKind::Text: {
            bool ok = false;
            const QString text = QInputDialog::getText(
                parent, qs(r.caption), r.items.empty() ? QString() : qs(r.items[0]).replace('\r', '\n'),
                QLineEdit::Normal, qs(r.initial), &ok);
            if (!ok) return std::nullopt;
            return utf8(text);
        }
        default:
            break;
    }
    const DialogKind kind = r.kind;
    // One window of a kind at a time: a list, text or table window that stays open takes the new
    // contents; any other open one closes first.
    if (QPointer<AnswerWindow>& open = open_[kind]; open) {
        if (!r.modal && open->isVisible() && open->renew(r)) {
            states_[kind] = {r.caption, open->answer(), 0};
            open->raise();
            return std::string();
        }
        open->close();
        delete open.data();
    }
    AnswerWindow* w = makeWindow(parent, r);
    if (!w) return std::nullopt;
    place(w, r);
    w->publish = [this, kind, w](int code) { states_[kind] = {w->request().caption, w->answer(), code}; };
    QObject::connect(w, &QDialog::finished, w, [this, w, kind](int result) {
        if (result != QDialog::Accepted) w->restoreInitial();
        states_[kind] = {w->request().caption, w->answer(), result == QDialog::Accepted ? 1 : 2};
        store(w);
    });
    if (r.modal) {
        const bool ok = w->exec() == QDialog::Accepted;
        std::optional<std::string> answer;
        if (ok) {
            answer = w->answer();
            if (r.editedLines) *r.editedLines = w->lines();
        }
        delete w;
        return answer;
    }
    w->setAttribute(Qt::WA_DeleteOnClose);
    open_[kind] = w;
    states_[kind] = {r.caption, w->answer(), 0};
    w->show();
    return std::string();
}

DialogState QtPort::dialogState(DialogKind kind) {
    if (script_) return script_->dialogState(kind);
    if (const auto open = open_.find(kind);
        open != open_.end() && open->second && open->second->isVisible()) {
        DialogState& s = states_[kind];
        s.closeCode = 0;
        s.caption = open->second->request().caption;
        return s;
    }
    const auto s = states_.find(kind);
    return s == states_.end() ? DialogState{} : s->second;
}

AnswerWindow* QtPort::openWindow(DialogKind kind) const {
    const auto open = open_.find(kind);
    return open == open_.end() ? nullptr : open->second.data();
}

void QtPort::showStatusWindow(std::string_view caption, std::string_view text) {
    if (script_) return script_->showStatusWindow(caption, text);
    if (!statusWindow_) {
        statusWindow_ = new QDialog(window_, Qt::Tool | Qt::WindowStaysOnTopHint);
        auto* layout = new QVBoxLayout(statusWindow_);
        statusText_ = new QLabel;
        statusText_->setWordWrap(true);
        statusText_->setMinimumWidth(320);
        layout->addWidget(statusText_);
        statusWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    statusWindow_->setWindowTitle(qs(caption));
    statusText_->setText(qs(text));
    statusWindow_->show();
    statusWindow_->raise();
}

void QtPort::closeStatusWindow() {
    if (script_) return script_->closeStatusWindow();
    if (statusWindow_) statusWindow_->close();
}

void QtPort::showDrawingWindow(DrawingWindow& window) {
    if (script_) return script_->showDrawingWindow(window);
    DrawingDialog dialog(window, window_);
    dialog.exec();
}

bool QtPort::saveBitmap(const Drawing& drawing, const std::string& file) {
    return saveDrawingImage(drawing, file);
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
