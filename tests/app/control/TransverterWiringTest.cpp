// The app controller's transverter editor in a session with the simulated radio: the radio's
// transverter reports reach the Transverters page and the Slices menu, and the session's end
// empties both.
#include "ConnectingFixture.h"

#include "app/memory/TransverterEditor.h"
#include "app/windows/MainMenus.h"
#include "platform/ui/Menu.h"
#include "support/sim/SimRadio.h"

#include <gtest/gtest.h>

#include <QTabWidget>

namespace vm {
namespace {

using test::runEventsUntil;
using TransverterWiring = test::ConnectingFixture;

TEST_F(TransverterWiring, TheSessionsReportsFillTheEditorAndItsEndEmptiesIt) {
    launch();
    ASSERT_NO_FATAL_FAILURE(connectAsGui());
    auto& tabs = prefsControl<QTabWidget>("xvtrTabView");
    ASSERT_TRUE(sim->sendStatus("xvtr 0 name=2m rf_freq=144.0 if_freq=28.0 in_use=1"));
    ASSERT_TRUE(sim->sendStatus("xvtr 1 name=70cm rf_freq=432.0 if_freq=28.0 in_use=1"));
    ASSERT_TRUE(runEventsUntil([&] { return tabs.count() == 2; }));
    const Menu* items = controller->menus->xvtrShortcutsMenu->submenu();
    ASSERT_TRUE(items);
    ASSERT_EQ(items->numberOfItems(), 2);
    EXPECT_EQ(items->itemAtIndex(1)->title(), "70cm");
    EXPECT_EQ(controller->xvtrNameForXKey("X1"), "70cm");

    controller->radioClosed();
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_EQ(controller->menus->xvtrShortcutsMenu->submenu()->numberOfItems(), 0);
    EXPECT_EQ(controller->xvtrNameForXKey("X1"), "?");
}

}  // namespace
}  // namespace vm
