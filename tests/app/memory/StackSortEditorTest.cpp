// The band-stack editor: a band's entries listed, edited in place, dragged into a new order,
// added and deleted in a working list that OK hands back and Cancel drops.
#include "app/memory/BandStacks.h"
#include "app/memory/StackSortController.h"
#include "app/memory/StackSortHost.h"
#include "app/windows/StackSortWindow.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"

#include "platform/ui/Screenshot.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

#include <gtest/gtest.h>

namespace vm {
namespace {

class StacksHost : public StackSortHost {
public:
    BandStacks stacks;
    std::vector<StackEntry> loadStackObjectArray(const std::string& band) override {
        const auto* entries = stacks.loadStackObjectArray(band);
        return entries ? *entries : std::vector<StackEntry>{};
    }
    void saveStackObjectArrayforBand(const std::string& band,
                                     const std::vector<StackEntry>& entries) override {
        stacks.saveStackObjectArrayforBand(band, entries);
    }
    std::optional<QPalette> windowAppearance() const override { return std::nullopt; }
};

StackEntry entry(const std::string& mhz, const char* mode, double stamp) {
    return std::make_shared<FrequencyAndMode>(FrequencyAndMode{mhz, mode, ArchiveDate{stamp}});
}

class StackSortEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        host->stacks.bandStackDictionary["40M"].stackEntries = {
            entry("7.0", "CW", 1), entry("7.1", "LSB", 2), entry("7.2", "LSB", 3)};
        controller = StackSortController::create(window, host);
        previousBeep_ = setBeepHandler([this] { ++beeps; });
    }
    void TearDown() override { setBeepHandler(previousBeep_); }

