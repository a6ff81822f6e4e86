#include "platform/core/Defaults.h"
#include "platform/ui/TableView.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace vm {
namespace {

struct Station {
    int id;
    std::string name;
    double megahertz;
};

// A source over a list of stations, as the controller's tables are: it sorts its list when the
// table's descriptors change and reorders it on a drop.
class Stations : public TableDataSource {
public:
    std::vector<Station> rows{{1, "Kilo", 14.2}, {2, "Alpha", 7.1}, {3, "Mike", 21.3}};
    std::vector<std::vector<SortDescriptor>> sortChanges;
    std::vector<std::pair<std::vector<int>, int>> drops;
    std::vector<std::pair<std::string, int>> editsAsked;
    std::vector<std::tuple<QVariant, std::string, int>> edits;
    int editingEnded = 0;
    int selectionChanges = 0;
    bool allowEdits = true;
    bool boldFirst = false;

    std::vector<int> ids() const {
        std::vector<int> result;
        for (const Station& s : rows) {
            result.push_back(s.id);
        }
        return result;
    }

    int numberOfRows(TableView&) override { return int(rows.size()); }
    QVariant objectValue(TableView&, const std::string& column, int row) override {
        if (row < 0 || row >= int(rows.size())) {
            return QString();
        }
        const Station& s = rows[std::size_t(row)];
        if (column == "name") {
            return QVariant::fromValue(
                AttributedText{QString::fromStdString(s.name), boldFirst && row == 0});
        }
        if (column == "megahertz") {
            return s.megahertz;
        }
        if (column == "id") {
            return s.id;
        }
        if (column == "on") {
            return s.id % 2 == 1 ? QStringLiteral("1") : QStringLiteral("0");
        }
        return QString();
    }
    void setObjectValue(TableView&, const QVariant& value, const std::string& column,
                        int row) override {
        edits.emplace_back(value, column, row);
        if (column == "name") {
            rows[std::size_t(row)].name = value.toString().toStdString();
        }
    }
    bool shouldEdit(TableView&, const std::string& column, int row) override {
        editsAsked.emplace_back(column, row);
        return allowEdits;
    }
    void textDidEndEditing(TableView&) override { ++editingEnded; }
    void selectionDidChange(TableView&) override { ++selectionChanges; }
    void sortDescriptorsDidChange(TableView& table,
                                  const std::vector<SortDescriptor>& old) override {
        sortChanges.push_back(old);
        sortUsingDescriptors(rows, table.sortDescriptors(),
                             [](const Station& s, const std::string& key) {
                                 return key == "name" ? QVariant(QString::fromStdString(s.name))
                                                      : QVariant(s.megahertz);
                             });
        table.reloadData();
    }
    std::optional<QColor> textColor(TableView&, const std::string& column, int row) override {
        return column == "id" && row == 2 ? std::optional<QColor>(Qt::red) : std::nullopt;
    }
    bool writeRows(TableView&, const std::vector<int>&) override { return true; }
    bool acceptDrop(TableView& table, const std::vector<int>& dragged, int row) override {
        drops.emplace_back(dragged, row);
        std::vector<Station> moving;
        for (auto it = dragged.rbegin(); it != dragged.rend(); ++it) {
            moving.insert(moving.begin(), rows[std::size_t(*it)]);
            rows.erase(rows.begin() + *it);
        }
        const int at = std::min(row, int(rows.size()));
        rows.insert(rows.begin() + at, moving.begin(), moving.end());
        table.reloadData();
        return true;
    }
};

std::vector<TableColumn> stationColumns() {
    return {
        TableColumn("name", "Name", 120).editable().sortedBy("name"),
        TableColumn("megahertz", "MHz", 90).sortedBy("megahertz"),
        TableColumn("id", "Id", 50),
        TableColumn("on", "On", 40).editable().checkBox(),
    };
}

class TableViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        table = std::make_unique<TableView>();
        table->setColumns(stationColumns());
        table->setDataSource(source);
        table->resize(420, 200);
        table->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(table.get()));
    }

    QPoint cellCentre(int row, int column) const {
        return table->visualRect(table->model()->index(row, column)).center();
    }
    void clickHeader(int column) {
        QHeaderView* header = table->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    std::vector<QString> shownNames() const {
        std::vector<QString> names;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            names.push_back(table->model()->index(row, 0).data().toString());
        }
        return names;
    }

    std::shared_ptr<Stations> source = std::make_shared<Stations>();
    std::unique_ptr<TableView> table;
};

