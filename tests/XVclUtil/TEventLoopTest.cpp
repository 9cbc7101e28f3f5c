// The libraries' own main loop: a worker's hand-off runs on the loop's thread and the worker
// waits for it; timers repeat until stopped; a component's owner and references follow its end.

#include "XVclUtil/TEventLoop.h"
#include "XVclUtil/TComponent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace XVclUtil;

TEST(TEventLoop, HandOffRunsOnTheLoopThreadWhileTheWorkerWaits) {
    TEventLoop loop;
    std::unique_ptr<TMainThreadDispatcher> dispatcher = loop.NewDispatcher();
    std::thread::id ranOn;
    int value = 0;
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        dispatcher->RunAndWait([&] {
            ranOn = std::this_thread::get_id();
            value = 1;
        });
        EXPECT_EQ(value, 1); // the step has run when RunAndWait returns
        value = 2;
        workerDone = true;
    });
    EXPECT_TRUE(loop.RunUntil([&] { return workerDone.load(); }, 5000));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(value, 2);
}

// Back-to-back hand-offs are caught while the loop still watches for them; one after a pause
// finds it asleep and must wake it. Either way every step runs once, in order, on the loop.
TEST(TEventLoop, QuickAndLateHandOffsAllRunInOrderOnTheLoopThread) {
    TEventLoop loop;
    std::unique_ptr<TMainThreadDispatcher> dispatcher = loop.NewDispatcher();
    const std::thread::id loopThread = std::this_thread::get_id();
    constexpr int Quick = 2000;
    std::vector<int> order;
    bool offThread = false;
    std::thread worker([&] {
        auto step = [&](int i) {
            dispatcher->RunAndWait([&, i] {
                offThread = offThread || std::this_thread::get_id() != loopThread;
                order.push_back(i);
            });
        };
        for (int i = 0; i < Quick; ++i) step(i);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        step(Quick);
        loop.Post([&] { loop.Exit(7); });
    });
    EXPECT_EQ(loop.Exec(), 7);
    worker.join();
    EXPECT_FALSE(offThread);
    ASSERT_EQ(order.size(), size_t{Quick + 1});
    for (int i = 0; i <= Quick; ++i) ASSERT_EQ(order[i], i);
}

TEST(TEventLoop, WaitingStepsOfOneDispatcherRunWithoutTheLoop) {
    TEventLoop loop;
    auto mine = loop.NewDispatcher();
    auto other = loop.NewDispatcher();
    std::atomic<int> mineRan{0}, otherRan{0};
    std::thread a([&] { mine->RunAndWait([&] { ++mineRan; }); });
    std::thread b([&] { other->RunAndWait([&] { ++otherRan; }); });
    while (mineRan == 0) mine->RunWaitingSteps();
    a.join();
    EXPECT_EQ(otherRan, 0); // another dispatcher's step waits for the loop
    loop.RunUntil([&] { return otherRan == 1; }, 5000);
    b.join();
    EXPECT_EQ(otherRan, 1);
}

TEST(TEventLoop, TimerRepeatsUntilStoppedAndExitEndsExec) {
    TEventLoop loop;
    int fired = 0;
    std::unique_ptr<TTimer> timer;
    timer = loop.NewTimer([&] {
        if (++fired == 3) {
            timer->Stop();
            loop.Exit(7);
        }
    });
    EXPECT_FALSE(timer->Active());
    timer->Start(5);
    EXPECT_TRUE(timer->Active());
    EXPECT_EQ(loop.Exec(), 7);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer->Active());
    loop.RunUntil([] { return false; }, 30);
    EXPECT_EQ(fired, 3);
}

namespace {
struct TWatcher : TComponent {
    using TComponent::TComponent;
    void Notification(TComponent* c) override { Gone.push_back(c); }
    std::vector<TComponent*> Gone;
};
} // namespace

TEST(TComponent, OwnerDestroysItsComponentsAndWatchersHearOfTheEnd) {
    TWatcher watcher;
    TComponentRef<TComponent> ref;
    TComponent* child = nullptr;
    {
        TComponent owner;
        owner.SetName("Owner1");
        child = new TComponent(&owner);
        ref = child;
        watcher.FreeNotification(child);
        watcher.FreeNotification(child); // once only
        ASSERT_EQ(owner.Components().size(), 1u);
        EXPECT_EQ(child->Owner(), &owner);
        EXPECT_EQ(owner.ComponentName(), "Owner1");
        EXPECT_EQ(ref.get(), child);
    }
    EXPECT_EQ(ref.get(), nullptr);
    ASSERT_EQ(watcher.Gone.size(), 1u);
    EXPECT_EQ(watcher.Gone[0], child);
}