    std::string listed() {
        std::string out;
        auto* model = window.sourceTableView->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            out += model->index(row, 0).data().toString().toStdString() + "/" +
                   model->index(row, 1).data().toString().toStdString() + " ";
        }
        return out;
    }
    std::string stack(const char* band) {
        std::string out;
        for (const auto& e : host->stacks.bandStackDictionary[band].stackEntries) {
            out += e->megahertz + "/" + e->mode + " ";
        }
        return out;
    }
    void drop(std::vector<int> rows, QPoint at) {
        TableView& table = *window.sourceTableView;
        QModelIndexList indexes;
        for (int row : rows) {
            indexes.push_back(table.model()->index(row, 0));
        }
        std::unique_ptr<QMimeData> data(table.model()->mimeData(indexes));
        ASSERT_TRUE(data);
        QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(table.viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(table.viewport(), &move);
        QDropEvent dropped(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(table.viewport(), &dropped);
    }
    QPoint topOfRow(int row) {
        const QRect r =
            window.sourceTableView->visualRect(window.sourceTableView->model()->index(row, 0));
        return {r.center().x(), r.top() + 1};
    }

    StackSortWindow window;
    std::shared_ptr<StacksHost> host = std::make_shared<StacksHost>();
    std::shared_ptr<StackSortController> controller;
    int beeps = 0;

private:
    BeepHandler previousBeep_;
};

TEST_F(StackSortEditorTest, DraggingReordersAndOkHandsTheListBack) {
    controller->startEditing("40M");
    EXPECT_EQ(listed(), "7.0/CW 7.1/LSB 7.2/LSB ");
    drop({2}, topOfRow(0));  // the last row to the top
    EXPECT_EQ(listed(), "7.2/LSB 7.0/CW 7.1/LSB ");
    drop({0}, topOfRow(2));  // dropped before the third row: it lands just there
    EXPECT_EQ(listed(), "7.0/CW 7.2/LSB 7.1/LSB ");
    drop({0, 1}, QPoint(10, window.sourceTableView->viewport()->height() - 2));  // past the end
    EXPECT_EQ(listed(), "7.1/LSB 7.0/CW 7.2/LSB ");
    EXPECT_EQ(stack("40M"), "7.0/CW 7.1/LSB 7.2/LSB ");  // only the working list so far
    test::saveScreenshot(window, "app_band_stack_editor.png");

    window.okButton->click();
    EXPECT_EQ(stack("40M"), "7.1/LSB 7.0/CW 7.2/LSB ");
    EXPECT_FALSE(window.isVisible());
}

TEST_F(StackSortEditorTest, CancelDropsTheOrderButKeepsCellEdits) {
    controller->startEditing("40M");
    drop({2}, topOfRow(0));
    auto* model = window.sourceTableView->model();
    model->setData(model->index(0, 1), QStringLiteral("CW"), Qt::EditRole);  // the shared entry
    window.cancelButton->click();
    EXPECT_EQ(stack("40M"), "7.0/CW 7.1/LSB 7.2/CW ");
    controller->startEditing("40M");
    EXPECT_EQ(listed(), "7.0/CW 7.1/LSB 7.2/CW ");
}

TEST_F(StackSortEditorTest, CellEditsKeepFrequenciesInRange) {
    controller->startEditing("40M");
    auto* model = window.sourceTableView->model();
    struct Case {
        const char* text;
        const char* shown;
        int beeps;
    };
    int expectedBeeps = 0;
    for (const Case& c : {Case{"0.029", "7.0", 1}, Case{"54.1", "7.0", 1}, Case{"", "7.0", 1},
                          Case{"54.0", "54.0", 0}, Case{"0.03", "0.03", 0}}) {
        SCOPED_TRACE(c.text);
        model->setData(model->index(0, 0), QString::fromLatin1(c.text), Qt::EditRole);
        expectedBeeps += c.beeps;
        EXPECT_EQ(beeps, expectedBeeps);
        EXPECT_EQ(model->index(0, 0).data().toString(), c.shown);
    }
    model->setData(model->index(1, 1), QString(), Qt::EditRole);
    EXPECT_EQ(beeps, expectedBeeps + 1);
    EXPECT_EQ(model->index(1, 1).data().toString(), "LSB");
}

TEST_F(StackSortEditorTest, AddingAndDeleting) {
    controller->startEditing("20M");  // no stack
    EXPECT_EQ(listed(), "");
    window.addButton->click();
    EXPECT_EQ(listed(), "14.240/USB ");

    std::vector<StackEntry> twenty;
    for (int i = 0; i < 20; ++i) {
        twenty.push_back(entry("7.0" + std::to_string(10 + i), "CW", i));
    }
    host->stacks.bandStackDictionary["40M"].stackEntries = twenty;
    controller->startEditing("40M");
    window.addButton->click();
    ASSERT_EQ(controller->sourceDataArray.size(), 20u);
    EXPECT_EQ(controller->sourceDataArray.front()->megahertz, "7.011");
    EXPECT_EQ(controller->sourceDataArray.back()->megahertz, "7.011");
    EXPECT_NE(controller->sourceDataArray.back(), controller->sourceDataArray.front());

    EXPECT_FALSE(window.deleteButton->isEnabled());
    controller->deleteButtonPressed();  // nothing selected
    EXPECT_EQ(beeps, 1);
    window.sourceTableView->selectRowIndexes({0, 1}, false);
    window.sourceTableView->selectRowIndexes({2}, true);
    EXPECT_TRUE(window.deleteButton->isEnabled());
    {
        std::vector<std::string> asked;
        const auto previous = Alert::setTestResponder([&](Alert& alert) {
            asked.push_back(alert.messageText());
            return 0;
        });
        window.deleteButton->click();
        Alert::setTestResponder(previous);
        EXPECT_EQ(asked, (std::vector<std::string>{
                             "Are you sure you want to delete these band stack entries ?"}));
    }
    EXPECT_EQ(controller->sourceDataArray.size(), 17u);

    // OK with an emptied list leaves the band's stack as it was.
    controller->sourceDataArray.clear();
    window.okButton->click();
    EXPECT_EQ(host->stacks.bandStackDictionary["40M"].stackEntries.size(), 20u);
}

}  // namespace
}  // namespace vm
