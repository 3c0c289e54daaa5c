#include "gui/dialog_windows.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "env/dialogs.h"
#include "env/window_rules.h"
#include "gui/lines_model.h"
#include "gui/qt_text.h"

namespace tav {

namespace {

DialogRequest::ItemStyle styleOf(const DialogRequest& r, std::size_t i) {
    return i < r.itemStyles.size() ? r.itemStyles[i] : DialogRequest::ItemStyle{};
}

// Bold items and a gap of one control height above the items that ask for it.
void place(QVBoxLayout* layout, QWidget* w, DialogRequest::ItemStyle style) {
    if (style.gapAbove) layout->addSpacing(w->sizeHint().height());
    if (style.bold) {
        QFont f = w->font();
        f.setBold(true);
        w->setFont(f);
    }
    layout->addWidget(w);
}

QColor colourFor(LineColour c) {
    switch (c) {
        case LineColour::Red:
            return Qt::red;
        case LineColour::Blue:
            return Qt::blue;
        case LineColour::Green:
            return Qt::darkGreen;
        case LineColour::Yellow:
            return Qt::yellow;
        case LineColour::Aqua:
            return Qt::cyan;
        case LineColour::Lime:
            return Qt::green;
        case LineColour::White:
            return Qt::white;
        case LineColour::Plain:
            break;
    }
    return {};
}

// Writes text to a file the user chooses; an existing file was confirmed by the file chooser.
void saveText(QWidget* parent, const QString& caption, const std::string& text) {
    const QString file = QFileDialog::getSaveFileName(parent, caption);
    if (file.isEmpty()) return;
    if (const Status written = writeFileAtomically(utf8(file), encodeTextFile(text)); !written)
        QMessageBox::critical(parent, "TAVOLEX", qs(written.plain()));
}

// Prints lines as a form: one row per line, its ";"-separated fields in columns.
void printLines(QWidget* parent, const QString& caption, const std::vector<std::string>& lines) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle("Formular drucken");
    if (dialog.exec() != QDialog::Accepted) return;
    QString html =
        "<h3>" + caption.toHtmlEscaped() + "</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">";
    for (const std::string& line : lines) {
        html += "<tr>";
        for (const std::string& cell : splitFields(line)) html += "<td>" + qs(cell).toHtmlEscaped() + "</td>";
        html += "</tr>";
    }
    QTextDocument doc;
    doc.setHtml(html + "</table>");
    doc.print(&printer);
}

// ---------------------------------------------------------------------------------------------------
// Choice dialogs: one group of radio buttons or check boxes per group of items.

class ChoiceWindow : public AnswerWindow {
  public:
    ChoiceWindow(QWidget* parent, const DialogRequest& r) : AnswerWindow(parent, r) {
        const bool two = r.kind == DialogKind::DRadio || r.kind == DialogKind::DCheck;
        radio_ = r.kind == DialogKind::Radio || r.kind == DialogKind::DRadio;
        const int split = two ? r.firstGroupSize : static_cast<int>(r.items.size());
        const int initial = r.initial.empty() ? 0 : std::atoi(r.initial.c_str());
        for (int g = 0; g < (two ? 2 : 1); ++g) {
            auto* box = new QGroupBox(g < static_cast<int>(r.groups.size()) ? qs(r.groups[g]) : QString());
            auto* v = new QVBoxLayout(box);
            const int from = g == 0 ? 0 : split, to = g == 0 ? split : static_cast<int>(r.items.size());
            const int chosen = two ? (g == 0 ? initial % 100 : initial / 100) : initial;
            groupStart_[g] = from;
            for (int i = from; i < to; ++i) {
                QAbstractButton* b = nullptr;
                const QString text = qs(r.items[static_cast<std::size_t>(i)]);
                if (radio_) {
                    b = new QRadioButton(text);
                    groups_[g].addButton(b, i - from);
                    b->setChecked(i - from == chosen);
                } else {
                    b = new QCheckBox(text);
                    b->setChecked(static_cast<std::size_t>(i) < r.initial.size() &&
                                  r.initial[static_cast<std::size_t>(i)] == '1');
                }
                place(v, b, styleOf(r, static_cast<std::size_t>(i)));
                buttons_.push_back(b);
            }
            layout_->addWidget(box);
        }
        two_ = two;
        initial_ = answer();
        addButtons();
    }
    std::string answer() const override {
        if (radio_) {
            const int first = std::max(groups_[0].checkedId(), 0);
            return std::to_string(two_ ? first + 100 * std::max(groups_[1].checkedId(), 0) : first);
        }
        std::string flags;
        for (const QAbstractButton* b : buttons_) flags += b->isChecked() ? '1' : '0';
        return flags;
    }
    void restoreInitial() override {
        if (!radio_) return;
        const int initial = std::atoi(initial_.c_str());
        for (int g = 0; g < (two_ ? 2 : 1); ++g) {
            const int chosen = two_ ? (g == 0 ? initial % 100 : initial / 100) : initial;
            if (QAbstractButton* b = groups_[g].button(chosen)) b->setChecked(true);
        }
    }

