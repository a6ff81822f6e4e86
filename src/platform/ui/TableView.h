#pragma once
// A table of rows and identified columns whose cells come from a data source, over QTableView.
// Rows are numbered from 0 in the source's order; columns are named by their identifiers. The
// table reports a double click with the clicked row (-1 below the last row), asks the source
// before an edit, lets the user sort by clicking a sortable column's header, reorder rows by
// dragging them (when rows are movable and the source agrees) and rearrange and resize columns.
// With an autosave name, the column order, widths and the sort descriptors are kept in the
// defaults under that name and restored when the name is set.
#include "platform/ui/SortDescriptor.h"
#include "platform/ui/TableDataSource.h"

#include <QTableView>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace vm {

class TableModel;

class TableView : public QTableView {
    Q_OBJECT

public:
    explicit TableView(QWidget* parent = nullptr);
    ~TableView() override;

    using QTableView::edit;  // edit(index): starts editing a cell, after asking the source

    // Columns in their first order (identifiers unique). A stored layout is applied again.
    void setColumns(std::vector<TableColumn> columns);
    const std::vector<TableColumn>& tableColumns() const { return columns_; }
    // The identifiers in the order the user sees them.
    std::vector<std::string> visibleColumnOrder() const;
    int columnWidth(const std::string& identifier) const;

    void setDataSource(std::weak_ptr<TableDataSource> source);
    std::shared_ptr<TableDataSource> dataSource() const { return source_.lock(); }
    // Asks the source again for its rows and cells. The selection keeps its row indexes (those
    // beyond the new last row are dropped).
    void reloadData();
    int numberOfRows() const;

    void setAllowsMultipleSelection(bool allow);
    // The last row selected, or -1.
    int selectedRow() const;
    std::vector<int> selectedRowIndexes() const;
    int numberOfSelectedRows() const { return int(selectedRowIndexes().size()); }
    void selectRowIndexes(const std::vector<int>& rows, bool extend);
    void deselectAll();
    void scrollRowToVisible(int row);

    const std::vector<SortDescriptor>& sortDescriptors() const { return sort_; }
    // Stores the descriptors and tells the source, which sorts its rows.
    void setSortDescriptors(std::vector<SortDescriptor> descriptors);

    void setRowsMovable(bool movable);
    bool rowsMovable() const { return movable_; }

    void setAutosaveName(std::string name);
    const std::string& autosaveName() const { return autosaveName_; }
    // Writes the layout now (it is otherwise written shortly after each change).
    void saveLayout();

signals:
    void doubleAction(int row);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class TableModel;

    void headerClicked(int section);
    void showSortIndicator();
    void layoutChanged();
    void restoreLayout();
    std::string layoutKey() const;

    TableModel* model_;
    std::weak_ptr<TableDataSource> source_;
    std::vector<TableColumn> columns_;
    std::vector<SortDescriptor> sort_;
    std::string autosaveName_;
    QTimer saveTimer_;
    bool movable_ = false;
    bool restoring_ = false;
};

}  // namespace vm
