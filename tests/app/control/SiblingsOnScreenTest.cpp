// The sibling applications and the program's links, end to end with the application offscreen
// against the simulated radio: a spot that the logger sends shows on the panadapter, a link that
// arrives before a radio is open tunes it once the radio is bound with an active slice, and links
// that carry command text send nothing.
#include "ConnectingFixture.h"

#include "app/control/SiblingBridge.h"
#include "app/panels/PanadapterController.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/DistributedNotificationCenter.h"
#include "platform/ui/Screenshot.h"
#include "support/LogCapture.h"
#include "support/sim/SimLines.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vm {
namespace {

using test::runEventsUntil;

class SiblingsOnScreen : public test::ConnectingFixture {
protected:
    std::string ours() const { return "client_handle=0x" + sim->identity().handle; }

    // This client's panadapter on 20 m and slice 0 on it, active, offering the usual modes.
    void reportSession() {
        ASSERT_TRUE(sim->sendStatus(sim::panStatus(
            0x40000000,
            "center=14.100000 bandwidth=0.200000 band=20 min_dbm=-130.00 max_dbm=-40.00 "
            "fps=25 average=40 rfgain=0 waterfall=0x42000000 " +
                ours())));
        ASSERT_TRUE(sim->sendStatus(
            sim::waterfallStatus(0x42000000, "line_duration=80 color_gain=60 auto_black=1")));
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            0,
            "in_use=1 RF_frequency=14.074000 mode=USB mode_list=LSB,USB,CW,AM,DIGU active=1 "
            "filter_lo=100 filter_hi=2900 pan=0x40000000 index_letter=A " +
                ours())));
        ASSERT_TRUE(runEventsUntil([&] {
            return panadapter(0).panafall && controller->activeVFO() != nullptr;
        })) << logText();
    }
    // The tuning commands the radio received, in order.
    std::vector<std::string> tuning() {
        std::vector<std::string> out;
        for (const auto& text : sim->commandTexts()) {
            if (text.starts_with("slice tune") || text.starts_with("slice set 0 mode")) {
                out.push_back(text);
            }
        }
        return out;
    }
};

TEST_F(SiblingsOnScreen, ASpotFromTheLoggerShowsOnThePanadapter) {
    ASSERT_NO_FATAL_FAILURE(launch());
    prefsControl<CheckBox>("trvlSpotsButton").setState(true);
    connectAsGui();
    reportSession();

    // The logger runs beside the program, on the same session bus.
    const QString name = QStringLiteral("stand-in-logger");
    QDBusConnection loggerBus = QDBusConnection::connectToBus(
        QString::fromLatin1(std::getenv("DBUS_SESSION_BUS_ADDRESS")), name);
    ASSERT_TRUE(loggerBus.isConnected());
    {
        DistributedNotificationCenter logger(loggerBus);
        ASSERT_TRUE(logger.post("com.velmorasoftware.new_dx_spot", "string object",
                                {{"combinedCallsign", "K1ABC"},
                                 {"megahertz", 14.08},
                                 {"mode", "CW"},
                                 {"dxde", "W1AW"},
                                 {"timeout_hours", 1.0},
                                 {"comments", "CQ"}}));
        ASSERT_TRUE(
            runEventsUntil([&] { return !controller->siblingBridge->localSpots().empty(); }));
    }
    QDBusConnection::disconnectFromBus(name);

    PanAdapterView& view = *panadapter(0).panAdapterView;
    view.resize(900, 300);
    test::saveScreenshot(view, QStringLiteral("siblings_logger_spot_on_panadapter.png"));
    ASSERT_EQ(view.thisBandSpots().size(), 1u);
    EXPECT_EQ(view.thisBandSpots()[0], controller->siblingBridge->localSpots()[0]);
}

TEST_F(SiblingsOnScreen, ALinkSentBeforeTheRadioOpensTunesItOnceOpen) {
    ASSERT_NO_FATAL_FAILURE(launch());
    controller->handleURLEvent("kbrx://tune?freq=7.030&mode=CW");
    controller->handleURLEvent("kbrx://tune?freq=7.074");
    connectAsGui();
    EXPECT_TRUE(tuning().empty());
    reportSession();
    ASSERT_TRUE(runEventsUntil([&] { return tuning().size() >= 4; }));
    EXPECT_EQ(tuning(), (std::vector<std::string>{"slice tune 0 7.030", "slice set 0 mode=CW",
                                                  "slice tune 0 7.074", "slice set 0 mode=USB"}));
}

TEST_F(SiblingsOnScreen, LinksCarryingCommandTextSendNothing) {
    ASSERT_NO_FATAL_FAILURE(launch());
    connectAsGui();
    reportSession();
    test::LogCapture log;
    controller->handleURLEvent("kbrx://tune?freq=14.074%0Ac9%7Cxmit%201");
    controller->handleURLEvent("kbrx://tune?freq=14.074&mode=USB%20tx=1");
    controller->handleURLEvent("KBRX://tune?freq=14.074");
    // A plain link after them: once it is tuned, the others would have been too.
    controller->handleURLEvent("kbrx://tune?freq=14.2&mode=LSB");
    ASSERT_TRUE(runEventsUntil([&] { return tuning().size() >= 2; }));
    EXPECT_EQ(tuning(), (std::vector<std::string>{"slice tune 0 14.2", "slice set 0 mode=LSB"}));
    EXPECT_TRUE(log.contains(
        "handleURLEvent:url:[kbrx://tune?freq=14.074%0Ac9%7Cxmit%201] frequency not accepted:"
        "[14.074\\nc9|xmit 1]"));
    EXPECT_TRUE(
        log.contains("handleURLEvent:url:[kbrx://tune?freq=14.074&mode=USB%20tx=1] mode "
                     "not offered by the slice:[USB tx]"));
}

}  // namespace
}  // namespace vm