  private:
    QButtonGroup groups_[2];
    int groupStart_[2] = {};
    std::vector<QAbstractButton*> buttons_;
    bool radio_ = true, two_ = false;
    std::string initial_;
};

// ---------------------------------------------------------------------------------------------------
// The action button panel: a button acts through the caller's control and the panel stays open; OK and
// Cancel close it.

class ButtonPanel : public AnswerWindow {
  public:
    ButtonPanel(QWidget* parent, const DialogRequest& r) : AnswerWindow(parent, r) {
        if (!r.groups.empty() && !r.groups.front().empty()) {
            auto* text = new QLabel(qs(r.groups.front()));
            text->setWordWrap(true);
            layout_->addWidget(text);
        }
        for (std::size_t i = 0; i < r.items.size() && i < 10; ++i) {
            // "Caption: label" from the definition and the caller's label texts.
            const std::string& item = r.items[i];
            const std::size_t colon = item.find(": ");
            auto* row = new QWidget;
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            auto* b = new QPushButton(qs(colon == std::string::npos ? item : item.substr(0, colon)));
            h->addWidget(b);
            h->addWidget(
                new QLabel(colon == std::string::npos ? QString("-----") : qs(item.substr(colon + 2))), 1);
            place(layout_, row, styleOf(r, i));
            const int k = static_cast<int>(i);
            connect(b, &QPushButton::clicked, this, [this, k] {
                pressed_ = k;
                if (request_.onAction) {
                    request_.onAction(k);
                } else {
                    accept();
                }
            });
        }
        auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(box, &QDialogButtonBox::accepted, this, [this] {
            pressed_ = -1;
            accept();
        });
        connect(box, &QDialogButtonBox::rejected, this, [this] {
            pressed_ = -2;
            reject();
        });
        layout_->addWidget(box);
        setMinimumWidth(400);
    }
    std::string answer() const override { return std::to_string(pressed_); }

