#pragma once
// The rows of the DoroLink radio table: the radios the DoroLink server lists, in its order. The
// open radio's status shows in bold, and its name and call sign can be edited in place (sent to
// the radio as typed). A double click asks the server for a session with the selected radio,
// closing the open radio first. Main thread only.
#include "app/dorolink/DoroLinkAuthHost.h"
#include "platform/ui/TableDataSource.h"

#include <chrono>
#include <memory>

namespace vm {

class WanServer;

class RemoteRadioTable : public TableDataSource,
                         public std::enable_shared_from_this<RemoteRadioTable> {
public:
    static constexpr std::chrono::milliseconds kConnectDelay{100};
    // A radio just closed gets this long before the next session is asked for.
    static constexpr std::chrono::seconds kConnectAfterClose{5};

    RemoteRadioTable(DoroLinkAuthHost& host, std::shared_ptr<WanServer> server);

    int numberOfRows(TableView& table) override;
    QVariant objectValue(TableView& table, const std::string& column, int row) override;
    void setObjectValue(TableView& table, const QVariant& value, const std::string& column,
                        int row) override;
    bool shouldEdit(TableView& table, const std::string& column, int row) override;

    // The double click on the table, with its selected row (-1 without one).
    void remoteRadioTableDoubleClick(int row);

private:
    std::shared_ptr<RadioInstance> radioAt(int row) const;
    bool isOpen(const RadioInstance& radio) const;

    DoroLinkAuthHost& host_;
    const std::shared_ptr<WanServer> server_;
};

}  // namespace vm
