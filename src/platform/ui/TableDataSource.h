#pragma once
// What a TableView asks of the object that owns its rows, and how it describes its columns.
// A table holds its data source weakly; without one it shows no rows.
#include "platform/ui/SortDescriptor.h"

#include <QColor>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm {

class TableView;

struct TableColumn {
    TableColumn(std::string id, std::string heading, int initialWidth = 100)
        : identifier(std::move(id)), title(std::move(heading)), width(initialWidth) {}

    TableColumn& editable() {
        isEditable = true;
        return *this;
    }
    TableColumn& sortedBy(std::string key, bool ascending = true) {
        sortKey = std::move(key);
        sortAscending = ascending;
        return *this;
    }
    TableColumn& checkBox() {
        isCheckBox = true;
        return *this;
    }

    std::string identifier;
    std::string title;
    int width = 100;
    bool isEditable = false;
    // A column with a sort key sorts the table by it when its header is clicked (first in the
    // direction given here); a column without one sorts nothing.
    std::string sortKey;
    bool sortAscending = true;
    // A check-box column shows its value as a check box (on for a true value, "1" or a non-zero
    // number); a click sends 1 or 0 as the new value.
    bool isCheckBox = false;
};

// A cell value shown in bold (or not): the attributed text of a cell.
struct AttributedText {
    QString text;
    bool bold = false;
};

class TableDataSource {
public:
    virtual ~TableDataSource() = default;

    virtual int numberOfRows(TableView& table) = 0;
    // A text (QString or AttributedText), a number or, for check-box columns, a state. A row the
    // source no longer has may be asked for; the source answers an empty value.
    virtual QVariant objectValue(TableView& table, const std::string& column, int row) = 0;
    // An edit: the text as typed, or 1 or 0 from a check box. The table shows the source's value
    // again afterwards, so an edit the source drops leaves the old value in the cell.
    virtual void setObjectValue(TableView&, const QVariant& /*value*/,
                                const std::string& /*column*/, int /*row*/) {}
    // Asked before an editable cell starts editing (or a check box toggles).
    virtual bool shouldEdit(TableView&, const std::string& /*column*/, int /*row*/) { return true; }
    // The cell editor closed, whether the edit was committed or not.
    virtual void textDidEndEditing(TableView&) {}
    virtual void selectionDidChange(TableView&) {}
    // The user (or code) changed the table's sort descriptors; the source sorts and reloads.
    virtual void sortDescriptorsDidChange(TableView&, const std::vector<SortDescriptor>& /*old*/) {}
    // The colour of a cell's text just before it is drawn; nullopt keeps the table's own.
    virtual std::optional<QColor> textColor(TableView&, const std::string& /*column*/,
                                            int /*row*/) {
        return std::nullopt;
    }
    // Dragging rows (ascending indexes) out of the table: false refuses the drag.
    virtual bool writeRows(TableView&, const std::vector<int>& /*rows*/) { return false; }
    // Rows of this table dropped before `row` (0 to the number of rows). True when accepted.
    virtual bool acceptDrop(TableView&, const std::vector<int>& /*rows*/, int /*row*/) {
        return false;
    }
};

}  // namespace vm

Q_DECLARE_METATYPE(vm::AttributedText)