  private:
    int pressed_ = -2;
};

// ---------------------------------------------------------------------------------------------------
// The option-box panel: a drop-down box per item, an edit box where an item has no choices.

class ComboPanel : public AnswerWindow {
  public:
    ComboPanel(QWidget* parent, const DialogRequest& r) : AnswerWindow(parent, r), boxes_(r.comboBoxes) {
        auto* form = new QFormLayout;
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            DialogRequest::ComboBox& b = boxes_[i];
            auto* label = new QLabel(qs(b.label));
            const auto style = styleOf(r, i);
            if (style.bold) {
                QFont f = label->font();
                f.setBold(true);
                label->setFont(f);
            }
            if (style.gapAbove) form->addItem(new QSpacerItem(1, label->sizeHint().height() * 2));
            if (b.choices.empty() || b.type == 'D' || b.type == 'E') {
                auto* edit = new QLineEdit(qs(b.text));
                edits_.push_back(edit);
                combos_.push_back(nullptr);
                if (b.type == 'D') {
                    auto* row = new QWidget;
                    auto* h = new QHBoxLayout(row);
                    h->setContentsMargins(0, 0, 0, 0);
                    h->addWidget(edit, 1);
                    auto* pick = new QPushButton("…");
                    h->addWidget(pick);
                    connect(pick, &QPushButton::clicked, this, [this, edit] {
                        const QString f = QFileDialog::getOpenFileName(this, QString(), edit->text());
                        if (!f.isEmpty()) edit->setText(f);
                    });
                    form->addRow(label, row);
                } else {
                    form->addRow(label, edit);
                }
                continue;
            }
            auto* combo = new QComboBox;
            for (const std::string& c : b.choices) combo->addItem(qs(c));
            combo->setCurrentIndex(std::clamp(b.chosen, 0, static_cast<int>(b.choices.size()) - 1));
            combos_.push_back(combo);
            edits_.push_back(nullptr);
            form->addRow(label, combo);
            connect(combo, &QComboBox::activated, this, [this, i](int index) { chosen(i, index); });
        }
        layout_->addLayout(form);
        addButtons();
    }
    std::string answer() const override {
        std::string out;
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            if (i > 0) out += ';';
            if (edits_[i]) {
                out += utf8(edits_[i]->text());
                continue;
            }
            const int index = combos_[i]->currentIndex();
            out += std::to_string(index);
            if (index == boxes_[i].optionChoice && values_.count(i)) out += "=" + values_.at(i);
        }
        return out;
    }

  private:
    // Choosing the option entry of a typed box asks for its value.
    void chosen(std::size_t box, int index) {
        const DialogRequest::ComboBox& b = boxes_[box];
        if (index != b.optionChoice) return;
        bool ok = false;
        std::string value;
        switch (b.type) {
            case 'C':
            case 'c': {
                const QColor c = QColorDialog::getColor(Qt::white, this);
                ok = c.isValid();
                value = std::to_string(colourValue(c));
                break;
            }
            case 'Z':
                value =
                    utf8(QInputDialog::getText(this, "Wert", "Wert eingeben", QLineEdit::Normal, {}, &ok));
                break;
            case 'M':
            case 'm': {
                const QString v = QInputDialog::getText(
                    this, b.type == 'M' ? "Unterer Wert / Oberer Wert" : "Wert für X / Wert für Y",
                    "Zwei Werte eingeben", QLineEdit::Normal, {}, &ok);
                value = utf8(v.simplified());
                break;
            }
            case 'A':
                if (index >= 3) {
                    const QString v = QInputDialog::getText(this, index == 5 ? "Manuelle Werte" : "Anzahl",
                                                            index == 5 ? "Werte eingeben" : "Wert eingeben",
                                                            QLineEdit::Normal, {}, &ok);
                    value = std::to_string(index) + " " + utf8(v.simplified());
                }
                break;
            case 'X':
                value = utf8(
                    QInputDialog::getText(this, "Anschrift", "Text eingeben", QLineEdit::Normal, {}, &ok));
                break;
            default:
                if (b.type != 0)
                    value = utf8(QInputDialog::getText(this, qs(b.label), "Wert eingeben", QLineEdit::Normal,
                                                       {}, &ok));
                break;
        }
        if (ok) values_[box] = value;
    }

    std::vector<DialogRequest::ComboBox> boxes_;
    std::vector<QComboBox*> combos_;
    std::vector<QLineEdit*> edits_;
    std::map<std::size_t, std::string> values_;
};

// ---------------------------------------------------------------------------------------------------
// The input form: labelled fields, some with a button beside them or in their place.

class InputForm : public AnswerWindow {
  public:
    InputForm(QWidget* parent, const DialogRequest& r) : AnswerWindow(parent, r) {
        if (!r.groups.empty() && !r.groups.front().empty())
            layout_->addWidget(new QLabel(qs(r.groups.front())));
        auto* form = new QFormLayout;
        const std::vector<std::string> values = splitFields(r.initial, ";");
        for (std::size_t i = 0; i < r.items.size(); ++i) {
            auto* e = new QLineEdit(i < values.size() ? qs(values[i]) : QString());
            edits_.push_back(e);
            const char flag = i < r.fieldButtons.size() ? r.fieldButtons[i] : '0';
            if (flag == '0') {
                form->addRow(qs(r.items[i]), e);
                continue;
            }
            const QString caption = i < r.buttonCaptions.size() && !r.buttonCaptions[i].empty()
                                        ? qs(r.buttonCaptions[i])
                                        : qs(r.items[i]);
            auto* b = new QPushButton(caption);
            const int field = static_cast<int>(i);
            connect(b, &QPushButton::clicked, this, [this, field] { pressed(field); });
            if (flag == '2') {
                e->hide();
                form->addRow(QString(), b);
            } else {
                auto* row = new QWidget;
                auto* h = new QHBoxLayout(row);
                h->setContentsMargins(0, 0, 0, 0);
                h->addWidget(e, 1);
                h->addWidget(b);
                form->addRow(qs(r.items[i]), row);
            }
        }
        layout_->addLayout(form);
        addButtons();
    }
    std::string answer() const override {
        std::string out;
        for (const QLineEdit* e : edits_) out += utf8(e->text()) + ";";
        return out;
    }

