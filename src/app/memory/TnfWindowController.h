#pragma once
// The TNF window: the open radio's tracking notch filters in a table whose edits go to the radio,
// the radio's TNF switch, adding a filter (from the window's button at the centre of the
// panadapter under the heads-up display, from a panadapter's menu under the mouse), deleting the
// selected one after asking, and selecting a filter that the panadapter or the radio names.
// What lies outside the window comes through TnfHost. Main thread only.
#include "platform/core/NotificationCenter.h"
#include "platform/ui/TableDataSource.h"

#include <memory>

namespace vm {

class TNF;
class TnfHost;
class TnfPanel;

class TnfWindowController : public TableDataSource,
                            public std::enable_shared_from_this<TnfWindowController> {
public:
    // Connects the window's controls and table, and listens for the radio's new filters.
    static std::shared_ptr<TnfWindowController> create(TnfPanel& panel,
                                                       std::weak_ptr<TnfHost> host);
    ~TnfWindowController() override;
    TnfWindowController(const TnfWindowController&) = delete;
    TnfWindowController& operator=(const TnfWindowController&) = delete;

    int tnfRowBeingEdited = -1;

    void openTnfWindow();
    void radioTnfCheckBoxChanged(bool on);
    enum class AddedFrom { window, menu };
    // The frequency is picked one turn of the main queue later; 14.1 MHz when the panadapter it
    // comes from is missing.
    void tnfAddButtonPressed(AddedFrom from);
    void createUserTnf(double megahertz);
    void deleteUserTnf();
    void tnfCreatedNotification(const std::shared_ptr<TNF>& tnf);
    void highlightTnf(const TNF& tnf, bool openPanel);

    // --- The TNF table.
    int numberOfRows(TableView& table) override;
    QVariant objectValue(TableView& table, const std::string& column, int row) override;
    void setObjectValue(TableView& table, const QVariant& value, const std::string& column,
                        int row) override;
    bool shouldEdit(TableView& table, const std::string& column, int row) override;
    void textDidEndEditing(TableView& table) override;
    void selectionDidChange(TableView& table) override;
    void sortDescriptorsDidChange(TableView& table,
                                  const std::vector<SortDescriptor>& old) override;

private:
    TnfWindowController(TnfPanel& panel, std::weak_ptr<TnfHost> host);
    std::shared_ptr<TNF> tnfAtRow(int row) const;
    void sortTnfs();
    bool isTnfTable(const TableView& table) const;

    TnfPanel& panel_;
    std::weak_ptr<TnfHost> host_;
    NotificationCenter::Token created_{};
};

}  // namespace vm
