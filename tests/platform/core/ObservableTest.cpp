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

TEST(Observable, AnnouncesWhileAnyObserverOfTheKeyRemains) {
    Model model;
    int first = 0;
    int second = 0;
    const auto a = model.addObserver("rfPowerLevel", [&](const Change&) { ++first; });
    const auto b = model.addObserver("rfPowerLevel", [&](const Change&) { ++second; });
    model.addObserver("nickname", [](const Change&) {});
    model.removeObserver(a);
    model.rfPowerLevel.set(1);
    model.removeObserver(a);  // a second removal takes nothing from the key's other observers
    model.rfPowerLevel.set(2);
    model.removeObserver(b);
    model.rfPowerLevel.set(3);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 2);

    model.addObserver("rfPowerLevel", [&](const Change&) { ++first; });
    model.rfPowerLevel.set(4);
    EXPECT_EQ(first, 1);
}

// A base class may observe a key that its derived class declares later in construction.
class Observing : public Observable {
public:
    Observing() {
        addObserver("squelch", [this](const Change& change) {
            seen.push_back(std::any_cast<int>(change.newValue));
        });
    }
    std::vector<int> seen;
};
class Squelch : public Observing {
public:
    Observed<int> squelch{this, "squelch"};
};

TEST(Observable, ObserverAddedBeforeThePropertyIsDeclaredIsCalled) {
    Squelch model;
    model.squelch.set(20);
    EXPECT_EQ(model.seen, std::vector<int>{20});
}

}  // namespace
}  // namespace vm