  private:
    void pressed(int field) {
        if (!request_.onFieldButton) return;
        std::vector<std::string> values;
        for (const QLineEdit* e : edits_) values.push_back(utf8(e->text()));
        if (!request_.onFieldButton(field, values)) return;
        for (std::size_t i = 0; i < edits_.size() && i < values.size(); ++i)
            edits_[i]->setText(qs(values[i]));
    }
    std::vector<QLineEdit*> edits_;
};

// ---------------------------------------------------------------------------------------------------
// The list window: lines with their formats, a status line, a menu on F10.

class FormattedLines : public QAbstractListModel {
  public:
    FormattedLines(const DialogRequest& r, QObject* parent) : QAbstractListModel(parent) { set(r); }
    void set(const DialogRequest& r) {
        beginResetModel();
        lines_ = r.items;
        formats_ = r.lineFormats;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const std::string& line = lines_[static_cast<std::size_t>(index.row())];
        switch (role) {
            case Qt::DisplayRole:
                return qs(line);
            case Qt::ToolTipRole: {
                // The whole line, a field per line.
                QString text = qs(line);
                text.replace(';', '\n');
                return text;
            }
            case Qt::FontRole: {
                const LineFormat f = lineFormat(formats_, index.row(), false);
                if (!f.bold && !f.italic) return {};
                QFont font;
                font.setBold(f.bold);
                font.setItalic(f.italic);
                return font;
            }
            case Qt::ForegroundRole: {
                const QColor c = colourFor(lineFormat(formats_, index.row(), false).colour);
                return c.isValid() ? QVariant(c) : QVariant();
            }
            default:
                return {};
        }
    }
    const std::vector<std::string>& lines() const { return lines_; }
    const std::string& formats() const { return formats_; }

  private:
    std::vector<std::string> lines_;
    std::string formats_;
};

// Selected lines take the light colours of their format.
class SelectedLineColours : public QStyledItemDelegate {
  public:
    SelectedLineColours(const FormattedLines* lines, QObject* parent)
        : QStyledItemDelegate(parent), lines_(lines) {}
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->state & QStyle::State_Selected)) return;
        const QColor c = colourFor(lineFormat(lines_->formats(), index.row(), true).colour);
        if (c.isValid()) option->palette.setColor(QPalette::HighlightedText, c);
    }

  private:
    const FormattedLines* lines_;
};

