// The TNF window against the simulated radio: the radio's filters in the table, edits sent as
// commands, adding from the window and from a panadapter's menu, deleting, and sorting that keeps
// the selection.
#include "app/memory/TnfWindowController.h"
#include "app/windows/TnfPanel.h"
#include "radio/TNF.h"

#include "StationMemoryFixture.h"

#include "platform/ui/Beep.h"

#include "platform/ui/Screenshot.h"

#include <QAbstractItemModel>

namespace vm {
namespace {

class TnfWindowTest : public test::StationMemoryFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StationMemoryFixture::SetUp());
        controller = TnfWindowController::create(panel, host);
    }
    void TearDown() override {
        controller.reset();
        StationMemoryFixture::TearDown();
    }

    // The radio reports a filter of this client; true once the table shows it.
    bool reportTnf(const std::string& line) {
        const int before = panel.tnfTable->numberOfRows();
        return sim->sendStatus("tnf " + line) &&
               test::waitFor([&] { return panel.tnfTable->numberOfRows() > before; });
    }
    QVariant cell(int row, int column) {
        return panel.tnfTable->model()->index(row, column).data();
    }
    void edit(int row, int column, const QString& text) {
        auto* model = panel.tnfTable->model();
        model->setData(model->index(row, column), text, Qt::EditRole);
    }
    std::vector<int> ids() {
        std::vector<int> out;
        for (int row = 0; row < panel.tnfTable->numberOfRows(); ++row) {
            out.push_back(cell(row, 0).toInt());
        }
        return out;
    }

    TnfPanel panel;
    std::shared_ptr<TnfWindowController> controller;
};

TEST_F(TnfWindowTest, TableShowsTheFiltersAndEditsGoToTheRadio) {
    ASSERT_TRUE(reportTnf("3 freq=14.1 depth=2 width=0.0001 permanent=0"));
    EXPECT_EQ(cell(0, 1).toDouble(), 14.1);
    EXPECT_EQ(cell(0, 2).toDouble(), 100.0);  // Hz
    EXPECT_EQ(cell(0, 3).toInt(), 2);
    EXPECT_EQ(panel.tnfTable->selectedRow(), 0);  // a new filter is highlighted

    std::size_t start = commandCount();
    edit(0, 2, "250");
    EXPECT_EQ(commandsFrom(start, "tnf set 3 width"),
              (std::vector<std::string>{"tnf set 3 width=0.00025"}));
    EXPECT_EQ(cell(0, 2).toDouble(), 250.0);

    start = commandCount();
    edit(0, 2, "8000");  // stored, but beyond what the radio takes
    EXPECT_TRUE(commandsFrom(start, "tnf set 3 width").empty());
    EXPECT_EQ(commandsFrom(start, "tnf set 3 depth"),
              (std::vector<std::string>{"tnf set 3 depth=2"}));
    EXPECT_EQ(cell(0, 2).toDouble(), 8000.0);

    start = commandCount();
    edit(0, 1, "14.2");
    auto* model = panel.tnfTable->model();
    model->setData(model->index(0, 4), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(commandsFrom(start, "tnf set 3 freq"),
              (std::vector<std::string>{"tnf set 3 freq=14.2", "tnf set 3 freq=14.2"}));
    EXPECT_EQ(commandsFrom(start, "tnf set 3 permanent").back(), "tnf set 3 permanent=1");
    test::saveScreenshot(panel, "app_tnf_window.png");
}

TEST_F(TnfWindowTest, AddingPicksItsFrequencyAndSwitchesTheFunctionOn) {
    struct Case {
        const char* name;
        TnfWindowController::AddedFrom from;
        std::optional<double> mouse, hud;
        const char* created;
    };
    using From = TnfWindowController::AddedFrom;
    const Case cases[] = {
        {"button without a heads-up pan", From::window, 7.1, std::nullopt, "tnf create freq=14.1"},
        {"button", From::window, 7.1, 21.2, "tnf create freq=21.2"},
        {"menu", From::menu, 7.1, 21.2, "tnf create freq=7.1"},
        {"menu without a pan entered", From::menu, std::nullopt, 21.2, "tnf create freq=14.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host->mouseMHz = c.mouse;
        host->hudCenter = c.hud;
        const std::size_t start = commandCount();
        controller->tnfAddButtonPressed(c.from);
        EXPECT_TRUE(test::waitFor([&] {
            const auto texts = sim->commandTexts();
            return std::find(texts.begin() + std::ptrdiff_t(start), texts.end(), c.created) !=
                   texts.end();
        }));
        EXPECT_EQ(commandsFrom(start, "tnf create"), (std::vector<std::string>{c.created}));
    }
    // The function was off at first: the first add switched it on, before its filter.
    const auto texts = sim->commandTexts();
    const auto on = std::find(texts.begin(), texts.end(), "radio set tnf_enabled=1");
    ASSERT_NE(on, texts.end());
    EXPECT_LT(on - texts.begin(),
              std::find(texts.begin(), texts.end(), "tnf create freq=14.1") - texts.begin());
}

TEST_F(TnfWindowTest, DeletingAsksAndSortingKeepsTheSelection) {
    ASSERT_TRUE(reportTnf("5 freq=7.05 depth=1 width=0.0001 permanent=0"));
    ASSERT_TRUE(reportTnf("2 freq=14.2 depth=1 width=0.0001 permanent=0"));
    ASSERT_TRUE(reportTnf("9 freq=3.6 depth=1 width=0.0001 permanent=0"));
    panel.tnfTable->selectRowIndexes({1}, false);  // filter 2
    EXPECT_TRUE(panel.tnfDeleteButton->isEnabled());

    panel.tnfTable->setSortDescriptors({{"frequency", true}});
    EXPECT_EQ(ids(), (std::vector<int>{9, 5, 2}));
    EXPECT_EQ(panel.tnfTable->selectedRow(), 2);

    std::size_t start = commandCount();
    {
        test::AlertAnswers cancel(1);
        controller->deleteUserTnf();
        ASSERT_EQ(cancel.messages.size(), 1u);
        EXPECT_EQ(cancel.messages[0], "Are you sure you want to delete the selected TNF ?");
    }
    EXPECT_EQ(ids().size(), 3u);
    {
        test::AlertAnswers ok(0);
        controller->deleteUserTnf();
    }
    EXPECT_EQ(ids(), (std::vector<int>{9, 5}));  // gone at once, before the radio says so
    EXPECT_EQ(commandsFrom(start, "tnf remove"), (std::vector<std::string>{"tnf remove 2"}));

    panel.tnfTable->deselectAll();
    EXPECT_FALSE(panel.tnfDeleteButton->isEnabled());
    start = commandCount();
    {
        test::AlertAnswers ok(0);
        controller->deleteUserTnf();
    }
    EXPECT_TRUE(commandsFrom(start, "tnf remove").empty());
}

TEST_F(TnfWindowTest, WithoutARadioTheWindowStaysShutAndNothingIsCreated) {
    host->radio = nullptr;
    int beeps = 0;
    const auto previous = setBeepHandler([&] { ++beeps; });
    controller->openTnfWindow();
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(panel.isVisible());
    const std::size_t start = commandCount();
    controller->tnfAddButtonPressed(TnfWindowController::AddedFrom::window);
    EXPECT_TRUE(commandsFrom(start, "tnf").empty());
    EXPECT_EQ(panel.tnfTable->numberOfRows(), 0);
    setBeepHandler(previous);
}

}  // namespace
}  // namespace vm
