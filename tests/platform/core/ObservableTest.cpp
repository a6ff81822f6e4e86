#include "platform/core/Observable.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

class Model : public Observable {
public:
    Observed<int> rfPowerLevel{this, "rfPowerLevel", 100};
    Observed<std::string> nickname{this, "nickname"};
};

TEST(Observable, AnnouncesAfterStoringWithTheNewValue) {
    Model model;
    std::vector<int> seen;
    int storedWhenCalled = -1;
    auto token = model.addObserver("rfPowerLevel", [&](const Change& change) {
        seen.push_back(std::any_cast<int>(change.newValue));
        storedWhenCalled = model.rfPowerLevel();
    });
    model.rfPowerLevel.set(50);
    model.rfPowerLevel.set(50);    // repeated values still announce
    model.rfPowerLevel.store(10);  // stores only
    EXPECT_EQ(seen, (std::vector<int>{50, 50}));
    EXPECT_EQ(storedWhenCalled, 50);
    EXPECT_EQ(model.rfPowerLevel(), 10);

    model.removeObserver(token);
    model.removeObserver(token);
    model.rfPowerLevel.set(1);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(Observable, PropertiesAreKnownByName) {
    Model model;
    model.nickname.set("Shack");
    EXPECT_EQ(model.propertyNames(), (std::vector<std::string>{"rfPowerLevel", "nickname"}));
    EXPECT_EQ(std::any_cast<std::string>(*model.valueForKey("nickname")), "Shack");
    EXPECT_FALSE(model.valueForKey("unknown").has_value());

    int calls = 0;
    model.addObserver("nickname", [&](const Change&) { ++calls; });
    EXPECT_TRUE(model.announceKey("nickname"));
    EXPECT_FALSE(model.announceKey("unknown"));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vm
