#pragma once
// The Qt item model behind a TableView: it asks the table's data source for the rows and cells,
// hands edits and dropped rows back to it, and keeps the row count of the last reload, so that
// the view never sees the source's list change under it.
#include <QAbstractTableModel>

#include <vector>

namespace vm {

class TableView;

class TableModel : public QAbstractTableModel {
public:
    explicit TableModel(TableView& table);

    // The columns were replaced.
    void resetColumns();
    // The source's rows changed: adjusts the row count and redraws every cell.
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

private:
    // The rows of a drag that started in this table; empty for any other drag.
    std::vector<int> draggedRows(const QMimeData* data) const;

    TableView& table_;
    int rows_ = 0;
};

}  // namespace vm
