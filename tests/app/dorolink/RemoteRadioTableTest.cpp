// The DoroLink radio table: its columns, the edits of the open radio's name and call sign, and
// the double click that asks the server for a session.
#include "app/dorolink/DoroLinkAuthFixture.h"

#include "app/dorolink/RemoteRadioTable.h"
#include "platform/ui/Beep.h"
#include "platform/ui/TableView.h"
#include "support/QueueBarrier.h"

namespace vm::test {
namespace {

class RemoteRadioTableTest : public DoroLinkAuthFixture {
protected:
    void SetUp() override {
        DoroLinkAuthFixture::SetUp();
        start();
        previousBeep_ = setBeepHandler([this] { ++beeps; });
        controller->wanServer()->connectWanServer();
        ASSERT_TRUE(runQtUntil([&] { return controller->wanServer()->pingTimer() != nullptr; }));
        server->send(
            "radio list radio_name=Upnp serial=1111-2222-3333-4444 public_ip=203.0.113.7 "
            "public_tls_port=3100 public_upnp_tls_port=4994 upnp_supported=1 status=Available "
            "requires_additional_license=1 model=DORO-6600|"
            "radio_name=Manual serial=5555-6666-7777-8888 public_tls_port=3101 upnp_supported=0 "
            "version=3.3.28.0|\n");
        ASSERT_TRUE(
            runQtUntil([&] { return controller->wanServer()->remoteRadios().size() == 2; }));
    }
    void TearDown() override {
        setBeepHandler(previousBeep_);
        DoroLinkAuthFixture::TearDown();
    }
    RemoteRadioTable& rows() { return *controller->remoteRadioTable(); }
    QVariant value(const std::string& column, int row) {
        return rows().objectValue(table, column, row);
    }
    void openRadio(const std::string& serial, const std::string& status) {
        host.open = std::make_shared<RadioInstance>();
        host.open->serialNum = serial;
        host.open->status = status;
    }

    TableView table;
    int beeps = 0;
    BeepHandler previousBeep_;
};

TEST_F(RemoteRadioTableTest, ColumnsShowTheListedRadios) {
    EXPECT_EQ(rows().numberOfRows(table), 2);
    struct Cell {
        const char* column;
        int row;
        QString shown;
    };
    const Cell cells[] = {{"ipAddress", 0, "203.0.113.7"},
                          {"port", 0, "4994"},
                          {"port", 1, "3101"},
                          {"requires_additional_license", 0, "YES"},
                          {"requires_additional_license", 1, "NO"},
                          {"model", 0, "DORO-6600"},
                          {"version", 1, "3.3.28.0"},
                          {"name", 1, "Manual"},
                          {"status", 0, "Available"},
                          {"status", 1, ""},
                          {"unknown", 0, ""},
                          {"name", 2, ""}};
    for (const Cell& cell : cells) {
        EXPECT_EQ(value(cell.column, cell.row).toString(), cell.shown)
            << cell.column << " row " << cell.row;
    }
    openRadio("1111-2222-3333-4444", "Available");
    const QVariant bold = value("status", 0);
    ASSERT_TRUE(bold.canConvert<AttributedText>());
    EXPECT_EQ(bold.value<AttributedText>().text, "Available");
    EXPECT_TRUE(bold.value<AttributedText>().bold);
}

TEST_F(RemoteRadioTableTest, OnlyTheOpenRadioIsRenamedAndTheTextGoesAsTyped) {
    EXPECT_FALSE(rows().shouldEdit(table, "name", 1));
    rows().setObjectValue(table, QStringLiteral("Other"), "name", 1);
    openRadio("5555-6666-7777-8888", "In_Use");
    EXPECT_TRUE(rows().shouldEdit(table, "name", 1));
    rows().setObjectValue(table, QStringLiteral("  My Rig! "), "name", 1);
    rows().setObjectValue(table, QStringLiteral("N0CALL"), "callsign", 1);
    rows().setObjectValue(table, QStringLiteral("Other"), "name", 0);  // not the open radio
    rows().setObjectValue(table, QStringLiteral("9.9"), "version", 1);
    EXPECT_EQ(host.sentToRadio,
              (std::vector<std::string>{"radio name   My Rig! ", "radio callsign N0CALL"}));
    EXPECT_EQ(value("name", 1).toString(), "  My Rig! ");
    EXPECT_EQ(value("name", 0).toString(), "Upnp");
}

TEST_F(RemoteRadioTableTest, DoubleClickAsksForTheSessionAfterClosingTheOpenRadio) {
    rows().remoteRadioTableDoubleClick(-1);
    rows().remoteRadioTableDoubleClick(2);
    EXPECT_EQ(beeps, 2);

    const std::string request = "application connect serial=5555-6666-7777-8888 hole_punch_port=0";
    rows().remoteRadioTableDoubleClick(1);
    EXPECT_TRUE(host.busy);
    advanceBarrier(DispatchQueue::main(), RemoteRadioTable::kConnectDelay);
    ASSERT_TRUE(runQtUntil([&] { return server->count(request) == 1; }));
    EXPECT_EQ(host.notices.back(), "Connecting: Connecting to Manual");

    openRadio("1111-2222-3333-4444", "Available");
    rows().remoteRadioTableDoubleClick(1);
    EXPECT_EQ(host.closes, 1);
    advanceBarrier(DispatchQueue::main(), RemoteRadioTable::kConnectDelay);
    serverCaughtUp();
    EXPECT_EQ(server->count(request), 1u) << "a closed radio gets its 5 s first";
    advanceBarrier(DispatchQueue::main(), RemoteRadioTable::kConnectAfterClose);
    ASSERT_TRUE(runQtUntil([&] { return server->count(request) == 2; }));
}

}  // namespace
}  // namespace vm::test
