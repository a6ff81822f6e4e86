#include "util/KeyTable.h"

#include "platform/core/DispatchQueue.h"
#include "support/KeyTableWalk.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace vm {
namespace {

class SessionModel : public Observable {
public:
    Observed<int> txState{this, "txState"};
};

class RadioModel : public SessionModel {
public:
    Observed<std::string> currentTxProfile{this, "currentTxProfile"};
    Observed<int> rfPowerLevel{this, "rfPowerLevel"};
};

class Controls {
public:
    void radioTxStateChanged(const std::shared_ptr<RadioModel>& radio, const Change* change) {
        seen.push_back("txState " + std::to_string(radio->txState()) + (change ? "" : " first"));
    }
    void radioCurrentTxProfileChanged(const std::shared_ptr<RadioModel>& radio, const Change*) {
        seen.push_back("profile " + radio->currentTxProfile());
    }
    std::vector<std::string> seen;
};

const KeyTable<Controls, RadioModel>& rows() {
    static const KeyTable<Controls, RadioModel> table = {
        {&RadioModel::txState, &Controls::radioTxStateChanged},  // declared by the base class
        {&RadioModel::currentTxProfile, &Controls::radioCurrentTxProfileChanged},
        {&RadioModel::rfPowerLevel,
         [](Controls& controls, const std::shared_ptr<RadioModel>& radio, const Change*) {
             controls.seen.push_back("power " + std::to_string(radio->rfPowerLevel()));
         }},
    };
    return table;
}

TEST(KeyTable, RowsTakeTheirKeysFromTheProperties) {
    const RadioModel radio;
    const auto table = managerTable(rows(), radio);
    std::vector<std::string> keys;
    for (const auto& [key, handler] : table) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"txState", "currentTxProfile", "rfPowerLevel"}));
}

TEST(KeyTable, BoundRowsPushOnceThenFollowChangesOnTheMainThread) {
    const auto radio = std::make_shared<RadioModel>();
    const auto controls = std::make_shared<Controls>();
    const auto manager = VMKVOManager::create();
    radio->rfPowerLevel.store(50);
    bindKeys(*manager, rows(), radio, controls);
    EXPECT_EQ(controls->seen,
              (std::vector<std::string>{"txState 0 first", "profile ", "power 50"}));

    controls->seen.clear();
    std::thread worker([&] {
        radio->txState.set(1);
        radio->currentTxProfile.set("SSB");
    });
    worker.join();
    EXPECT_TRUE(controls->seen.empty());
    DispatchQueue::drainMain();
    EXPECT_EQ(controls->seen, (std::vector<std::string>{"txState 1", "profile SSB"}));
}

TEST(KeyTable, TheWalkAcceptsATableOfDeclaredDistinctKeys) {
    test::walkKeyTable(rows(), std::make_shared<RadioModel>());
}

TEST(KeyTable, AKeyTheObjectDoesNotDeclareIsAFault) {
    const auto radio = std::make_shared<RadioModel>();
    const auto target = std::make_shared<int>(0);
    const auto manager = VMKVOManager::create();
    manager->setKvoTargets({{"droppedFrames", [](auto&&...) {}}});
#ifdef NDEBUG
    test::LogCapture capture;
    manager->initKVO(radio, target);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"VMKVOManager:initKVO:no property [droppedFrames] on the "
                                       "observed object"});
#else
    EXPECT_DEATH(manager->initKVO(radio, target), "does not declare");
#endif
}

}  // namespace
}  // namespace vm
