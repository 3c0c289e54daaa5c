#pragma once
// The table window's model: ";"-separated lines, the first one the title row. A line is split only when
// one of its cells is shown (and the split is kept), so a matrix of 10 000 × 10 000 opens at once and
// never fills a widget.

#include <QAbstractTableModel>
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

class LinesModel : public QAbstractTableModel {
  public:
    explicit LinesModel(std::vector<std::string> lines, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The cells of a data row, ";"-joined as the dialog answers.
    std::string rowText(int row) const;
    const std::vector<std::string>& lines() const { return lines_; }

  private:
    // The start of every field of a line (and one past its end), computed when first needed.
    const std::vector<std::uint32_t>& fieldsOf(int line) const;
    std::string_view field(int line, int col) const;

    std::vector<std::string> lines_;
    mutable std::vector<std::vector<std::uint32_t>> starts_;
    int columns_ = 0;
};

}  // namespace tav
