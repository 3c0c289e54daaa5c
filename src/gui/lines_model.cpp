#include "gui/lines_model.h"

#include <algorithm>

namespace tav {

LinesModel::LinesModel(std::vector<std::string> lines, QObject* parent)
    : QAbstractTableModel(parent), lines_(std::move(lines)), starts_(lines_.size()) {
    // As many columns as the title row has fields (the widest line when there is no title).
    if (!lines_.empty()) columns_ = static_cast<int>(std::count(lines_[0].begin(), lines_[0].end(), ';')) + 1;
}

int LinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || lines_.empty() ? 0 : static_cast<int>(lines_.size()) - 1;
}

int LinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

const std::vector<std::uint32_t>& LinesModel::fieldsOf(int line) const {
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
    if (role != Qt::DisplayRole || !index.isValid()) return {};
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
