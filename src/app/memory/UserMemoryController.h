#pragma once
// The user memories and their window: the list (the master copy; the file follows it), loading
// and saving the file, adding a memory of the active slice, deleting the selected one after
// asking, recalling it onto the active slice, and the memory table's rows, edits and sorting.
// What lies outside it comes through UserMemoryHost. Main thread only; the delayed part of a
// recall holds the memory and the controller weakly.
#include "app/memory/UserMemoryFile.h"
#include "platform/ui/TableDataSource.h"

#include <filesystem>
#include <memory>

namespace vm {

class MemoryPanel;
class UserMemoryHost;

class UserMemoryController : public TableDataSource,
                             public std::enable_shared_from_this<UserMemoryController> {
public:
    // The controller of the window, which outlives it; connects its buttons and table.
    static std::shared_ptr<UserMemoryController> create(MemoryPanel& panel,
                                                        std::filesystem::path dataFilesPath,
                                                        std::weak_ptr<UserMemoryHost> host);

    MemoryList userMemories;
    int memoryRowBeingEdited = -1;

    std::filesystem::path memoriesPath() const;
    void loadUserMemories();
    // False (and the user told) when the file could not be written; the old file stays.
    bool saveUserMemories();
    void addUserMemory();
    void deleteUserMemory();
    void setUserMemory();
    void openMemoryWindow();
    // The antenna pop-ups of panels A to D (0 to 3): the chosen antenna, in lower case, for the
    // panel's slice; nothing without that slice or a chosen item.
    void memRxAntPopupChanged(int panel);
    void memTxAntPopupChanged(int panel);

    // --- The memory table.
    int numberOfRows(TableView& table) override;
    QVariant objectValue(TableView& table, const std::string& column, int row) override;
    void setObjectValue(TableView& table, const QVariant& value, const std::string& column,
                        int row) override;
    bool shouldEdit(TableView& table, const std::string& column, int row) override;
    void textDidEndEditing(TableView& table) override;
    void selectionDidChange(TableView& table) override;
    void sortDescriptorsDidChange(TableView& table,
                                  const std::vector<SortDescriptor>& old) override;
    std::optional<QColor> textColor(TableView& table, const std::string& column, int row) override;

private:
    UserMemoryController(MemoryPanel& panel, std::filesystem::path dataFilesPath,
                         std::weak_ptr<UserMemoryHost> host);
    void sortMemories();
    bool isMemoryTable(const TableView& table) const;

    MemoryPanel& panel_;
    std::filesystem::path dataFilesPath_;
    std::weak_ptr<UserMemoryHost> host_;
};

}  // namespace vm
