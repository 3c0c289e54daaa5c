#pragma once
// The windows of the generic dialogs. Each is built from a DialogRequest and gives its answer in the
// request's answer form; the port shows it modal (and returns the answer) or leaves it open, publishing
// its current answer and close code.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "env/project_settings_records.h"
#include "platform/ui_port.h"

class QLabel;
class QTableView;
class QVBoxLayout;

namespace tav {

class LinesModel;

class AnswerWindow : public QDialog {
  public:
    AnswerWindow(QWidget* parent, DialogRequest request);
    // The answer as the window now stands.
    virtual std::string answer() const = 0;
    // Cancel puts back what the window started with (the radio kinds do).
    virtual void restoreInitial() {}
    // A window that stays open takes new contents of the same kind; false when it cannot.
    virtual bool renew(const DialogRequest&) { return false; }
    // The lines of an editing table window.
    virtual std::vector<std::string> lines() const { return {}; }
    // Sizes kept in the settings (the table window's column widths).
    virtual void applyDims(const RBildEinst&) {}
    virtual void storeDims(RBildEinst&) const {}
    const DialogRequest& request() const { return request_; }
    // Set by the port: publishes the current answer with a close code while the window stays open.
    std::function<void(int closeCode)> publish;

  protected:
    // OK and Cancel (with other captions where given) at the bottom.
    void addButtons(const QString& ok = {}, const QString& cancel = {});
    DialogRequest request_;
    QVBoxLayout* layout_;
};

// A window for the request; nullptr for the kinds that are not windows of their own (message boxes and
// file choosers).
AnswerWindow* makeWindow(QWidget* parent, const DialogRequest& request);

// The table window's parts for tests and the port: the view and model.
QTableView* tableViewOf(AnswerWindow* window);

}  // namespace tav
