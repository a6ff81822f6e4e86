// The transverter editor without the application, offscreen, against the simulated radio: the
// radio's transverter reports make the tabs and the sub-menu, the fields and buttons send their
// commands, and choosing a transverter moves the active slice onto it.
#include "app/memory/TransverterEditor.h"
#include "app/windows/TransverterPrefsPage.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewSnapshots.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimRadio.h"

#include "display/PanSessionSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTabWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::waitFor;

class FakeTransverterHost : public TransverterHost {
public:
    bool debugEnabled() const override { return debug; }
    std::shared_ptr<Radio> currentRadio() const override { return radio; }
    std::shared_ptr<Slice> activeVFO() const override { return active; }
    std::shared_ptr<Slice> alternateVFO() const override { return alternate; }
    std::shared_ptr<Panafall> panForFrequency(double mhz) const override {
        asked.push_back(mhz);
        return pan;
    }
    SavedAntennas savedAntennas() const override { return saved; }
    std::optional<QPalette> alertAppearance() const override { return std::nullopt; }

    bool debug = false;
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Slice> active, alternate;
    std::shared_ptr<Panafall> pan;
    SavedAntennas saved;
    mutable std::vector<double> asked;
};

// Two transverters as the radio reports them: a 2 m one and a receive-only 70 cm one without a
// name.
const char* const kTwoMetres =
    "xvtr 0 name=2m rf_freq=144.0 if_freq=28.0 lo_error=0.000150 max_power=10.0 rx_gain=0.5 "
    "rx_only=0 is_valid=1 preferred=0 two_meter_int=0 order=0 in_use=1";
const char* const kSeventyCentimetres =
    "xvtr 1 name= rf_freq=432.1 if_freq=28.1 lo_error=0 max_power=0 rx_gain=-2.5 rx_only=1 "
    "is_valid=0 preferred=0 two_meter_int=0 order=1 in_use=1";

// A session with the simulated radio and one panadapter, the Transverters page and the Slices
// menu's transverter item, and the editor hearing the session's reports.
class TransverterEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Defaults::standard().remove("xvtr_tab_view");
        ASSERT_NO_FATAL_FAILURE(test::startPanSession(sim, radio, pan, delegate, 800, 200));
        host->radio = radio;
        reports = NotificationCenter::defaultCenter().addObserver(
            "xvtrAdded", [this](const Notification& note) {
                ++reported;
                editor->xvtrNotification(note);
            });
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(reports);
        Alert::setTestResponder({});
        Defaults::standard().remove("xvtr_tab_view");
        if (radio) {
            radio->close();
        }
        test::mainQueueBarrier();
    }

    // The radio reports the lines; true once the editor has heard each.
    bool report(const std::vector<std::string>& lines) {
        const int before = reported;
        for (const auto& line : lines) {
            if (!sim->sendStatus(line)) {
                return false;
            }
        }
        return waitFor([&] { return reported == before + int(lines.size()); });
    }
    bool reportBoth() { return report({kTwoMetres, kSeventyCentimetres}); }

    // What the radio received from now on, up to the next call of received().
    void mark() {
        test::commandBarrier(*radio, *sim);
        marked = sim->commandTexts().size();
    }
    std::vector<std::string> received() {
        test::mainQueueBarrier();
        for (const auto& slice : {host->active, host->alternate}) {
            if (slice) {
                test::queueBarrier(slice->sliceRunQueue());
            }
        }
        test::commandBarrier(*radio, *sim);
        auto texts = sim->commandTexts();
        texts.erase(texts.begin(), texts.begin() + std::ptrdiff_t(marked));
        std::erase(texts, "ping");
        std::erase_if(texts, test::isCommandBarrier);
        std::erase_if(texts, [](const std::string& t) { return t.starts_with("display"); });
        return texts;
    }

    QTabWidget& tabs() { return *page.findChild<QTabWidget*>("xvtrTabView"); }
    std::vector<std::string> tabLabels() {
        std::vector<std::string> labels;
        for (int i = 0; i < tabs().count(); ++i) {
            labels.push_back(tabs().tabText(i).toStdString());
        }
        return labels;
    }
    template <class T>
    T& control(int tab, const char* name) {
        T* found = tabs().widget(tab)->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return *found;
    }
    std::string shown(int tab, const char* name) {
        return control<TextField>(tab, name).stringValue();
    }
    // The operator enters a text in a field of the selected tab.
    void enter(const char* name, const std::string& text) {
        TextField& field = control<TextField>(tabs().currentIndex(), name);
        field.setStringValue(text);
        emit field.endEditing();
    }
    Menu& subMenu() { return *transverterItem.submenu(); }
    std::vector<std::string> menuTitles() {
        std::vector<std::string> titles;
        for (int i = 0; i < subMenu().numberOfItems(); ++i) {
            titles.push_back(subMenu().itemAtIndex(i)->title());
        }
        return titles;
    }
    // The radio reports this client's slice 0 on 14.1 MHz, as the active slice.
    std::shared_ptr<Slice> activeSlice() {
        test::NotificationRecorder created{{"SliceCreated"}};
        EXPECT_TRUE(sim->sendStatus(sim::sliceStatus(
            0, "in_use=1 RF_frequency=14.100000 mode=USB rxant=ANT1 txant=ANT1 active=1")));
        EXPECT_TRUE(waitFor([&] { return !created.seen().empty(); }));
        return created.seen().empty()
                   ? nullptr
                   : std::static_pointer_cast<Slice>(created.seen().front().object);
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Panafall> pan;
    std::shared_ptr<test::StateRecorder> delegate = std::make_shared<test::StateRecorder>();
    std::shared_ptr<FakeTransverterHost> host = std::make_shared<FakeTransverterHost>();
    TransverterPrefsPage page;
    MenuItem transverterItem{"Transverters"};
    std::shared_ptr<TransverterEditor> editor =
        TransverterEditor::create(page, transverterItem, host);
    NotificationCenter::Token reports{};
    int reported = 0;
    std::size_t marked = 0;
};

