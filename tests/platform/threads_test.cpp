// Events and thread objects.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sync.h"
#include "platform/winthread.h"
#include "tests/support.h"

using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSignalledUntilReset) {
    CEvent event(FALSE, TRUE);
    EXPECT_FALSE(event.Lock(0));
    event.SetEvent();
    EXPECT_TRUE(event.Lock(0));
    EXPECT_TRUE(event.Lock(0));
    event.ResetEvent();
    EXPECT_FALSE(event.Lock(10));
}

TEST(Event, AutoResetLetsOneWaitThrough) {
    CEvent event;
    event.SetEvent();
    EXPECT_TRUE(event.Lock(0));
    EXPECT_FALSE(event.Lock(0));
}

TEST(Event, ASignalWakesAWaiterOnAnotherThread) {
    CEvent event(FALSE, TRUE);
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        event.Lock(INFINITE);
        woke = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(woke);
    event.SetEvent();
    waiter.join();
    EXPECT_TRUE(woke);
}

namespace {

std::atomic<int> g_destroyed{0};

class CountingThread : public CWinThread {
public:
    explicit CountingThread(std::atomic<int>& ran) : m_ran(ran) {}
    ~CountingThread() override { ++g_destroyed; }
    BOOL InitInstance() override {
        ++m_ran;
        return FALSE;
    }

private:
    std::atomic<int>& m_ran;
};

}  // namespace

TEST(WinThread, RunsInitInstanceThenDeletesItself) {
    g_destroyed = 0;
    std::atomic<int> ran{0};
    ASSERT_TRUE((new CountingThread(ran))->CreateThread());
    EXPECT_TRUE(testing_support::PumpUntil([&] { return g_destroyed == 1; }));
    EXPECT_EQ(ran, 1);
}

TEST(WinThread, CreationFailureLeavesTheObjectToTheCaller) {
    g_destroyed = 0;
    std::atomic<int> ran{0};
    SetThreadCreationFails(true);
    CountingThread thread(ran);
    EXPECT_FALSE(thread.CreateThread());
    SetThreadCreationFails(false);
    EXPECT_FALSE(thread.CreateThread(4)) << "only creation flags 0 are known";
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ran, 0);
}
