#pragma once
// The band-stack editor: one band's entries in a working list that the user edits in the table,
// reorders by dragging, adds to and deletes from; OK hands the list back to the band stacks,
// Cancel drops it. Reordering, adding and deleting touch only the working list; an edited cell
// changes the shared entry itself. One controller is kept and its window hidden between uses.
#include "app/memory/BandStack.h"
#include "platform/ui/TableDataSource.h"

#include <memory>
#include <string>
#include <vector>

namespace vm {

class StackSortHost;
class StackSortWindow;

class StackSortController : public TableDataSource,
                            public std::enable_shared_from_this<StackSortController> {
public:
    static std::shared_ptr<StackSortController> create(StackSortWindow& window,
                                                       std::weak_ptr<StackSortHost> host);

    std::string currentBand;
    std::vector<StackEntry> sourceDataArray;

    void startEditing(const std::string& band);
    // Hands the list back for a non-empty band, then hides the window.
    void endEditing(const std::string& band);
    void addButtonPressed();
    void deleteButtonPressed();
    void okButtonPressed() { endEditing(currentBand); }
    void cancelButtonPressed() { endEditing(""); }

    // --- The table.
    int numberOfRows(TableView& table) override;
    QVariant objectValue(TableView& table, const std::string& column, int row) override;
    void setObjectValue(TableView& table, const QVariant& value, const std::string& column,
                        int row) override;
    void selectionDidChange(TableView& table) override;
    bool writeRows(TableView& table, const std::vector<int>& rows) override;
    bool acceptDrop(TableView& table, const std::vector<int>& rows, int row) override;

private:
    StackSortController(StackSortWindow& window, std::weak_ptr<StackSortHost> host);
    bool isSourceTable(const TableView& table) const;
    void reloadAndDeselect();

    StackSortWindow& window_;
    std::weak_ptr<StackSortHost> host_;
};

}  // namespace vm
