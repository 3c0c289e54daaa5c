#pragma once
// The desktop's answer to every question of the program: message boxes and the generic dialogs as Qt
// windows, the system clipboard. Tests and scripted runs hand the questions to another port instead.

#include <QPointer>
#include <QWidget>

#include "platform/ui_port.h"

namespace tav {

class QtPort : public UiPort {
  public:
    QtPort() = default;
    // Dialogs are shown over this window.
    void setWindow(QWidget* window) { window_ = window; }
    // While set, dialogs and messages go to this port (a ScriptUi in tests) instead of windows.
    void answerFrom(UiPort* script) { script_ = script; }

    void showMessage(MessageKind kind, std::string_view text) override;
    std::optional<std::string> dialog(const DialogRequest& request) override;
    std::string clipboardText() override;
    void setClipboardText(std::string_view text) override;

  private:
    QPointer<QWidget> window_;
    UiPort* script_ = nullptr;
};

}  // namespace tav