class ListWindow : public AnswerWindow {
  public:
    ListWindow(QWidget* parent, const DialogRequest& r) : AnswerWindow(parent, r) {
        model_ = new FormattedLines(r, this);
        view_ = new QListView;
        view_->setModel(model_);
        view_->setItemDelegate(new SelectedLineColours(model_, view_));
        view_->setUniformItemSizes(r.lineFormats.empty());
        view_->setSelectionMode(r.multi ? QAbstractItemView::ExtendedSelection
                                        : QAbstractItemView::SingleSelection);
        layout_->addWidget(view_);
        status_ = new QLabel;
        layout_->addWidget(status_);
        addButtons();
        connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this] { showStatus(); });
        connect(view_, &QListView::clicked, this, [this](const QModelIndex& index) {
            QToolTip::showText(QCursor::pos(), model_->data(index, Qt::ToolTipRole).toString(), view_);
        });
        connect(view_, &QListView::doubleClicked, this, [this] {
            if (!request_.multi) {
                accept();
            } else if (QApplication::keyboardModifiers() & Qt::ShiftModifier) {
                view_->selectAll();
            }
        });
        preselect(r);
        view_->installEventFilter(this);
    }
    bool renew(const DialogRequest& r) override {
        request_.items = r.items;
        request_.lineFormats = r.lineFormats;
        setWindowTitle(qs(r.caption));
        model_->set(r);
        preselect(r);
        return true;
    }
    std::string answer() const override {
        std::vector<int> rows;
        for (const QModelIndex& i : view_->selectionModel()->selectedIndexes()) rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        const int current = view_->currentIndex().isValid() ? view_->currentIndex().row() : -1;
        // The current line first, then the other chosen ones.
        std::string out = current >= 0 ? std::to_string(current) : std::string();
        for (int row : rows)
            if (row != current) out += (out.empty() ? "" : ",") + std::to_string(row);
        return out;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == view_ && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_F10) {
            menu();
            return true;
        }
        return AnswerWindow::eventFilter(watched, event);
    }

  private:
    void preselect(const DialogRequest& r) {
        const int count = model_->rowCount();
        if (count == 0) return showStatus();
        const int initial = std::clamp(r.initial.empty() ? 0 : std::atoi(r.initial.c_str()), 0, count - 1);
        view_->setCurrentIndex(model_->index(initial));
        // Three lines of context above a line further down.
        if (count > 5 && initial > 2)
            view_->scrollTo(model_->index(initial - 3), QAbstractItemView::PositionAtTop);
        showStatus();
    }
    void showStatus() {
        const int current = view_->currentIndex().isValid() ? view_->currentIndex().row() : 0;
        status_->setText(QString("Zeile %1 / %2. Menü: F10.").arg(current + 1).arg(model_->rowCount()));
    }
    void menu() {
        QMenu m(this);
        m.addAction("Speichern unter", this,
                    [this] { saveText(this, "Speichern unter", tableFileText(model_->lines(), false)); });
        m.addAction("Formular drucken", this, [this] { printLines(this, windowTitle(), model_->lines()); });
        m.addAction("Suchen", this, [this] { find(); });
        m.addAction("Liste kopieren", this, [this] {
            QApplication::clipboard()->setText(qs(tableFileText(model_->lines(), false)));
        });
        m.addAction("Schliessen", this, &QDialog::reject);
        m.exec(view_->mapToGlobal(view_->rect().center()));
    }
    void find() {
        bool ok = false;
        const QString text = QInputDialog::getText(this, "Suchen", "Text", QLineEdit::Normal, lastFind_, &ok);
        if (!ok || text.isEmpty()) return;
        const int current = view_->currentIndex().isValid() ? view_->currentIndex().row() : 0;
        // Repeating the search at the same line goes on from the next one.
        const int from = text == lastFind_ && current == lastFound_ ? current + 1 : current;
        lastFind_ = text;
        const std::string want = upperCaseOnly(utf8(text));
        const auto& lines = model_->lines();
        for (int i = from; i < static_cast<int>(lines.size()); ++i)
            if (upperCaseOnly(lines[static_cast<std::size_t>(i)]).find(want) != std::string::npos) {
                view_->setCurrentIndex(model_->index(i));
                lastFound_ = i;
                return;
            }
        QMessageBox::information(this, "TAVOLEX", "Nicht gefunden");
    }

    FormattedLines* model_;
    QListView* view_;
    QLabel* status_;
    QString lastFind_;
    int lastFound_ = -1;
};

// ---------------------------------------------------------------------------------------------------
// The text window: edits a text, or shows lines read-only ("Refresh"); the editor mode accepts while it
// stays open.

class MemoWindow : public AnswerWindow {
  public:
    MemoWindow(QWidget* parent, const DialogRequest& r) : AnswerWindow(parent, r) {
        edit_ = new QPlainTextEdit;
        layout_->addWidget(edit_);
        const bool lines = r.mode == 'T' || !r.items.empty();
        const bool accepting = !r.modal && !lines;
        addButtons(lines ? "Refresh" : accepting ? "Accept" : QString());
        show(r);
    }
    bool renew(const DialogRequest& r) override {
        request_.items = r.items;
        request_.initial = r.initial;
        setWindowTitle(qs(r.caption));
        show(r);
        return true;
    }
    std::string answer() const override { return utf8(edit_->toPlainText()); }

