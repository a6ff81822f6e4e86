#pragma once
// The rows of the local radio table in the Radio preferences: one row per radio discovered on
// the local network, in discovery order. The open radio's status shows in bold, and its name and
// call sign can be edited in place (sent to the radio trimmed of stray characters at either end).
// A double click opens the selected radio through the radio chooser. Column headers sort nothing.
// Main thread only.
#include "platform/ui/TableDataSource.h"
#include "radio/RadioInstance.h"

#include <QPointer>

#include <memory>

namespace vm {

class LocalRadioTableHost;
class RadioPrefsPage;

class LocalRadioTable : public TableDataSource,
                        public std::enable_shared_from_this<LocalRadioTable> {
public:
    // Becomes the page's local table source and takes its double clicks, while both live.
    static std::shared_ptr<LocalRadioTable> create(RadioPrefsPage& page,
                                                   std::weak_ptr<LocalRadioTableHost> host);

    int numberOfRows(TableView& table) override;
    QVariant objectValue(TableView& table, const std::string& column, int row) override;
    void setObjectValue(TableView& table, const QVariant& value, const std::string& column,
                        int row) override;
    bool shouldEdit(TableView& table, const std::string& column, int row) override;

    // The double click on the table, with its selected row (-1 without one).
    void radioTableDoubleClick(int row);

private:
    LocalRadioTable(RadioPrefsPage& page, std::weak_ptr<LocalRadioTableHost> host);
    void connectPage();
    std::shared_ptr<RadioInstance> radioAt(int row) const;
    bool isOpen(const RadioInstance& radio) const;

    QPointer<RadioPrefsPage> page_;
    std::weak_ptr<LocalRadioTableHost> host_;
};

}  // namespace vm
