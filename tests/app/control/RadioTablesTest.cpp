// The Radio preferences' radio tables in the running application, against simulated radios on
// loopback: the connected radio listed in bold (build/screenshots/app_radio_table_connected.png), a
// double click on another radio switching the session to it, and the tables' column layout kept
// over a restart.
#include "ConnectingFixture.h"

#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/core/Defaults.h"
#include "platform/ui/Screenshot.h"
#include "platform/ui/TableView.h"

#include <QHeaderView>
#include <QLayout>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::runEventsUntil;
using RadioTables = test::ConnectingFixture;

// The row of the table whose serial number column reads `serialNum`, -1 without one.
int rowOf(TableView& table, const std::string& serialNum) {
    const auto source = table.dataSource();
    for (int row = 0; source && row < source->numberOfRows(table); ++row) {
        if (source->objectValue(table, "serialNum", row).toString().toStdString() == serialNum) {
            return row;
        }
    }
    return -1;
}

TEST_F(RadioTables, ListTheConnectedRadioAndADoubleClickSwitchesToAnother) {
    sim::SimRadioOptions options;
    options.identity.nickname = "FieldRadio";
    options.identity.serial = "0610-1122-6700-9999";
    auto other = sim::SimRadio::start(options);
    ASSERT_TRUE(other);
    other->scriptStartupReplies();

    launch();
    connectAsGui();
    ASSERT_TRUE(other->announce({"127.0.0.1", controller->radioFactory->localPort()},
                                other->discoveryFields()));
    auto& table = prefsControl<TableView>("radioTableView");
    ASSERT_TRUE(runEventsUntil([&] { return table.numberOfRows() == 2; }));
    ASSERT_TRUE(runEventsUntil([&] { return chooser().indexOfItemWithTitle("FieldRadio") >= 0; }));

    const int connected = rowOf(table, serial);
    ASSERT_GE(connected, 0);
    const auto source = table.dataSource();
    EXPECT_EQ(source->objectValue(table, "name", connected).toString(), "SimRadio");
    const QVariant status = source->objectValue(table, "status", connected);
    ASSERT_TRUE(status.canConvert<AttributedText>()) << "the open radio's status is bold";
    EXPECT_TRUE(status.value<AttributedText>().bold);
    const int field = rowOf(table, options.identity.serial);
    ASSERT_GE(field, 0);
    EXPECT_FALSE(source->objectValue(table, "status", field).canConvert<AttributedText>());

    RadioPrefsPage& page = controller->prefsWindow->radioPage();
    page.resize(page.minimumSizeHint().expandedTo(QSize(1100, 720)));
    page.layout()->activate();
    test::saveScreenshot(page, QStringLiteral("app_radio_table_connected.png"),
                         page.palette().window().color());

    // The operator double-clicks the other radio: the open session is saved and closed, then
    // the chooser's open follows (its delays run on the dispatch clock).
    table.selectRowIndexes({field}, false);
    emit table.doubleAction(field);
    EXPECT_EQ(chooser().title(), "FieldRadio");
    for (int step = 0; step < 100 && other->sessionCount() == 0; ++step) {
        advance(250ms);
    }
    ASSERT_TRUE(other->waitForSessions(1));
    ASSERT_TRUE(runEventsUntil([&] {
        const auto open = controller->openRadioInstance();
        return open && open->serialNum == options.identity.serial &&
               controller->radioConnectionState == 4;
    }));
    EXPECT_FALSE(sim->sessionOpen()) << "the first radio's session is closed";
}

TEST_F(RadioTables, ADoubleClickOpensThatRadioWhenAnotherSharesItsName) {
    sim::SimRadioOptions options;
    options.identity.serial = "0610-1122-6700-9999";  // also named "SimRadio"
    auto twin = sim::SimRadio::start(options);
    ASSERT_TRUE(twin);
    twin->scriptStartupReplies();

    launch();
    ASSERT_TRUE(announce());
    ASSERT_TRUE(twin->announce({"127.0.0.1", controller->radioFactory->localPort()},
                               twin->discoveryFields()));
    auto& table = prefsControl<TableView>("radioTableView");
    ASSERT_TRUE(runEventsUntil([&] { return table.numberOfRows() == 2; }));

    // The first row: the chooser's one "SimRadio" entry would find the last radio of that name.
    const std::string first =
        table.dataSource()->objectValue(table, "serialNum", 0).toString().toStdString();
    sim::SimRadio& chosen = first == serial ? *sim : *twin;
    sim::SimRadio& other = first == serial ? *twin : *sim;
    table.selectRowIndexes({0}, false);
    emit table.doubleAction(0);
    advance(1s);
    ASSERT_TRUE(runEventsUntil([&] { return chosen.sessionCount() == 1; }));
    ASSERT_TRUE(runEventsUntil([&] {
        const auto open = controller->openRadioInstance();
        return open && open->serialNum == first && controller->radioConnectionState == 4;
    }));
    EXPECT_EQ(other.sessionCount(), 0);
}

TEST_F(RadioTables, KeepTheirColumnLayoutOverARestart) {
    launch();
    for (const char* name : {"radioTableView", "remoteRadioTableView"}) {
        auto& table = prefsControl<TableView>(name);
        QHeaderView& header = *table.horizontalHeader();
        header.moveSection(header.visualIndex(5), 0);  // "serialNum" first
        header.resizeSection(0, 211);                  // "name" wider
    }
    controller.reset();
    ASSERT_TRUE(Defaults::standard().flush());
    const Defaults onDisk(Defaults::standard().path());
    EXPECT_TRUE(onDisk.dictionaryForKey("TableView Layout vmsdr_local_table_settings"));
    EXPECT_TRUE(onDisk.dictionaryForKey("TableView Layout vmsdr_remote_table_settings"));

    launch();
    for (const char* name : {"radioTableView", "remoteRadioTableView"}) {
        auto& table = prefsControl<TableView>(name);
        EXPECT_EQ(table.visibleColumnOrder().front(), "serialNum") << name;
        EXPECT_EQ(table.columnWidth("name"), 211) << name;
    }
}

}  // namespace
}  // namespace vm
