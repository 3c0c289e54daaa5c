#include "gui/grid_model.h"

#include <QBrush>
#include <QColor>

#include "editor/grid_control.h"
#include "editor/margins.h"
#include "editor/session.h"
#include "gui/qt_text.h"

namespace tav {

namespace {}  // namespace

GridModel::GridModel(Session& session, int grid, const GridPages& pages, QObject* parent)
    : QAbstractTableModel(parent), session_(session), grid_(grid), pages_(pages) {}

const PageSpan& GridModel::rows() const {
    return grid_ <= 2 ? pages_.headerRows : pages_.speciesRows;
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows().count;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return grid_ % 2 == 1 ? 1 : pages_.releves.count;
}

int GridModel::tableRow(int viewRow) const {
    return viewRow < 0 || viewRow >= rows().count ? -1 : rows().first + viewRow;
}

int GridModel::tableCol(int viewCol) const {
    if (grid_ % 2 == 1) return -1;
    return viewCol < 0 || viewCol >= pages_.releves.count ? -1 : pages_.releves.first + viewCol;
}

int GridModel::viewRow(int tableRow) const {
    const int r = tableRow - rows().first;
    return r >= 0 && r < rows().count ? r : -1;
}

int GridModel::viewCol(int tableCol) const {
    if (grid_ % 2 == 1) return 0;
    const int c = tableCol - pages_.releves.first;
    return c >= 0 && c < pages_.releves.count ? c : -1;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    const int row = tableRow(index.row()), col = tableCol(index.column());
    if (row < 0) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return qs(cellText(session_, grid_, col, row));
        case Qt::BackgroundRole:
            if (cellMarked(session_, grid_, col, row)) {
                const std::int32_t mark = session_.settings().Diversa.MarkColor;
                return QBrush(mark > 0 ? colourOf(mark) : QColor(255, 236, 150));
            }
            return {};
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) {
        const int row = tableRow(section);
        if (row < 0) return {};
        if (grid_ == 3) {
            const std::string margin = speciesMargin(session_, row);
            return QString::number(row + 1) + (margin.empty() ? QString() : "  " + qs(margin));
        }
        return QString::number(row + 1);
    }
    if (grid_ % 2 == 1) return grid_ == 1 ? QStringLiteral("(KOPF)") : QStringLiteral("(ARTEN)");
    const int col = tableCol(section);
    if (col < 0) return {};
    // Grid 4 shows the releve's statistics under its number.
    if (grid_ == 4) {
        const std::string margin = releveMargin(session_, col);
        if (!margin.empty()) return QString::number(col + 1) + "\n" + qs(margin).replace("  ", "\n");
    }
    return QString::number(col + 1);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!session_.gridLocked[static_cast<std::size_t>(grid_ - 1)]) f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return false;
    const int row = tableRow(index.row()), col = tableCol(index.column());
    if (row < 0) return false;
    if (session_.activeGrid != grid_ || session_.cursorRow != row ||
        (grid_ % 2 == 0 && session_.cursorCol != col))
        setCursor(session_, grid_, 'N', 'N', false, false, grid_ % 2 == 1 ? session_.cursorCol : col, row);
    typeText(session_, value.toString().toStdString());
    commitEdit(session_);
    Q_EMIT dataChanged(index, index);
    Q_EMIT headerDataChanged(Qt::Vertical, index.row(), index.row());
    return true;
}

void GridModel::reload() {
    beginResetModel();
    endResetModel();
}

}  // namespace tav
