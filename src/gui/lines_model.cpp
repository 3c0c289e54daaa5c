#include "gui/lines_model.h"

#include <algorithm>

namespace tav {

LinesModel::LinesModel(std::vector<std::string> lines, QObject* parent) : QAbstractTableModel(parent) {
    setLines(std::move(lines));
}

void LinesModel::setSource(int count, std::function<std::string(int)> lineAt) {
    beginResetModel();
    lines_.assign(static_cast<std::size_t>(std::max(count, 0)), std::string());
    starts_.assign(lines_.size(), {});
    loaded_.assign(lines_.size(), 0);
    loadOrder_.clear();
    source_ = std::move(lineAt);
    editable_ = false;
    columns_ = 0;
    if (!lines_.empty()) {
        load(0);
        columns_ = static_cast<int>(std::count(lines_[0].begin(), lines_[0].end(), ';')) + 1;
    }
    endResetModel();
}

void LinesModel::load(int line) const {
    if (!source_ || loaded_[static_cast<std::size_t>(line)]) return;
    // Some thousand lines are kept; the title row always.
    constexpr std::size_t kKept = 4096;
    while (loadOrder_.size() >= kKept) {
        const auto old = static_cast<std::size_t>(loadOrder_.front());
        loadOrder_.pop_front();
        std::string().swap(lines_[old]);
        starts_[old].clear();
        loaded_[old] = 0;
    }
    lines_[static_cast<std::size_t>(line)] = source_(line);
    starts_[static_cast<std::size_t>(line)].clear();
    loaded_[static_cast<std::size_t>(line)] = 1;
    if (line > 0) loadOrder_.push_back(line);
}

const std::vector<std::string>& LinesModel::lines() const {
    if (source_)
        for (std::size_t k = 0; k < lines_.size(); ++k)
            if (!loaded_[k]) {
                lines_[k] = source_(static_cast<int>(k));
                starts_[k].clear();
                loaded_[k] = 1;
            }
    loadOrder_.clear();
    return lines_;
}

void LinesModel::setLines(std::vector<std::string> lines) {
    beginResetModel();
    source_ = nullptr;
    loaded_.clear();
    loadOrder_.clear();
    lines_ = std::move(lines);
    starts_.assign(lines_.size(), {});
    // As many columns as the title row has fields.
    columns_ = lines_.empty() ? 0 : static_cast<int>(std::count(lines_[0].begin(), lines_[0].end(), ';')) + 1;
    endResetModel();
}

void LinesModel::setEditable(bool on, int fromRow, int fromCol) {
    editable_ = on && !source_;
    editFromRow_ = fromRow;
    editFromCol_ = fromCol;
}

Qt::ItemFlags LinesModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && cellEditable(index.row(), index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool LinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !cellEditable(index.row(), index.column())) return false;
    // A ";" would split the cell.
    QString text = value.toString();
    text.replace(';', ',');
    setCell(index.row(), index.column(), text.toStdString());
    return true;
}

void LinesModel::setCell(int row, int col, std::string_view text) {
    const int line = row + 1;
    if (source_ || line <= 0 || line >= static_cast<int>(lines_.size()) || col < 0 || col >= columns_) return;
    std::string out;
    for (int c = 0; c < std::max(columns_, static_cast<int>(fieldsOf(line).size()) - 1); ++c) {
        if (c > 0) out += ';';
        out += c == col ? text : field(line, c);
    }
    lines_[static_cast<std::size_t>(line)] = std::move(out);
    starts_[static_cast<std::size_t>(line)].clear();
    Q_EMIT dataChanged(index(row, col), index(row, col));
}

int LinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || lines_.empty() ? 0 : static_cast<int>(lines_.size()) - 1;
}

int LinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

const std::vector<std::uint32_t>& LinesModel::fieldsOf(int line) const {
    load(line);
    std::vector<std::uint32_t>& s = starts_[static_cast<std::size_t>(line)];
    if (s.empty()) {
        const std::string& l = lines_[static_cast<std::size_t>(line)];
        s.push_back(0);
        for (std::size_t i = 0; i < l.size(); ++i)
            if (l[i] == ';') s.push_back(static_cast<std::uint32_t>(i + 1));
        s.push_back(static_cast<std::uint32_t>(l.size() + 1));
    }
    return s;
}

void LinesModel::setRow(int row, const std::vector<std::string>& cells) {
    const int line = row + 1;
    if (source_ || line <= 0 || line >= static_cast<int>(lines_.size())) return;
    std::string out;
    for (std::size_t c = 0; c < cells.size(); ++c) out += (c > 0 ? ";" : "") + cells[c];
    lines_[static_cast<std::size_t>(line)] = std::move(out);
    starts_[static_cast<std::size_t>(line)].clear();
    Q_EMIT dataChanged(index(row, 0), index(row, std::max(columns_ - 1, 0)));
}

std::string_view LinesModel::field(int line, int col) const {
    if (line < 0 || line >= static_cast<int>(lines_.size()) || col < 0) return {};
    const std::vector<std::uint32_t>& s = fieldsOf(line);
    if (static_cast<std::size_t>(col) + 1 >= s.size()) return {};
    const std::string& l = lines_[static_cast<std::size_t>(line)];
    return std::string_view(l).substr(
        s[static_cast<std::size_t>(col)],
        s[static_cast<std::size_t>(col) + 1] - 1 - s[static_cast<std::size_t>(col)]);
}

QVariant LinesModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid()) return {};
    const std::string_view f = field(index.row() + 1, index.column());
    return QString::fromUtf8(f.data(), static_cast<qsizetype>(f.size()));
}

QVariant LinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    const std::string_view f = field(0, section);
    return QString::fromUtf8(f.data(), static_cast<qsizetype>(f.size()));
}

std::string LinesModel::rowText(int row) const {
    if (row < 0 || row + 1 >= static_cast<int>(lines_.size())) return {};
    std::string out;
    for (int c = 0; c < columns_; ++c) {
        if (c > 0) out += ';';
        out += field(row + 1, c);
    }
    return out;
}

}  // namespace tav
