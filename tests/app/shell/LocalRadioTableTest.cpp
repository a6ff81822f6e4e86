// The local radio table's rows without the application: the cells of the discovered radios, the
// edits of the open radio's name and call sign, and the double click that opens a radio through
// the chooser.
#include "app/shell/LocalRadioTable.h"

#include "app/shell/LocalRadioTableHost.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/ui/Beep.h"
#include "platform/ui/TableView.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

struct FakeRadios : LocalRadioTableHost {
    std::vector<std::shared_ptr<RadioInstance>> radios;
    std::shared_ptr<RadioInstance> open;
    std::vector<std::string> chooserEntries, chosen, names, callsigns;

    std::vector<std::shared_ptr<RadioInstance>> localRadios() const override { return radios; }
    std::shared_ptr<RadioInstance> openRadioInstance() const override { return open; }
    void cmdSetRadioName(const std::string& name) override { names.push_back(name); }
    void cmdSetRadioCallSign(const std::string& callsign) override {
        callsigns.push_back(callsign);
    }
    // Records the serial number of the radio opened.
    bool chooseRadio(const std::shared_ptr<RadioInstance>& radio) override {
        const std::string name = radio->name.value_or("");
        if (std::find(chooserEntries.begin(), chooserEntries.end(), name) == chooserEntries.end()) {
            return false;
        }
        chosen.push_back(radio->serialNum.value_or(""));
        return true;
    }
};

std::shared_ptr<RadioInstance> radio(const std::string& name, const std::string& serial,
                                     const std::string& status) {
    auto r = std::make_shared<RadioInstance>();
    r->name = name;
    r->serialNum = serial;
    r->status = status;
    r->ipAddress = "192.0.2.10";
    r->port = 4992;
    r->model = "DORO-6700";
    r->callsign = "N0CALL";
    r->requires_additional_license = 1;
    return r;
}

class LocalRadioTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        host->radios = {radio("Shack", "1111", "In_Use"), radio("Field", "2222", "Available"),
                        radio("", "3333", ""), radio("Shack", "4444", "Available")};
        host->chooserEntries = {"Shack", "Field"};
        rows = LocalRadioTable::create(page, host);
        previousBeep_ = setBeepHandler([this] { ++beeps; });
    }
    void TearDown() override { setBeepHandler(previousBeep_); }
    QVariant value(const std::string& column, int row) {
        return rows->objectValue(table, column, row);
    }

    std::shared_ptr<FakeRadios> host = std::make_shared<FakeRadios>();
    RadioPrefsPage page;
    std::shared_ptr<LocalRadioTable> rows;
    TableView table;
    int beeps = 0;
    BeepHandler previousBeep_;
};

TEST_F(LocalRadioTableTest, CellsShowTheDiscoveredRadiosAndTheOpenOnesStatusInBold) {
    host->open = radio("Shack", "1111", "In_Use");
    EXPECT_EQ(rows->numberOfRows(table), 4);
    EXPECT_EQ(value("name", 0).toString(), "Shack");
    EXPECT_EQ(value("ipAddress", 0).toString(), "192.0.2.10");
    EXPECT_EQ(value("port", 0).toString(), "4992");
    EXPECT_EQ(value("requires_additional_license", 0).toString(), "YES");
    EXPECT_EQ(value("no_such_column", 0).toString(), "");
    EXPECT_EQ(value("name", 4).toString(), "") << "a row the list no longer has is empty";

    ASSERT_TRUE(value("status", 0).canConvert<AttributedText>());
    const auto open = value("status", 0).value<AttributedText>();
    EXPECT_EQ(open.text, "In_Use");
    EXPECT_TRUE(open.bold);
    EXPECT_EQ(value("status", 1).toString(), "Available") << "another radio: plain text";

    // An empty status stays empty, even for the open radio.
    host->open = radio("", "3333", "");
    EXPECT_EQ(value("status", 2).toString(), "");
}

TEST_F(LocalRadioTableTest, OnlyTheOpenRadiosNameAndCallsignAreEditedAndGoTrimmed) {
    EXPECT_FALSE(rows->shouldEdit(table, "name", 0)) << "no radio open";
    rows->setObjectValue(table, QString("Other"), "name", 0);
    EXPECT_TRUE(host->names.empty());

    host->open = radio("Shack", "1111", "In_Use");
    EXPECT_TRUE(rows->shouldEdit(table, "name", 0));
    rows->setObjectValue(table, QString("  Shack Two! "), "name", 0);
    rows->setObjectValue(table, QString(" w1aw/p "), "callsign", 0);
    EXPECT_EQ(host->names, (std::vector<std::string>{"Shack Two"}));
    EXPECT_EQ(host->callsigns, (std::vector<std::string>{"w1aw/p"}));

    rows->setObjectValue(table, QString("Renamed"), "name", 1);        // not the open radio
    rows->setObjectValue(table, QString("10.0.0.1"), "ipAddress", 0);  // not editable
    rows->setObjectValue(table, QString("Renamed"), "name", 7);        // past the list
    EXPECT_EQ(host->names.size(), 1u);
    EXPECT_EQ(*host->radios[1]->name, "Field");
}

struct DoubleClick {
    const char* name;
    int row;
    bool chooserHasIt;
    const char* chosen;  // the serial number opened; nullptr: a beep and nothing opened
};

class LocalRadioDoubleClick : public LocalRadioTableTest,
                              public ::testing::WithParamInterface<DoubleClick> {};

TEST_P(LocalRadioDoubleClick, OpensTheRadioThroughTheChooserOrBeeps) {
    const DoubleClick& click = GetParam();
    if (!click.chooserHasIt) {
        host->chooserEntries.clear();
    }
    rows->radioTableDoubleClick(click.row);
    if (click.chosen) {
        EXPECT_EQ(host->chosen, (std::vector<std::string>{click.chosen}));
        EXPECT_EQ(beeps, 0);
    } else {
        EXPECT_TRUE(host->chosen.empty());
        EXPECT_EQ(beeps, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, LocalRadioDoubleClick,
                         ::testing::Values(DoubleClick{"SecondRadio", 1, true, "2222"},
                                           DoubleClick{"SharesItsNameWithALaterRadio", 0, true,
                                                       "1111"},
                                           DoubleClick{"NoSelection", -1, true, nullptr},
                                           DoubleClick{"PastTheList", 4, true, nullptr},
                                           DoubleClick{"EmptyName", 2, true, nullptr},
                                           DoubleClick{"NotInTheChooser", 1, false, nullptr}),
                         [](const ::testing::TestParamInfo<DoubleClick>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace vm
