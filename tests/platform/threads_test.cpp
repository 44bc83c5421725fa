// Events and thread objects.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/sync.h"
#include "platform/winthread.h"
#include "tests/support.h"

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
    std::atomic<int> waiterId{0};
    std::thread waiter([&] {
        waiterId = gettid();
        event.Lock(INFINITE);
        woke = true;
    });
    ASSERT_TRUE(testing_support::WaitUntil([&] { return waiterId && testing_support::ThreadIsWaiting(waiterId); }));
    EXPECT_FALSE(woke) << "asleep in the event until it is set";
    event.SetEvent();
    waiter.join();
    EXPECT_TRUE(woke);
}

namespace {

std::atomic<int> g_destroyed{0};

class CountingThread : public CWinThread {
public:
    explicit CountingThread(std::atomic<int>& ran, CEvent* gate = nullptr) : m_ran(ran), m_gate(gate) {}
    ~CountingThread() override { ++g_destroyed; }
    BOOL InitInstance() override {
        ++m_ran;
        if (m_gate)
            m_gate->Lock(INFINITE);
        return FALSE;
    }

private:
    std::atomic<int>& m_ran;
    CEvent* m_gate;
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
    CEvent gate(FALSE, TRUE);  // a thread made by mistake would wait here, and be counted
    const int threadsBefore = testing_support::ProcessStatus("Threads:");
    SetThreadCreationFails(true);
    CountingThread thread(ran, &gate);
    thread.m_bAutoDelete = FALSE;
    EXPECT_FALSE(thread.CreateThread());
    SetThreadCreationFails(false);
    EXPECT_FALSE(thread.CreateThread(4)) << "only creation flags 0 are known";
    // Threads of earlier tests may still be ending, and none starts: a new one would hold at the gate.
    EXPECT_LE(testing_support::ProcessStatus("Threads:"), threadsBefore) << "no thread was made";
    gate.SetEvent();
}
