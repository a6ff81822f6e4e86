// The user memories in their window against the simulated radio: a memory made from the active
// slice and saved, recalled (mode, then frequency, then the rest half a second later), edited in
// the table, deleted after asking, and a file without its header refused.
#include "app/memory/UserMemoryController.h"
#include "app/windows/MemoryPanel.h"
#include "platform/core/AtomicFile.h"
#include "platform/ui/PopUpButton.h"

#include "StationMemoryFixture.h"

#include "support/LogCapture.h"

#include "platform/ui/Screenshot.h"

#include <QAbstractItemModel>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace vm {
namespace {

const char* const kFmSlice =
    "active=1 RF_frequency=146.940000 mode=FM filter_lo=-8000 filter_hi=8000 "
    "repeater_offset_dir=down fm_repeater_offset_freq=0.6 fm_tone_mode=ctcss_tx "
    "fm_tone_value=88.5 squelch=1 squelch_level=20 rtty_mark=2125 rtty_shift=170 "
    "digl_offset=2210 digu_offset=1500";

class MemoryWindowTest : public test::StationMemoryFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StationMemoryFixture::SetUp());
        folder = std::filesystem::path(std::getenv("HOME")) /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        controller = UserMemoryController::create(panel, folder, host);
    }
    void TearDown() override {
        controller.reset();
        StationMemoryFixture::TearDown();
    }
    std::string fileText() { return readWholeFile(controller->memoriesPath()).value_or(""); }
    int column(const std::string& id) {
        const auto& columns = panel.memoryTable->tableColumns();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].identifier == id) {
                return int(i);
            }
        }
        return -1;
    }
    QModelIndex index(int row, const std::string& id) {
        return panel.memoryTable->model()->index(row, column(id));
    }

    std::filesystem::path folder;
    MemoryPanel panel;
    std::shared_ptr<UserMemoryController> controller;
};

TEST_F(MemoryWindowTest, AddingTakesTheActiveSliceAndSavesTheFile) {
    addSlice(0,
             "active=0 RF_frequency=7.100000 mode=AM filter_lo=-3000 filter_hi=3000 "
             "repeater_offset_dir=up fm_repeater_offset_freq=0.6 squelch=1");
    addSlice(1, kFmSlice);
    controller->addUserMemory();  // slice 1 is the active one
    host->slices[1]->sliceActive.set(false);
    host->slices[0]->sliceActive.set(true);
    controller->addUserMemory();

    ASSERT_EQ(controller->userMemories.size(), 2u);
    const MemorySlot& f = *controller->userMemories[0];
    EXPECT_EQ(f.owner, "N0CALL");
    EXPECT_EQ(f.freq, "146.94000");
    EXPECT_EQ(f.name, "");  // no amateur band of the table
    EXPECT_EQ(f.step, "100");
    EXPECT_EQ(f.offset_direction, "down");
    EXPECT_EQ(f.repeater_offset, "0.600");
    EXPECT_EQ(f.tone_value, "88.5");
    EXPECT_EQ(f.squelch, "1");
    EXPECT_EQ(f.squelch_level, "20");
    EXPECT_EQ(f.rx_filter_low, "-8000");
    EXPECT_EQ(f.digu_offset, "1500");
    EXPECT_EQ(f.rf_power, "42");
    const MemorySlot& am = *controller->userMemories[1];
    EXPECT_EQ(am.name, "40M");
    EXPECT_EQ(am.offset_direction, "SIMPLEX");
    EXPECT_EQ(am.repeater_offset, "0.000");
    EXPECT_EQ(am.tone_mode, "NONE");
    EXPECT_EQ(am.tone_value, "67.0");
    EXPECT_EQ(am.squelch, "0");
    EXPECT_EQ(am.squelch_level, "0");

    const std::string text = fileText();
    EXPECT_NE(text.find("MEMORY,N0CALL,,146.94000,,FM,100,down,0.600,"), std::string::npos);
    EXPECT_NE(text.find("MEMORY,N0CALL,,7.10000,40M,AM,100,SIMPLEX,0.000,NONE,067.0,"),
              std::string::npos);
    EXPECT_EQ(panel.memoryTable->numberOfRows(), 2);
}

TEST_F(MemoryWindowTest, RecallSetsModeThenFrequencyThenTheRestLater) {
    const auto slice = addSlice(0, "active=1 RF_frequency=7.100000 mode=LSB");
    MemorySlot memory;
    memory.freq = "146.94000";
    memory.mode = "FM";
    memory.offset_direction = "UP";
    memory.repeater_offset = "0.600";
    memory.tone_mode = "CTCSS_TX";
    memory.tone_value = "088.5";
    memory.rx_filter_low = "-8000";
    memory.rx_filter_high = "8000";
    memory.rtty_mark = "2125";
    memory.rtty_shift = "170";
    memory.digl_offset = "2210";
    memory.digu_offset = "1500";
    memory.rf_power = "25";
    controller->userMemories = {std::make_shared<MemorySlot>(memory)};
    panel.memoryTable->reloadData();

    {
        test::LogCapture log;
        controller->setUserMemory();
        EXPECT_TRUE(log.contains("setUserMemory:Nothing Selected"));
    }
    panel.memoryTable->selectRowIndexes({0}, false);
    EXPECT_TRUE(panel.memoryGoButton->isEnabled());
    const std::size_t start = commandCount();
    panel.memoryGoButton->sendAction();
    const auto first = commandsFrom(start, "slice");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(first[0].find("mode=FM"), std::string::npos) << first[0];
    EXPECT_NE(first[1].find("146.94"), std::string::npos) << first[1];
    EXPECT_TRUE(host->told.empty());  // the rest waits for the radio's new mode

    ASSERT_TRUE(test::waitFor([&] { return host->told.size() == 2; }));
    EXPECT_EQ(host->told[0], "band of 146.94 on the pan of 146.94");
    EXPECT_EQ(host->told[1], "rf power 25");
    EXPECT_FLOAT_EQ(slice->txOffsetFreq().value_or(0), 0.6f);
    EXPECT_EQ(slice->fmToneMode(), "CTCSS_TX");
    EXPECT_EQ(slice->sliceFilterLo(), -8000);
    EXPECT_EQ(slice->sliceFilterHi(), 8000);
    EXPECT_EQ(slice->diguOffset(), 1500);
    const auto rest = commandsFrom(start, "slice");
    EXPECT_GT(rest.size(), first.size());
}

