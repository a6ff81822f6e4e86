#include "platform/core/DispatchQueue.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace vm {
namespace {

// Runs the Qt loop until `loop` quits, with a guard that ends a test that hangs.
void runLoop(QEventLoop& loop) {
    QTimer::singleShot(10000, &loop, [&loop] {
        ADD_FAILURE() << "the event loop was not quit";
        loop.quit();
    });
    loop.exec();
}

TEST(MainQueuePump, TasksFromAWorkerRunOnTheGuiThreadInOrder) {
    QEventLoop loop;
    std::vector<int> order;
    bool allOnGuiThread = true;
    constexpr int kTasks = 200;
    std::thread worker([&] {
        for (int i = 0; i < kTasks; ++i) {
            DispatchQueue::main()->async([&, i] {
                allOnGuiThread = allOnGuiThread && isMainThread() &&
                                 QThread::currentThread() == QApplication::instance()->thread() &&
                                 DispatchQueue::main()->isCurrent();
                order.push_back(i);
                if (i == kTasks - 1) {
                    loop.quit();
                }
            });
        }
    });
    runLoop(loop);
    worker.join();
    ASSERT_EQ(order.size(), std::size_t(kTasks));
    for (int i = 0; i < kTasks; ++i) {
        EXPECT_EQ(order[std::size_t(i)], i);
    }
    EXPECT_TRUE(allOnGuiThread);
}

TEST(MainQueuePump, TasksRunInsideAModalDialogsLoop) {
    QDialog dialog;
    bool ranInDialog = false;
    QTimer::singleShot(0, &dialog, [&] {
        std::thread worker([&] {
            DispatchQueue::main()->async([&] {
                ranInDialog = dialog.isVisible() && isMainThread();
                dialog.accept();
            });
        });
        worker.join();
    });
    QTimer::singleShot(10000, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(ranInDialog);
}

TEST(MainQueuePump, SyncFromAWorkerIsAnsweredByTheLoop) {
    QEventLoop loop;
    std::atomic<int> answer = 0;
    std::thread worker([&] {
        answer = DispatchQueue::main()->syncResult([] { return isMainThread() ? 42 : -1; });
        DispatchQueue::main()->async([&loop] { loop.quit(); });
    });
    runLoop(loop);
    runMainUntil([&] { return answer != 0; });  // frees a worker that the loop left waiting
    worker.join();
    EXPECT_EQ(answer, 42);
}

}  // namespace
}  // namespace vm
