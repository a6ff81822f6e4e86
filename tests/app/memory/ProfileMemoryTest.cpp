// The saved profile names of a radio.
#include "app/memory/ProfileNames.h"
#include "platform/core/Defaults.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(ProfileNames, SavedNamesOrDefaultForAllThree) {
    Defaults& defaults = Defaults::standard();
    defaults.set("S-FULL", PlistDict{{"saved_profile_name", "Contest"},
                                     {"saved_tx_profile_name", "Low power"},
                                     {"saved_mic_profile_name", "Headset"}});
    defaults.set("S-NOGLOBAL", PlistDict{{"saved_tx_profile_name", "Low power"},
                                         {"saved_mic_profile_name", "Headset"}});
    defaults.set("S-GLOBALONLY", PlistDict{{"saved_profile_name", "Contest"}});
    defaults.set("S-EMPTY", PlistDict{{"saved_profile_name", ""},
                                      {"saved_tx_profile_name", ""},
                                      {"saved_mic_profile_name", ""}});
    defaults.set("S-TEXT", std::string("not a dictionary"));
    const ProfileNames defaultNames{"Default", "Default", "Default"};
    const struct {
        const char* serial;
        ProfileNames names;
    } cases[] = {
        {"S-FULL", {"Contest", "Low power", "Headset"}},
        {"S-NOGLOBAL", defaultNames},
        {"S-GLOBALONLY", {"Contest", "Default", "Default"}},
        {"S-EMPTY", {"", "", ""}},  // saved while the radio had none: kept as saved
        {"S-TEXT", defaultNames},
        {"S-ABSENT", defaultNames},
        {"", defaultNames},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(savedProfileNames(c.serial), c.names) << c.serial;
    }

    const ProfileNames stored{"Net", "", "Desk"};
    EXPECT_TRUE(storeProfileNames("S-STORED", stored));
    EXPECT_EQ(savedProfileNames("S-STORED"), stored);
    EXPECT_FALSE(storeProfileNames("", stored));
    EXPECT_FALSE(defaults.object(""));
}

}  // namespace
}  // namespace vm