TEST_F(TableViewTest, HeaderClickSortsBySortableColumnsOnly) {
    clickHeader(1);
    EXPECT_EQ(table->sortDescriptors(), (std::vector<SortDescriptor>{{"megahertz", true}}));
    EXPECT_EQ(source->ids(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(shownNames(), (std::vector<QString>{"Alpha", "Kilo", "Mike"}));

    clickHeader(1);  // the same column again turns the direction
    EXPECT_EQ(source->ids(), (std::vector<int>{3, 1, 2}));
    clickHeader(0);  // another column goes first, the previous one stays behind it
    EXPECT_EQ(table->sortDescriptors(),
              (std::vector<SortDescriptor>{{"name", true}, {"megahertz", false}}));
    EXPECT_EQ(source->ids(), (std::vector<int>{2, 1, 3}));
    ASSERT_EQ(source->sortChanges.size(), 3u);
    EXPECT_EQ(source->sortChanges[2], (std::vector<SortDescriptor>{{"megahertz", false}}));

    clickHeader(2);  // no sort key: nothing is sorted and the source is not told
    EXPECT_EQ(source->sortChanges.size(), 3u);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), 0);
}

// Sends the drag-and-drop events of a drop at `at` in the table's viewport.
void dropAt(TableView& table, const QMimeData& data, QPoint at) {
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(table.viewport(), &enter);
    QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(table.viewport(), &move);
    QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(table.viewport(), &drop);
}

TEST_F(TableViewTest, DraggingRowsReordersThroughTheSource) {
    table->setRowsMovable(true);
    // The last row dropped on the upper edge of the first one moves to the top.
    std::unique_ptr<QMimeData> last(table->model()->mimeData({table->model()->index(2, 0)}));
    ASSERT_TRUE(last);
    const QRect first = table->visualRect(table->model()->index(0, 0));
    dropAt(*table, *last, QPoint(first.center().x(), first.top() + 1));
    ASSERT_EQ(source->drops.size(), 1u);
    EXPECT_EQ(source->drops[0], (std::pair<std::vector<int>, int>{{2}, 0}));
    EXPECT_EQ(source->ids(), (std::vector<int>{3, 1, 2}));

    // The first row dropped below the last row goes to the end.
    std::unique_ptr<QMimeData> top(table->model()->mimeData({table->model()->index(0, 1)}));
    dropAt(*table, *top, QPoint(10, table->viewport()->height() - 2));
    EXPECT_EQ(source->drops.back(), (std::pair<std::vector<int>, int>{{0}, 3}));
    EXPECT_EQ(source->ids(), (std::vector<int>{1, 2, 3}));

    // Rows dragged out of another table are refused.
    TableView other;
    other.setColumns(stationColumns());
    other.setDataSource(source);
    other.setRowsMovable(true);
    std::unique_ptr<QMimeData> foreign(other.model()->mimeData({other.model()->index(0, 0)}));
    dropAt(*table, *foreign, QPoint(first.center().x(), first.top() + 1));
    EXPECT_EQ(source->drops.size(), 2u);

    // Without movable rows nothing is dragged out at all.
    table->setRowsMovable(false);
    EXPECT_EQ(table->model()->flags(table->model()->index(0, 0)) & Qt::ItemIsDragEnabled,
              Qt::NoItemFlags);
}

TEST_F(TableViewTest, DoubleClickReportsTheRowOrEditsAnEditableCell) {
    QSignalSpy actions(table.get(), &TableView::doubleAction);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCentre(1, 2));
    ASSERT_EQ(actions.count(), 1);
    EXPECT_EQ(actions.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(table->selectedRow(), 1);

    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {},
                       QPoint(10, table->viewport()->height() - 2));
    ASSERT_EQ(actions.count(), 1);
    EXPECT_EQ(actions.takeFirst().at(0).toInt(), -1);

    // An editable cell the source lets edit opens its editor instead; one it refuses sends the
    // action.
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCentre(2, 0));
    EXPECT_EQ(actions.count(), 0);
    EXPECT_TRUE(table->indexWidget(table->model()->index(2, 0)));
    EXPECT_EQ(source->editsAsked.back(), (std::pair<std::string, int>{"name", 2}));
    table->setFocus();  // closes the editor
    source->allowEdits = false;
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCentre(0, 0));
    ASSERT_EQ(actions.count(), 1);
    EXPECT_EQ(actions.takeFirst().at(0).toInt(), 0);
}

