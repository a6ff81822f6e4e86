// DoroLink on the controller: the login room made at launch, and the DoroLink check box.
#include "AppFixture.h"
#include "app/dorolink/DoroLinkAuthWebController.h"
#include "platform/core/Defaults.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ProgressIndicator.h"

#include <QPushButton>

namespace vm::test {
namespace {

TEST_F(AppFixture, TurningDoroLinkOffDisconnectsAndDisablesItsButtons) {
    launch();
    ASSERT_TRUE(controller->doroLinkAuthWebController);
    EXPECT_EQ(controller->wanServer, controller->doroLinkAuthWebController->wanServer());
    auto& box = prefsControl<CheckBox>("authUseDoroLinkButton");
    auto& login = prefsControl<QPushButton>("auth_login_button");
    auto& network = prefsControl<QPushButton>("auth_net_button");
    EXPECT_FALSE(box.state());
    EXPECT_FALSE(login.isEnabled());
    EXPECT_TRUE(network.isEnabled());

    box.setState(true);
    box.click();
    EXPECT_FALSE(box.state());
    EXPECT_FALSE(controller->doroLinkAuthWebController->wanServer()->connected());
    EXPECT_FALSE(login.isEnabled());
    EXPECT_FALSE(network.isEnabled());
    EXPECT_EQ(Defaults::standard().integerForKey("auth_use_doro_link"), 0);
}

TEST_F(AppFixture, DoroLinkLeftOnStartsItsLoginAtLaunch) {
    Defaults::standard().set("auth_use_doro_link", PlistValue(std::int64_t{1}));
    launch();
    EXPECT_TRUE(prefsControl<ProgressIndicator>("authProgressIndicator").isAnimating());
    EXPECT_TRUE(prefsControl<QPushButton>("auth_login_button").isEnabled());
    // No refresh token is stored: the login page is opened.
    EXPECT_NE(logText().find("openLoginWindow"), std::string::npos);
}

}  // namespace
}  // namespace vm::test
