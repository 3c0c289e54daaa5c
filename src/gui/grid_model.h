#pragma once
// The model behind one of the four grid views: the page of rows and releves the window holds (never the
// whole table), read from the table through the grid controllers' functions. A typed value goes to the
// grid controller, which commits it as one undo step.

#include <QAbstractTableModel>

#include "editor/grid_window.h"

namespace tav {

class Session;

class GridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    GridModel(Session& session, int grid, const GridPages& pages, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    int grid() const { return grid_; }
    // Table positions of a view cell and back; -1 outside the page.
    int tableRow(int viewRow) const;
    int tableCol(int viewCol) const;
    int viewRow(int tableRow) const;
    int viewCol(int tableCol) const;
    // The page changed, or the table: everything is read again.
    void reload();

  private:
    const PageSpan& rows() const;
    Session& session_;
    int grid_;
    const GridPages& pages_;
};

}  // namespace tav