  private:
    void show(const DialogRequest& r) {
        const bool lines = r.mode == 'T' || !r.items.empty();
        edit_->setReadOnly(lines);
        edit_->setLineWrapMode(lines ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        edit_->setPlainText(qs(r.initial));
        if (lines) edit_->moveCursor(QTextCursor::End);
    }
    QPlainTextEdit* edit_;
};

// ---------------------------------------------------------------------------------------------------
// The table window.

class TableWindow : public AnswerWindow {
  public:
    TableWindow(QWidget* parent, const DialogRequest& r)
        : AnswerWindow(parent, r), kind_(tableKind(r.tableKind)) {
        // The lines live in the model only: a large matrix is not kept twice.
        model_ = new LinesModel(std::move(request_.items), this);
        request_.items.clear();
        if (request_.lineAt) model_->setSource(request_.lineCount, request_.lineAt);
        model_->setEditable(kind_.editing, kind_.editFromRow - 2 < 0 ? 0 : kind_.editFromRow - 2,
                            kind_.editFromColumn - 1);
        view_ = new QTableView;
        view_->setModel(model_);
        view_->setSelectionBehavior(kind_.wholeRows ? QAbstractItemView::SelectRows
                                                    : QAbstractItemView::SelectItems);
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
        view_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view_, &QTableView::customContextMenuRequested, this, [this] { menu(); });
        layout_->addWidget(view_);
        connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
            if (kind_.wholeRows) {
                accept();
            } else if (kind_.changeButton) {
                change(index);
            }
        });
        auto* row = new QHBoxLayout;
        if (kind_.changeButton) {
            auto* b = new QPushButton("ändern");
            connect(b, &QPushButton::clicked, this, [this] { change(view_->currentIndex()); });
            row->addWidget(b);
        }
        row->addStretch();
        auto button = [&](const QString& caption, auto action) {
            auto* b = new QPushButton(caption);
            connect(b, &QPushButton::clicked, this, action);
            row->addWidget(b);
            return b;
        };
        switch (kind_.buttons) {
            case TableKind::Buttons::OkCancel:
                button("OK", [this] { accept(); })->setDefault(true);
                button("Abbrechen", [this] { reject(); });
                break;
            case TableKind::Buttons::ApplyClose:
                button("anwenden", [this] { accept(); })->setDefault(true);
                button("schliessen", [this] { reject(); });
                break;
            case TableKind::Buttons::RowsColumnsClose:
                button("Zeilen", [this] { act(6); });
                button("Spalten", [this] { act(7); });
                button("schliessen", [this] { reject(); });
                break;
        }
        layout_->addLayout(row);
        goTo(r.currentRow);
    }
    bool renew(const DialogRequest& r) override {
        if (r.tableKind != request_.tableKind) return false;
        setWindowTitle(qs(r.caption));
        request_.caption = r.caption;
        model_->setLines(r.items);
        goTo(r.currentRow);
        return true;
    }
    std::string answer() const override {
        const QModelIndex i = view_->currentIndex();
        return model_->rowText(i.isValid() ? i.row() : 0);
    }
    std::vector<std::string> lines() const override { return model_->lines(); }
    QTableView* view() const { return view_; }
    void applyDims(const RBildEinst& dims) override {
        view_->verticalHeader()->setMinimumWidth(tableHeaderWidth(dims, request_.tableKind));
        // Every column but the first has the same width: set once, not per column of a large matrix.
        view_->horizontalHeader()->setDefaultSectionSize(tableColumnWidth(dims, request_.tableKind, 1));
        if (model_->columnCount() > 0)
            view_->setColumnWidth(0, tableColumnWidth(dims, request_.tableKind, 0));
    }
    void storeDims(RBildEinst& dims) const override {
        for (int c = 0; c < std::min(2, model_->columnCount()); ++c)
            storeTableColumnWidth(dims, request_.tableKind, c, view_->columnWidth(c));
    }

  private:
    void goTo(int row) {
        if (model_->rowCount() == 0) return;
        view_->setCurrentIndex(model_->index(std::clamp(row, 0, model_->rowCount() - 1), 0));
    }
    void act(int value) {
        if (request_.onAction) request_.onAction(value);
    }
    // The change button: the cell's next value (the title row never changes); kind 8's fourth column
    // holds a colour.
    void change(const QModelIndex& index) {
        if (!index.isValid()) return;
        const int col = index.column() + 1, row = index.row() + 2;
        const std::string text = model_->cell(index.row(), index.column());
        if (request_.tableKind == 8 && col == 4) {
            const auto old = parseInteger(text);
            const QColor c =
                QColorDialog::getColor(old ? colourOf(static_cast<std::int32_t>(*old)) : Qt::white, this);
            if (c.isValid()) model_->setCell(index.row(), index.column(), std::to_string(colourValue(c)));
            return;
        }
        if (const auto next = TGridDlg::changedCell(request_.tableKind, col, row, text))
            model_->setCell(index.row(), index.column(), *next);
    }
    void menu() {
        QMenu m(this);
        m.addAction("Speichern unter", this,
                    [this] { saveText(this, "Speichern unter", tableFileText(model_->lines(), false)); });
        m.addAction("Transponiert speichern", this, [this] {
            saveText(this, "Transponiert speichern", tableFileText(model_->lines(), true));
        });
        m.addAction("Suchen", this, [this] { find(); });
        m.addAction("Zeichenfolge ersetzen", this, [this] { replace(); });
        m.addAction("Liste kopieren", this, [this] {
            QApplication::clipboard()->setText(qs(tableFileText(model_->lines(), false)));
        });
        m.addAction("Formular drucken", this, [this] { printLines(this, windowTitle(), model_->lines()); });
        QAction* editing = m.addAction("Bearbeiten (ein/aus)", this,
                                       [this] { model_->setEditable(!model_->editable(), 0, 0); });
        editing->setCheckable(true);
        editing->setChecked(model_->editable());
        m.addSeparator();
        m.addAction("Kopieren", this, [this] {
            const QModelIndex i = view_->currentIndex();
            if (i.isValid()) QApplication::clipboard()->setText(qs(model_->cell(i.row(), i.column())));
        });
        m.addAction("Ausschneiden", this, [this] {
            const QModelIndex i = view_->currentIndex();
            if (!i.isValid() || !model_->cellEditable(i.row(), i.column())) return;
            QApplication::clipboard()->setText(qs(model_->cell(i.row(), i.column())));
            model_->setCell(i.row(), i.column(), "");
        });
        m.addAction("Einfügen", this, [this] {
            const QModelIndex i = view_->currentIndex();
            if (i.isValid() && model_->cellEditable(i.row(), i.column()))
                model_->setData(i, QApplication::clipboard()->text());
        });
        m.addSeparator();
        m.addAction("Feld einfügen, nach rechts schieben", this, [this] { shiftRow(true); });
        m.addAction("Feld löschen, nach links schieben", this, [this] { shiftRow(false); });
        m.addAction("Zelle nach links", this, [this] { moveCell(0, -1); });
        m.addAction("Zelle nach rechts", this, [this] { moveCell(0, 1); });
        m.addAction("Zelle nach oben", this, [this] { moveCell(-1, 0); });
        m.addAction("Zelle nach unten", this, [this] { moveCell(1, 0); });
        m.addSeparator();
        m.addAction("Schliessen", this, &QDialog::reject);
        m.exec(QCursor::pos());
    }
    // A new empty field at the current cell pushes the rest of the row right (the last field must be
    // empty, so that nothing falls off); deleting one pulls the rest left. Only while editing.
    void shiftRow(bool insert) {
        const QModelIndex i = view_->currentIndex();
        if (!i.isValid() || !model_->cellEditable(i.row(), i.column())) return;
        std::vector<std::string> cells;
        for (int c = 0; c < model_->columnCount(); ++c) cells.push_back(model_->cell(i.row(), c));
        const auto at = cells.begin() + i.column();
        if (insert) {
            if (!cells.back().empty()) {
                QMessageBox::information(this, "TAVOLEX", "Das letzte Feld der Zeile ist nicht leer.");
                return;
            }
            cells.pop_back();
            cells.insert(at, std::string());
        } else {
            cells.erase(at);
            cells.emplace_back();
        }
        model_->setRow(i.row(), cells);
    }
    // The current cell changes places with its neighbour; the cursor goes with it.
    void moveCell(int dRow, int dCol) {
        const QModelIndex i = view_->currentIndex();
        if (!i.isValid()) return;
        const QModelIndex to = model_->index(i.row() + dRow, i.column() + dCol);
        if (!to.isValid() || !model_->cellEditable(i.row(), i.column()) ||
            !model_->cellEditable(to.row(), to.column()))
            return;
        const std::string here = model_->cell(i.row(), i.column());
        model_->setCell(i.row(), i.column(), model_->cell(to.row(), to.column()));
        model_->setCell(to.row(), to.column(), here);
        view_->setCurrentIndex(to);
    }
    void find() {
        bool ok = false;
        const QString text = QInputDialog::getText(this, "Suchen", "Text", QLineEdit::Normal, lastFind_, &ok);
        if (!ok || text.isEmpty()) return;
        lastFind_ = text;
        const QModelIndex i = view_->currentIndex();
        // The title line is line 0 of the lines; the model's rows start below it.
        const CellPosition from{i.isValid() ? i.row() + 1 : 1, i.isValid() ? i.column() : -1};
        const auto hit = findInLines(model_->lines(), utf8(text), from, false);
        if (!hit || hit->row == 0) {
            QMessageBox::information(this, "TAVOLEX", "Nicht gefunden");
            return;
        }
        view_->setCurrentIndex(model_->index(hit->row - 1, hit->col));
    }
    void replace() {
        bool ok = false;
        const QString from =
            QInputDialog::getText(this, "Zeichenfolge ersetzen", "Suchen", QLineEdit::Normal, {}, &ok);
        if (!ok || from.isEmpty()) return;
        const QString to = QInputDialog::getText(this, "Zeichenfolge ersetzen", "Ersetzen durch",
                                                 QLineEdit::Normal, {}, &ok);
        if (!ok) return;
        std::vector<std::string> lines = model_->lines();
        const int count = replaceInLines(lines, utf8(from), utf8(to), false, 1);
        if (count == 0) {
            QMessageBox::information(this, "TAVOLEX", "Nicht gefunden");
            return;
        }
        model_->setLines(std::move(lines));
        QMessageBox::information(this, "TAVOLEX", QString::number(count) + " Ersetzungen vorgenommen.");
    }

    TableKind kind_;
    LinesModel* model_;
    QTableView* view_;
    QString lastFind_;
};

}  // namespace

