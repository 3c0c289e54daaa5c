#pragma once
// The table window's model: ";"-separated lines, the first one the title row. A line is split only when
// one of its cells is shown (and the split is kept), so a matrix of 10 000 × 10 000 opens at once and
// never fills a widget.

#include <QAbstractTableModel>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class LinesModel : public QAbstractTableModel {
  public:
    explicit LinesModel(std::vector<std::string> lines, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The cells of a data row, ";"-joined as the dialog answers.
    std::string rowText(int row) const;
    // All lines (a source's lines are all made for this).
    const std::vector<std::string>& lines() const;
    // New lines for a window that stays open.
    void setLines(std::vector<std::string> lines);
    // Lines made only when a cell of them is shown, and forgotten again when many were made (a large
    // matrix): count lines, line k from lineAt(k). Read-only.
    void setSource(int count, std::function<std::string(int)> lineAt);
    // Cells from this data row and column on (0-based, below the title) can be edited, when on.
    void setEditable(bool on, int fromRow = 0, int fromCol = 0);
    bool editable() const { return editable_; }
    bool cellEditable(int row, int col) const {
        return editable_ && row >= editFromRow_ && col >= editFromCol_;
    }
    // Sets a cell's text whether or not editing is on (the change button and paste use it).
    void setCell(int row, int col, std::string_view text);
    std::string cell(int row, int col) const { return std::string(field(row + 1, col)); }
    // Replaces the cells of a data row.
    void setRow(int row, const std::vector<std::string>& cells);

  private:
    // The start of every field of a line (and one past its end), computed when first needed.
    const std::vector<std::uint32_t>& fieldsOf(int line) const;
    std::string_view field(int line, int col) const;
    // Makes a line of the source when it is not at hand.
    void load(int line) const;

    mutable std::vector<std::string> lines_;
    std::function<std::string(int)> source_;
    mutable std::vector<char> loaded_;
    mutable std::deque<int> loadOrder_;
    mutable std::vector<std::vector<std::uint32_t>> starts_;
    int columns_ = 0;
    bool editable_ = false;
    int editFromRow_ = 0, editFromCol_ = 0;
};

}  // namespace tav
