#pragma once
// The desktop's answer to every question of the program: message boxes and the generic dialogs as Qt
// windows, the system clipboard. Tests and scripted runs hand the questions to another port instead.

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <map>

#include "env/project_settings_records.h"
#include "platform/ui_port.h"

class QLabel;

namespace tav {

class AnswerWindow;

class QtPort : public UiPort {
  public:
    QtPort();
    ~QtPort() override;
    QtPort(const QtPort&) = delete;
    QtPort& operator=(const QtPort&) = delete;
    // Where the dialogs open and how large they are comes from, and goes back to, these settings.
    void setDims(RBildEinst* dims) { dims_ = dims; }
    // Dialogs are shown over this window.
    void setWindow(QWidget* window) { window_ = window; }
    // While set, dialogs and messages go to this port (a ScriptUi in tests) instead of windows.
    void answerFrom(UiPort* script) { script_ = script; }

    void showMessage(MessageKind kind, std::string_view text) override;
    std::optional<std::string> dialog(const DialogRequest& request) override;
    std::string clipboardText() override;
    void setClipboardText(std::string_view text) override;
    DialogState dialogState(DialogKind kind) override;
    void showStatusWindow(std::string_view caption, std::string_view text) override;
    void closeStatusWindow() override;
    // The window that draws as a modal dialog; with a script answering, the script runs its commands.
    void showDrawingWindow(DrawingWindow& window) override;
    void showWindowLines(std::string_view caption, const std::vector<std::string>& lines) override {
        if (script_) script_->showWindowLines(caption, lines);
    }
    bool saveBitmap(const Drawing& drawing, const std::string& file) override;

    // The window of a kind that was left open (nullptr when there is none).
    AnswerWindow* openWindow(DialogKind kind) const;
    QDialog* statusWindow() const { return statusWindow_.data(); }

  private:
    RBildEinst& dims() { return dims_ ? *dims_ : ownDims_; }
    void place(AnswerWindow* window, const DialogRequest& request);
    void store(const AnswerWindow* window);

    QPointer<QWidget> window_;
    UiPort* script_ = nullptr;
    RBildEinst* dims_ = nullptr;
    RBildEinst ownDims_;
    std::map<DialogKind, QPointer<AnswerWindow>> open_;
    std::map<DialogKind, DialogState> states_;
    QPointer<QDialog> statusWindow_;
    QLabel* statusText_ = nullptr;
};

}  // namespace tav