AnswerWindow::AnswerWindow(QWidget* parent, DialogRequest request)
    : QDialog(parent), request_(std::move(request)) {
    setWindowTitle(qs(request_.caption));
    layout_ = new QVBoxLayout(this);
}

void AnswerWindow::addButtons(const QString& ok, const QString& cancel) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    if (!ok.isEmpty()) buttons->button(QDialogButtonBox::Ok)->setText(ok);
    if (!cancel.isEmpty()) buttons->button(QDialogButtonBox::Cancel)->setText(cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // The text window that stays open: "Accept" publishes the text, "Refresh" asks the caller for new
        // lines; the window stays.
        if (!request_.modal && request_.kind == DialogKind::Memo) {
            if (request_.mode != 'T' && request_.items.empty() && publish) publish(1);
            if (request_.onAction) request_.onAction(-1);
            return;
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout_->addWidget(buttons);
}

AnswerWindow* makeWindow(QWidget* parent, const DialogRequest& r) {
    switch (r.kind) {
        case DialogKind::Radio:
        case DialogKind::DRadio:
        case DialogKind::Check:
        case DialogKind::DCheck:
            return new ChoiceWindow(parent, r);
        case DialogKind::Buttons:
            return new ButtonPanel(parent, r);
        case DialogKind::Combo:
            return new ComboPanel(parent, r);
        case DialogKind::Input:
            return new InputForm(parent, r);
        case DialogKind::List:
            return new ListWindow(parent, r);
        case DialogKind::Memo:
            return new MemoWindow(parent, r);
        case DialogKind::Grid:
            return new TableWindow(parent, r);
        default:
            return nullptr;
    }
}

QTableView* tableViewOf(AnswerWindow* window) {
    auto* t = dynamic_cast<TableWindow*>(window);
    return t ? t->view() : nullptr;
}

}  // namespace tav