TEST_F(TransverterEditorTest, TwoReportsMakeTwoTabsWithTheirFieldsAndTheSubMenu) {
    host->debug = true;
    test::LogCapture capture;
    ASSERT_TRUE(reportBoth());
    EXPECT_EQ(tabLabels(), (std::vector<std::string>{"2m", "X1"}));
    EXPECT_EQ(menuTitles(), (std::vector<std::string>{"2m", "X1"}));
    EXPECT_EQ(subMenu().itemAtIndex(1)->tag(), 1);
    EXPECT_TRUE(capture.contains("xvtrNotification:added   XVTR:key:0 name:2m, 144 MHz."));
    EXPECT_TRUE(capture.contains("reloadXvtrTabItemsAndSubMenus:key:[1], name:[X1]"));

    const struct {
        const char* field;
        const char* first;
        const char* second;
    } fields[] = {
        {"xvtrNameField", "2m", "X1"},           {"xvtrRfFreqField", "144.000", "432.100"},
        {"xvtrIfFreqField", "28.000", "28.100"}, {"xvtrLoFreqField", "116.000", "404.000"},
        {"xvtrLoErrorField", "150", "0"},        {"xvtrMaxPowerField", "10.0", "0.0"},
        {"xvtrRxGainField", "0.5", "-2.5"},      {"xvtrValidLabel", "Valid", "Not Valid"},
    };
    for (const auto& [field, first, second] : fields) {
        EXPECT_EQ(shown(0, field), first) << field;
        EXPECT_EQ(shown(1, field), second) << field;
    }
    EXPECT_TRUE(control<TextField>(0, "xvtrLoFreqField").isReadOnly());
    EXPECT_FALSE(control<TextField>(0, "xvtrRfFreqField").isReadOnly());
    EXPECT_FALSE(control<CheckBox>(0, "xvtrRxOnlyCheckBox").state());
    EXPECT_TRUE(control<CheckBox>(1, "xvtrRxOnlyCheckBox").state());

    // The first tab is chosen, and the buttons name its transverter.
    ASSERT_TRUE(editor->lastTransverter);
    EXPECT_EQ(editor->lastTransverter->key, "0");
    EXPECT_EQ(page.findChild<QWidget*>("xvtrDeleteButton")->toolTip(), "Delete 2m Transverter");
    EXPECT_EQ(page.findChild<QWidget*>("xvtrSelectButton")->toolTip(), "Select 2m Transverter");
    // Choosing the second tab chooses its transverter.
    tabs().setCurrentIndex(1);
    EXPECT_EQ(editor->lastTransverter->key, "1");
    EXPECT_EQ(page.selectButtonTag(), 1);

    // A band of a transverter is named after it.
    const struct {
        const char* band;
        const char* name;
    } bands[] = {{"X0", "2m"}, {"X1", "X1"}, {"X7", "?"}, {"X", "?"}};
    for (const auto& [band, name] : bands) {
        EXPECT_EQ(editor->xvtrNameForXKey(band), name) << band;
    }

    page.resize(460, 260);
    const QImage picture = views::imageRepresentation(page);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VM_SCREENSHOT_DIR)));
    EXPECT_TRUE(picture.save(QStringLiteral(VM_SCREENSHOT_DIR "/transverter_editor.png")));

    // The radio removes one: its tab and item go; without a radio nothing is shown.
    ASSERT_TRUE(report({"xvtr 0 in_use=0"}));
    EXPECT_TRUE(capture.contains("xvtrNotification:removed XVTR:key:0 name:, 0 MHz."));
    EXPECT_EQ(tabLabels(), std::vector<std::string>{"X1"});
    EXPECT_EQ(menuTitles(), std::vector<std::string>{"X1"});
    host->radio.reset();
    editor->reloadXvtrTabItemsAndSubMenus();
    EXPECT_EQ(tabs().count(), 0);
    EXPECT_EQ(subMenu().numberOfItems(), 0);
    EXPECT_EQ(editor->xvtrNameForXKey("X1"), "?");
}