TEST_F(TableViewTest, EditsReachTheSourceAndTheEndOfEditingIsReported) {
    table->edit(table->model()->index(1, 0));
    auto* editor = table->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), "Alpha");
    editor->setText("Alpha Bravo");
    QTest::keyClick(editor, Qt::Key_Return);  // commits on the next turn of the event loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return source->editingEnded == 1; }));
    ASSERT_EQ(source->edits.size(), 1u);
    EXPECT_EQ(std::get<0>(source->edits[0]).toString(), "Alpha Bravo");
    EXPECT_EQ(std::get<2>(source->edits[0]), 1);
    EXPECT_EQ(source->editingEnded, 1);
    EXPECT_EQ(table->model()->index(1, 0).data().toString(), "Alpha Bravo");

    // A check-box cell sends its new state; a non-editable column never asks.
    table->model()->setData(table->model()->index(0, 3), Qt::Unchecked, Qt::CheckStateRole);
    ASSERT_EQ(source->edits.size(), 2u);
    EXPECT_EQ(std::get<0>(source->edits[1]).toInt(), 0);
    EXPECT_EQ(std::get<1>(source->edits[1]), "on");
    const std::size_t asked = source->editsAsked.size();
    table->edit(table->model()->index(0, 1));
    EXPECT_EQ(source->editsAsked.size(), asked);
    EXPECT_FALSE(table->indexWidget(table->model()->index(0, 1)));
}

TEST_F(TableViewTest, CellsShowTheSourcesValuesAndStyles) {
    source->boldFirst = true;
    source->rows[0].megahertz = 14.123456;
    table->reloadData();
    QAbstractItemModel& model = *table->model();
    EXPECT_EQ(model.index(0, 1).data().toString(), "14.123456");
    EXPECT_EQ(model.index(0, 2).data().toString(), "1");
    EXPECT_TRUE(model.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.index(2, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(model.index(0, 3).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model.index(1, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

TEST_F(TableViewTest, ReloadKeepsTheSelectedRowsThatRemain) {
    table->setAllowsMultipleSelection(true);
    table->selectRowIndexes({0, 2}, false);
    EXPECT_EQ(table->selectedRowIndexes(), (std::vector<int>{0, 2}));
    EXPECT_EQ(table->selectedRow(), 2);
    const int changes = source->selectionChanges;
    EXPECT_GT(changes, 0);

    source->rows.pop_back();
    table->reloadData();
    EXPECT_EQ(table->numberOfRows(), 2);
    EXPECT_EQ(table->selectedRowIndexes(), (std::vector<int>{0}));
    EXPECT_GT(source->selectionChanges, changes);

    table->deselectAll();
    EXPECT_EQ(table->selectedRow(), -1);
}

TEST(TableViewLayout, ColumnsAndSortSurviveARestartThroughTheDefaults) {
    auto source = std::make_shared<Stations>();
    {
        TableView table;
        table.setColumns(stationColumns());
        table.setDataSource(source);
        table.setAutosaveName("vmsdr_test_table_settings");
        table.horizontalHeader()->moveSection(2, 0);      // "id" first
        table.horizontalHeader()->resizeSection(0, 180);  // "name"
        table.setSortDescriptors({{"megahertz", false}});
    }  // written when the table goes, even before the delay has run out
    TableView restarted;
    restarted.setColumns(stationColumns());
    restarted.setDataSource(source);
    EXPECT_EQ(restarted.visibleColumnOrder(),
              (std::vector<std::string>{"name", "megahertz", "id", "on"}));
    restarted.setAutosaveName("vmsdr_test_table_settings");
    EXPECT_EQ(restarted.visibleColumnOrder(),
              (std::vector<std::string>{"id", "name", "megahertz", "on"}));
    EXPECT_EQ(restarted.columnWidth("name"), 180);
    EXPECT_EQ(restarted.sortDescriptors(), (std::vector<SortDescriptor>{{"megahertz", false}}));
}

TEST(TableViewLayout, StoredEntriesThatDoNotFitAreIgnored) {
    PlistDict name;
    name["identifier"] = "name";
    name["width"] = 100000;
    PlistDict gone;
    gone["identifier"] = "callsign";
    gone["width"] = 70;
    PlistDict sortGone;
    sortGone["key"] = "callsign";
    sortGone["ascending"] = true;
    PlistDict sortBad;
    sortBad["key"] = "name";
    sortBad["ascending"] = "yes";
    PlistDict layout;
    layout["columns"] = PlistArray{PlistValue(gone), PlistValue("megahertz"), PlistValue(name)};
    layout["sort"] = PlistArray{PlistValue(sortGone), PlistValue(sortBad)};
    Defaults::standard().set("TableView Layout vmsdr_test_bad", layout);

    TableView table;
    table.setColumns(stationColumns());
    table.setAutosaveName("vmsdr_test_bad");
    EXPECT_EQ(table.visibleColumnOrder(),
              (std::vector<std::string>{"name", "megahertz", "id", "on"}));
    EXPECT_EQ(table.columnWidth("name"), 4000);
    EXPECT_TRUE(table.sortDescriptors().empty());
}

}  // namespace
}  // namespace vm
