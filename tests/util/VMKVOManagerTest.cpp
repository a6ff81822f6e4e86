#include "util/VMKVOManager.h"

#include "platform/core/DispatchQueue.h"

#include <gtest/gtest.h>

#include <thread>

namespace vm {
namespace {

class SliceModel : public Observable {
public:
    Observed<int> audioLevel{this, "audioLevel"};
    Observed<bool> mute{this, "mute"};
};

struct Call {
    std::string handler;
    SliceModel* object;
    std::optional<int> newValue;
    bool onMain;
};

class Controller {
public:
    void sliceAudioLevelChanged(const std::shared_ptr<SliceModel>& slice, const Change* change) {
        calls.push_back(
            {"audioLevel", slice.get(),
             change ? std::optional<int>(std::any_cast<int>(change->newValue)) : std::nullopt,
             isMainThread()});
    }
    void sliceMuteChanged(const std::shared_ptr<SliceModel>& slice, const Change*) {
        calls.push_back({"mute", slice.get(), std::nullopt, isMainThread()});
    }
    std::vector<Call> calls;
};

class VMKVOManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager->setKvoTargets({
            {"audioLevel", VMKVOManager::handler(&Controller::sliceAudioLevelChanged)},
            {"mute", VMKVOManager::handler(&Controller::sliceMuteChanged)},
        });
        manager->setTarget(controller);
    }
    std::shared_ptr<SliceModel> slice = std::make_shared<SliceModel>();
    std::shared_ptr<Controller> controller = std::make_shared<Controller>();
    std::shared_ptr<VMKVOManager> manager = VMKVOManager::create();
};

TEST_F(VMKVOManagerTest, WorkerThreadChangeReachesTheHandlerOnMainAfterOneDrain) {
    manager->initKVO(slice, controller);
    std::thread worker([&] { slice->audioLevel.set(42); });
    worker.join();
    EXPECT_TRUE(controller->calls.empty());
    slice->audioLevel.store(7);  // the change record keeps the value of its moment
    DispatchQueue::drainMain();
    ASSERT_EQ(controller->calls.size(), 1u);
    EXPECT_EQ(controller->calls[0].handler, "audioLevel");
    EXPECT_EQ(controller->calls[0].object, slice.get());
    EXPECT_EQ(controller->calls[0].newValue, 42);
    EXPECT_TRUE(controller->calls[0].onMain);
}

TEST_F(VMKVOManagerTest, MainThreadChangeArrivesBeforeTheAnnouncementReturns) {
    manager->initKVO(slice, controller);
    slice->mute.set(true);
    ASSERT_EQ(controller->calls.size(), 1u);
    EXPECT_EQ(controller->calls[0].handler, "mute");
}

TEST_F(VMKVOManagerTest, InitValuesCallsEveryHandlerInTableOrder) {
    manager->initValues();  // before initKVO: no object yet
    manager->initKVO(slice, controller);
    manager->initValues();
    ASSERT_EQ(controller->calls.size(), 4u);
    EXPECT_EQ(controller->calls[0].handler, "audioLevel");
    EXPECT_EQ(controller->calls[0].object, nullptr);
    EXPECT_EQ(controller->calls[1].handler, "mute");
    EXPECT_EQ(controller->calls[2].object, slice.get());
    EXPECT_FALSE(controller->calls[2].newValue.has_value());
}

TEST_F(VMKVOManagerTest, CancelTwiceRemovesOnceAndStopsDelivery) {
    manager->initKVO(slice, controller);
    manager->cancelKVO();
    manager->cancelKVO();
    EXPECT_FALSE(manager->registered());
    EXPECT_EQ(manager->thisObject(), nullptr);
    slice->audioLevel.set(3);
    EXPECT_TRUE(controller->calls.empty());

    // A manager registered again observes again.
    manager->initKVO(slice, controller);
    slice->audioLevel.set(4);
    EXPECT_EQ(controller->calls.size(), 1u);
}

TEST_F(VMKVOManagerTest, ATargetGoneBeforeThePostedCallRunsReceivesNothing) {
    manager->initKVO(slice, controller);
    std::weak_ptr<Controller> weak = controller;
    std::thread worker([&] { slice->audioLevel.set(1); });
    worker.join();
    controller.reset();
    EXPECT_TRUE(weak.expired());
    DispatchQueue::drainMain();  // must not call into the released target
}

TEST_F(VMKVOManagerTest, ReleasingTheManagerStopsObservation) {
    manager->initKVO(slice, controller);
    manager.reset();
    slice->audioLevel.set(9);
    EXPECT_TRUE(controller->calls.empty());
}

}  // namespace
}  // namespace vm