TEST_F(MemoryWindowTest, TableEditsSaveAndDeletingAsksFirst) {
    for (const char* name : {"Alpha", "Bravo"}) {
        auto m = std::make_shared<MemorySlot>();
        m->name = name;
        m->freq = "14.1";
        m->squelch = "0";
        controller->userMemories.push_back(m);
    }
    panel.memoryTable->reloadData();
    EXPECT_FALSE(panel.memoryGoButton->isEnabled());
    EXPECT_FALSE(panel.memoryDeleteButton->isEnabled());

    auto* model = panel.memoryTable->model();
    model->setData(index(1, "name"), QStringLiteral("Bravo, Charlie"), Qt::EditRole);
    EXPECT_EQ(controller->userMemories[1]->name, "Bravo, Charlie");
    model->setData(index(0, "squelch"), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(controller->userMemories[0]->squelch, "1");
    EXPECT_NE(fileText().find(",Bravo  Charlie,"), std::string::npos) << fileText();

    panel.memoryTable->selectRowIndexes({0}, false);
    EXPECT_TRUE(panel.memoryDeleteButton->isEnabled());
    {
        test::AlertAnswers cancel(1);
        panel.memoryDeleteButton->sendAction();
        EXPECT_EQ(
            cancel.messages,
            (std::vector<std::string>{"Are you sure you want to delete the selected memory ?"}));
    }
    EXPECT_EQ(controller->userMemories.size(), 2u);
    {
        test::AlertAnswers ok(0);
        panel.memoryDeleteButton->sendAction();
    }
    ASSERT_EQ(controller->userMemories.size(), 1u);
    EXPECT_EQ(readUserMemories(controller->memoriesPath()).memories.size(), 1u);

    panel.memoryTable->setSortDescriptors({{"name", false}});
    test::saveScreenshot(panel, "app_memory_window.png");
}

TEST_F(MemoryWindowTest, AntennaPopupsSendTheirPanelsSliceTheChosenAntenna) {
    addSlice(0, "active=1 RF_frequency=7.100000 mode=LSB");
    addSlice(2, "active=0 RF_frequency=14.100000 mode=USB");
    for (auto* popup :
         {panel.rxAntPopups[0], panel.txAntPopups[0], panel.rxAntPopups[1], panel.rxAntPopups[2]}) {
        popup->addItems({"ANT1", "ANT2"});
        popup->selectItemWithTitle("ANT2");
    }
    const std::size_t start = commandCount();
    panel.rxAntPopups[0]->sendAction();
    panel.txAntPopups[0]->sendAction();
    panel.rxAntPopups[1]->sendAction();  // panel B has no slice
    panel.rxAntPopups[2]->sendAction();
    panel.txAntPopups[3]->sendAction();  // no slice and no choice
    // Each slice sends from its own queue: the two slices' commands may cross.
    auto sent = commandsFrom(start, "slice set");
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(sent, (std::vector<std::string>{"slice set 0 rxant=ant2", "slice set 0 txant=ant2",
                                              "slice set 2 rxant=ant2"}));
}

TEST_F(MemoryWindowTest, LoadingSortsAndAFileWithoutItsHeaderIsRefused) {
    ASSERT_TRUE(
        writeFileAtomically(controller->memoriesPath(), std::string(kUserMemoriesHeader) +
                                                            "\r\nMEMORY,N0CALL,,14.20000,Zulu\r\n"
                                                            "MEMORY,N0CALL,,7.10000,Alpha\r\n"));
    panel.memoryTable->setSortDescriptors({{"name", true}});
    controller->loadUserMemories();
    ASSERT_EQ(controller->userMemories.size(), 2u);
    EXPECT_EQ(controller->userMemories[0]->name, "Alpha");

    ASSERT_TRUE(writeFileAtomically(
        controller->memoriesPath(),
        "MEMORY,N0CALL,,3.60000,Late\n" + std::string(kUserMemoriesHeader) + "\n"));
    test::AlertAnswers ok(0);
    controller->loadUserMemories();
    EXPECT_EQ(ok.messages, (std::vector<std::string>{"Invalid Doro Memory File"}));
    EXPECT_EQ(controller->userMemories.size(), 2u);
}

}  // namespace
}  // namespace vm