// The stored tab index is held within the tabs there are.
TEST_F(TransverterEditorTest, TheStoredTabIsChosenWithinTheTabs) {
    ASSERT_TRUE(reportBoth());
    const struct {
        long long stored;
        int selected;
    } cases[] = {{5, 1}, {-1, 0}, {1, 1}, {0, 0}};
    for (const auto& [stored, selected] : cases) {
        Defaults::standard().set("xvtr_tab_view", PlistValue(std::int64_t(stored)));
        editor->reloadXvtrTabItemsAndSubMenus();
        EXPECT_EQ(tabs().currentIndex(), selected) << stored;
        EXPECT_EQ(editor->lastTransverter->key, std::to_string(selected)) << stored;
    }
}

// Each entry is sent at once and shown at once, before the radio answers (this radio sends no
// status back), on the same tab.
TEST_F(TransverterEditorTest, EachEntrySendsItsSetCommandAndIsShownAtOnce) {
    ASSERT_TRUE(reportBoth());
    const struct {
        const char* name;
        std::function<void()> enterIt;
        const char* command;
        const char* field;
        const char* shownAfter;
    } cases[] = {
        {"name with blanks", [&] { enter("xvtrNameField", "My 2m"); }, "xvtr set 0 name My_2m",
         "xvtrNameField", "My_2m"},
        {"negative RF", [&] { enter("xvtrRfFreqField", "-5"); }, "xvtr set 0 rf_freq 0",
         "xvtrLoFreqField", "-28.000"},
        {"IF", [&] { enter("xvtrIfFreqField", "26"); }, "xvtr set 0 if_freq 26", "xvtrLoFreqField",
         "-26.000"},
        {"negative IF", [&] { enter("xvtrIfFreqField", "-1.5"); }, "xvtr set 0 if_freq 0",
         "xvtrIfFreqField", "0.000"},
        {"power as typed", [&] { enter("xvtrMaxPowerField", "-10"); }, "xvtr set 0 max_power -10",
         "xvtrMaxPowerField", "-10.0"},
        {"gain", [&] { enter("xvtrRxGainField", "1.5"); }, "xvtr set 0 rx_gain 1.5",
         "xvtrRxGainField", "1.5"},
        {"LO error in MHz", [&] { enter("xvtrLoErrorField", "-1500"); },
         "xvtr set 0 lo_error -0.001500", "xvtrLoErrorField", "-1500"},
        {"receive only",
         [&] {
             CheckBox& box = control<CheckBox>(0, "xvtrRxOnlyCheckBox");
             box.setState(true);
             box.sendAction();
         },
         "xvtr set 0 rx_only 1", nullptr, nullptr},
        {"preferred", [&] { editor->xvtrButtonChanged(kXvtrPreferredTag, true); },
         "xvtr set 0 preferred 1", nullptr, nullptr},
        {"two metre interface", [&] { editor->xvtrButtonChanged(kXvtrTwoMeterIntTag, false); },
         "xvtr set 0 two_meter_int 0", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        mark();
        c.enterIt();
        EXPECT_EQ(received(), std::vector<std::string>{c.command}) << c.name;
        EXPECT_EQ(tabs().currentIndex(), 0) << c.name;
        if (c.field) {
            EXPECT_EQ(shown(0, c.field), c.shownAfter) << c.name;
        }
    }
    EXPECT_EQ(tabLabels(), (std::vector<std::string>{"My_2m", "X1"}));
    EXPECT_TRUE(control<CheckBox>(0, "xvtrRxOnlyCheckBox").state());
    EXPECT_EQ(editor->xvtrNameForXKey("X0"), "My_2m");

    // The second tab stays chosen after its change.
    tabs().setCurrentIndex(1);
    mark();
    enter("xvtrRfFreqField", "430");
    EXPECT_EQ(received(), std::vector<std::string>{"xvtr set 1 rf_freq 430"});
    EXPECT_EQ(tabs().currentIndex(), 1);
    EXPECT_EQ(shown(1, "xvtrRfFreqField"), "430.000");
}

// Creating and deleting go to the radio, and the tabs follow its reports; the delete asks
// first, and Cancel sends nothing.
TEST_F(TransverterEditorTest, AddAndDeleteFollowTheRadiosReports) {
    sim->answerObjectCommands();
    page.findChild<ImageButton*>("xvtrAddButton")->sendAction();
    ASSERT_TRUE(waitFor([&] { return tabs().count() == 1; }));
    EXPECT_EQ(tabLabels(), std::vector<std::string>{"XVTR"});

    std::vector<std::string> asked;
    int answer = 1;  // Cancel
    Alert::setTestResponder([&](Alert& alert) {
        asked.push_back(alert.messageText() + " / " + alert.informativeText());
        return answer;
    });
    mark();
    page.findChild<ImageButton*>("xvtrDeleteButton")->sendAction();
    EXPECT_EQ(asked, std::vector<std::string>{"Are you sure you want to delete the XVTR "
                                              "Transverter ? / This action cannot be undone."});
    EXPECT_TRUE(received().empty());
    answer = 0;  // OK
    page.findChild<ImageButton*>("xvtrDeleteButton")->sendAction();
    ASSERT_TRUE(waitFor([&] { return tabs().count() == 0; }));
    EXPECT_EQ(received(), std::vector<std::string>{"xvtr remove 0"});

    // With no transverter the buttons and fields do nothing.
    asked.clear();
    mark();
    page.findChild<ImageButton*>("xvtrDeleteButton")->sendAction();
    page.findChild<ImageButton*>("xvtrSelectButton")->sendAction();
    editor->xvtrValueChanged(kXvtrNameTag, "lost");
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(received().empty());
}

// Choosing a transverter puts the active slice's panadapter on its band, then tunes the slice
// and turns its antennas to the transverter: only the receive antenna for a receive-only one.
TEST_F(TransverterEditorTest, ChoosingATransverterMovesTheActiveSliceOntoIt) {
    ASSERT_TRUE(reportBoth());
    host->active = activeSlice();
    ASSERT_TRUE(host->active);
    host->pan = pan;
    const struct {
        const char* name;
        std::function<void()> choose;
        const char* band;
        std::vector<std::string> commands;
    } cases[] = {
        {"select button on the first tab",
         [&] {
             tabs().setCurrentIndex(0);
             page.findChild<ImageButton*>("xvtrSelectButton")->sendAction();
         },
         "X0",
         {"slice tune 0 144", "slice set 0 rxant=xvtr", "slice set 0 txant=xvtr"}},
        {"sub-menu item of the receive-only one",
         [&] { subMenu().itemAtIndex(1)->performAction(); },
         "X1",
         {"slice tune 0 432.1", "slice set 0 rxant=xvtr"}},
    };
    for (const auto& c : cases) {
        mark();
        c.choose();
        EXPECT_EQ(pan->band(), c.band) << c.name;
        // Nothing reaches the slice before 0.1 s have passed.
        EXPECT_TRUE(received().empty()) << c.name;
        // The pool fires timers that fall due together on several threads, so the delayed task
        // may reach the main queue after the barrier's: wait for what it sends.
        test::advanceBarrier(DispatchQueue::main(), 100ms);
        EXPECT_TRUE(waitFor([&] { return received().size() >= c.commands.size(); })) << c.name;
        EXPECT_EQ(received(), c.commands) << c.name;
        EXPECT_EQ(editor->lastTransverter->key, std::string(1, c.band[1])) << c.name;
    }
    EXPECT_EQ(host->asked.front(), 14.1);

    // Back on the saved antennas, in lower case; one never saved is left as it is.
    host->saved = {"ANT2", "", "ANT1", "ANT1"};
    host->active->sliceTxAnt.store(std::string("XVTR"));
    mark();
    editor->restoreHFAntennas();
    EXPECT_EQ(received(), std::vector<std::string>{"slice set 0 rxant=ant2"});
}

}  // namespace
}  // namespace vm
