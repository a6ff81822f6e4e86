#include "platform/ui/TableView.h"

#include "platform/ui/TableModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

#include <algorithm>
#include <set>

namespace vm {

namespace {
constexpr int kLayoutSaveDelayMs = 400;
}

TableView::TableView(QWidget* parent) : QTableView(parent), model_(new TableModel(*this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setDragDropOverwriteMode(false);
    setDefaultDropAction(Qt::MoveAction);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &TableView::headerClicked);
    connect(header, &QHeaderView::sectionMoved, this, &TableView::layoutChanged);
    connect(header, &QHeaderView::sectionResized, this, &TableView::layoutChanged);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (auto source = dataSource()) {
            source->selectionDidChange(*this);
        }
    });

    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kLayoutSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &TableView::saveLayout);
}

TableView::~TableView() {
    if (saveTimer_.isActive()) {
        saveLayout();
    }
}

void TableView::setColumns(std::vector<TableColumn> columns) {
    columns_ = std::move(columns);
    restoring_ = true;
    model_->resetColumns();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        setColumnWidth(int(i), columns_[i].width);
    }
    restoring_ = false;
    restoreLayout();
}

std::vector<std::string> TableView::visibleColumnOrder() const {
    std::vector<std::string> order;
    for (int visual = 0; visual < int(columns_.size()); ++visual) {
        order.push_back(columns_[std::size_t(horizontalHeader()->logicalIndex(visual))].identifier);
    }
    return order;
}

int TableView::columnWidth(const std::string& identifier) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].identifier == identifier) {
            return horizontalHeader()->sectionSize(int(i));
        }
    }
    return 0;
}

void TableView::setDataSource(std::weak_ptr<TableDataSource> source) {
    source_ = std::move(source);
    model_->resetColumns();
}

void TableView::reloadData() { model_->reload(); }

int TableView::numberOfRows() const { return model_->rowCount(); }

void TableView::setAllowsMultipleSelection(bool allow) {
    setSelectionMode(allow ? QAbstractItemView::ExtendedSelection
                           : QAbstractItemView::SingleSelection);
}

int TableView::selectedRow() const {
    const QModelIndex current = selectionModel()->currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), {})) {
        return current.row();
    }
    const std::vector<int> rows = selectedRowIndexes();
    return rows.empty() ? -1 : rows.back();
}

std::vector<int> TableView::selectedRowIndexes() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
    }
    return {rows.begin(), rows.end()};
}

void TableView::selectRowIndexes(const std::vector<int>& rows, bool extend) {
    QItemSelection selection;
    const int last = model_->columnCount() - 1;
    for (int row : rows) {
        if (row >= 0 && row < numberOfRows() && last >= 0) {
            selection.select(model_->index(row, 0), model_->index(row, last));
        }
    }
    const auto command = extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect;
    selectionModel()->select(selection, command | QItemSelectionModel::Rows);
    if (!rows.empty() && rows.back() >= 0 && rows.back() < numberOfRows()) {
        selectionModel()->setCurrentIndex(model_->index(rows.back(), 0),
                                          QItemSelectionModel::NoUpdate);
    }
}

void TableView::deselectAll() { selectionModel()->clearSelection(); }

void TableView::scrollRowToVisible(int row) {
    if (row >= 0 && row < numberOfRows() && !columns_.empty()) {
        scrollTo(model_->index(row, 0));
    }
}

void TableView::setSortDescriptors(std::vector<SortDescriptor> descriptors) {
    std::vector<SortDescriptor> old = std::exchange(sort_, std::move(descriptors));
    showSortIndicator();
    layoutChanged();
    if (auto source = dataSource()) {
        source->sortDescriptorsDidChange(*this, old);
    }
}

void TableView::setRowsMovable(bool movable) {
    movable_ = movable;
    setDragEnabled(movable);
    setAcceptDrops(movable);
    setDropIndicatorShown(movable);
    setDragDropMode(movable ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
}

bool TableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool wouldEdit = index.isValid() && state() != EditingState &&
                           (trigger == AllEditTriggers || (editTriggers() & trigger)) &&
                           (model_->flags(index) & Qt::ItemIsEditable);
    if (wouldEdit) {
        auto source = dataSource();
        const TableColumn& column = columns_.at(std::size_t(index.column()));
        if (!source || !source->shouldEdit(*this, column.identifier, index.row())) {
            return false;
        }
    }
    return QTableView::edit(index, trigger, event);
}

void TableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (auto source = dataSource()) {
        source->textDidEndEditing(*this);
    }
}

void TableView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    // An editable cell edits instead of sending the double-click action; otherwise the clicked
    // row is the selected row when the action runs.
    if (index.isValid() && edit(index, DoubleClicked, event)) {
        return;
    }
    if (index.isValid() && !selectionModel()->isRowSelected(index.row(), {})) {
        selectRowIndexes({index.row()}, false);
    }
    emit doubleAction(index.isValid() ? index.row() : -1);
}

void TableView::headerClicked(int section) {
    if (section < 0 || section >= int(columns_.size()) ||
        columns_[std::size_t(section)].sortKey.empty()) {
        showSortIndicator();
        return;
    }
    const TableColumn& column = columns_[std::size_t(section)];
    std::vector<SortDescriptor> next = sort_;
    if (!next.empty() && next.front().key == column.sortKey) {
        next.front().ascending = !next.front().ascending;
    } else {
        std::erase_if(next, [&](const SortDescriptor& d) { return d.key == column.sortKey; });
        next.insert(next.begin(), SortDescriptor{column.sortKey, column.sortAscending});
    }
    setSortDescriptors(std::move(next));
}

void TableView::showSortIndicator() {
    QHeaderView* header = horizontalHeader();
    int section = -1;
    if (!sort_.empty()) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (columns_[i].sortKey == sort_.front().key) {
                section = int(i);
                break;
            }
        }
    }
    header->setSortIndicatorShown(section >= 0);
    header->setSortIndicator(section, !sort_.empty() && !sort_.front().ascending
                                          ? Qt::DescendingOrder
                                          : Qt::AscendingOrder);
}

void TableView::layoutChanged() {
    if (!restoring_ && !autosaveName_.empty()) {
        saveTimer_.start();
    }
}

}  // namespace vm
