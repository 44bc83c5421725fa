// The task thread: passes, modes, states and self-deletion, recorded as they happen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tasks/gtaskproc.h"
#include "tests/support.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing_support::PumpUntil;
using testing_support::ThreadIsWaiting;
using testing_support::ThreadWaits;
using testing_support::WaitUntil;

namespace {

// What a task thread did, shared with the test; it outlives the thread object.
struct Record {
    std::mutex mutex;
    std::vector<std::string> events;
    std::vector<Clock::time_point> passStarts;
    std::thread::id stoppedOn;
    std::atomic<int> passes{0};
    std::atomic<int> destroyed{0};
    std::atomic<bool> holdPass{false};
    std::atomic<bool> held{false};
    std::atomic<int> workerId{0};
    std::function<void()> onStopped;  // runs inside OnStopped, before it records the stop

    void Add(const std::string& event) {
        std::lock_guard lock(mutex);
        events.push_back(event);
    }
    std::vector<std::string> Events() {
        std::lock_guard lock(mutex);
        return events;
    }
    int PassesStarted() {
        std::lock_guard lock(mutex);
        return static_cast<int>(passStarts.size());
    }
};

class RecordingTask : public CGTaskProc {
public:
    explicit RecordingTask(Record& record) : m_record(record) {}
    ~RecordingTask() override { ++m_record.destroyed; }

    BOOL InitInstance() override {
        m_record.workerId = gettid();
        return CGTaskProc::InitInstance();
    }

protected:
    void OnTask(TaskParams* params) override {
        {
            std::lock_guard lock(m_record.mutex);
            m_record.passStarts.push_back(Clock::now());
        }
        m_record.Add("task " + std::to_string(params->param1));
        if (m_record.holdPass) {
            m_record.held = true;
            while (m_record.holdPass)
                std::this_thread::sleep_for(1ms);
            m_record.held = false;
        }
        ++m_record.passes;
    }
    void OnBetweenPasses(TaskParams*) override { m_record.Add("between"); }
    void OnStopped(TaskParams*) override {
        if (m_record.onStopped)
            m_record.onStopped();
        {
            std::lock_guard lock(m_record.mutex);
            m_record.stoppedOn = std::this_thread::get_id();
        }
        m_record.Add("stopped");
    }

private:
    Record& m_record;
};

// A worker that is running may end and delete itself as soon as it sees the stop, so the test stops
// it while a pass is held: the object then outlives the whole SetRunState call.
void StopDuringAPass(RecordingTask* task, Record& record) {
    record.holdPass = true;
    task->SetRunState(TASK_RUNNING);
    ASSERT_TRUE(PumpUntil([&] { return record.held.load(); }));
    task->SetRunState(TASK_STOPPED);
    record.holdPass = false;
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
}

RecordingTask* MakeTask(Record& record) {
    auto* task = new RecordingTask(record);
    task->SetTaskParams(TaskParams{7, 0, 0});
    return task;
}

}  // namespace

TEST(TaskThread, StartIsRefusedUntilParametersAreSet) {
    Record record;
    RecordingTask task(record);
    EXPECT_FALSE(task.Start(MODE_ONCE, INFINITE, 1));
    EXPECT_EQ(task.GetRunState(), TASK_IDLE);
    EXPECT_EQ(task.GetMode(), MODE_CONTINUOUS);
    EXPECT_EQ(task.GetRepeatCount(), 1);
    EXPECT_TRUE(task.SetTaskParams(TaskParams{}));
    EXPECT_TRUE(task.HasTaskParams());
}

TEST(TaskThread, RunsOnceWhetherStartedAfterOrBeforeTheThreadIsCreated) {
    for (bool startFirst : {false, true}) {
        Record record;
        RecordingTask* task = MakeTask(record);
        if (startFirst)
            task->Start(MODE_ONCE, INFINITE, 1);
        ASSERT_TRUE(task->CreateThread());
        if (!startFirst)
            task->Start(MODE_ONCE, INFINITE, 1);
        ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; })) << startFirst;
        EXPECT_EQ(record.Events(), (std::vector<std::string>{"task 7", "stopped"})) << startFirst;
        EXPECT_NE(record.stoppedOn, std::this_thread::get_id()) << "the worker ends its own last pass";
    }
}

TEST(TaskThread, CountedModeWaitsTheIntervalBetweenPasses) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    task->Start(MODE_COUNTED, 100, 3);
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    EXPECT_EQ(record.Events(), (std::vector<std::string>{"task 7", "between", "task 7", "between", "task 7", "stopped"}));
    ASSERT_EQ(record.passStarts.size(), 3u);
    for (size_t i = 1; i < 3; ++i)
        EXPECT_GE(record.passStarts[i] - record.passStarts[i - 1], 95ms) << i;
}

TEST(TaskThread, CountedWithZeroRunsUntilStopped) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    task->Start(MODE_COUNTED, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return record.passes >= 5; }));
    StopDuringAPass(task, record);
    const auto events = record.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "stopped"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "between"), std::count(events.begin(), events.end(), "task 7"));
}

TEST(TaskThread, ContinuousWithoutIntervalCoalescesSignalsGivenDuringAPass) {
    Record record;
    RecordingTask* task = MakeTask(record);
    record.holdPass = true;
    ASSERT_TRUE(task->CreateThread());
    task->Start(MODE_CONTINUOUS, INFINITE, 1);
    ASSERT_TRUE(PumpUntil([&] { return record.held.load(); }));
    for (int i = 0; i < 5; ++i)
        task->SetRunState(TASK_RUNNING);
    record.holdPass = false;
    ASSERT_TRUE(PumpUntil([&] { return record.passes == 2; }));
    // Once the worker sleeps again it waits for a signal; no pass is left to run.
    ASSERT_TRUE(WaitUntil([&] { return ThreadIsWaiting(record.workerId); }));
    EXPECT_EQ(record.passes, 2) << "five signals during the first pass give one more pass";
    StopDuringAPass(task, record);
}

TEST(TaskThread, IdlePausesAndRunningResumesAtOnce) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    task->Start(MODE_CONTINUOUS, 1, 1);  // a pass every millisecond
    ASSERT_TRUE(PumpUntil([&] { return record.passes >= 2; }));
    record.holdPass = true;
    ASSERT_TRUE(PumpUntil([&] { return record.held.load(); }));
    const int paused = record.passes + 1;  // the pass under way when pausing still ends
    task->SetRunState(TASK_IDLE);
    record.holdPass = false;
    ASSERT_TRUE(PumpUntil([&] { return record.passes == paused; }));
    // Twenty of the worker's timed wake-ups go by while idle.
    const int waitsBefore = ThreadWaits(record.workerId);
    ASSERT_TRUE(WaitUntil([&] { return ThreadWaits(record.workerId) >= waitsBefore + 20; }));
    EXPECT_EQ(record.passes, paused) << "no pass while idle";
    task->Start(MODE_CONTINUOUS, INFINITE, 1);
    // A worker that woke from its last idle wait just as it resumed takes the signal as one pass more.
    ASSERT_TRUE(PumpUntil([&] { return record.passes > paused; })) << "resumes with a pass at once: no timer would give one";
    StopDuringAPass(task, record);
}

TEST(TaskThread, StoppingFromTheControllingThreadRunsOnStoppedThereBeforeTheWorkerWakes) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    ASSERT_TRUE(WaitUntil([&] { return record.workerId && ThreadIsWaiting(record.workerId); }))
        << "the worker waits for its first signal";
    task->SetRunState(TASK_STOPPED);
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    EXPECT_EQ(record.Events(), std::vector<std::string>{"stopped"}) << "no pass after the stop";
    EXPECT_EQ(record.stoppedOn, std::this_thread::get_id());
}

TEST(TaskThread, AnOnStoppedThatStopsAgainReturnsAndTheTaskStillEnds) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    bool again = true;
    record.onStopped = [&] {
        if (std::exchange(again, false))
            task->SetRunState(TASK_STOPPED);
    };
    std::atomic<bool> returned{false};
    std::thread stopper([&] {
        task->SetRunState(TASK_STOPPED);
        returned = true;
    });
    const bool done = WaitUntil([&] { return returned.load(); });
    done ? stopper.join() : stopper.detach();  // a stopper stuck in the task is left behind to report it
    ASSERT_TRUE(done) << "SetRunState from inside OnStopped returns";
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    EXPECT_EQ(record.Events(), (std::vector<std::string>{"stopped", "stopped"}));
}

// A worker that wakes on its own, by its interval, sees a stop made from outside at once and runs no
// more passes, but must not end and delete the task while the controlling thread is inside OnStopped.
TEST(TaskThread, AStopFromOutsideEndsThePassesAtOnceAndKeepsTheTaskAliveUntilOnStoppedReturns) {
    for (int mode : {MODE_CONTINUOUS, MODE_COUNTED}) {
        Record record;
        RecordingTask* task = MakeTask(record);
        ASSERT_TRUE(task->CreateThread());
        task->Start(mode, 1, 0);  // counted with 0: until stopped
        ASSERT_TRUE(PumpUntil([&] { return record.passes >= 2; }));
        int stateInside = -1, passesAtStop = -1, destroyedInside = -1;
        record.onStopped = [&] {
            stateInside = task->GetRunState();
            passesAtStop = record.PassesStarted();
            // A worker on a 1 ms interval wakes again and again; once it has seen the stop it waits
            // for this hook without waking (fifty looks at an unchanged count), or it is gone.
            const int waitsBefore = ThreadWaits(record.workerId);
            int last = waitsBefore, unchanged = 0;
            WaitUntil([&] {
                const int waits = ThreadWaits(record.workerId);
                unchanged = waits == last && ThreadIsWaiting(record.workerId) ? unchanged + 1 : 0;
                last = waits;
                return waits < 0 || (waits > waitsBefore && unchanged >= 50);
            });
            destroyedInside = record.destroyed;
            EXPECT_EQ(record.PassesStarted(), passesAtStop) << mode << ": no pass begins after the stop";
        };
        task->SetRunState(TASK_STOPPED);
        EXPECT_EQ(stateInside, TASK_STOPPED) << mode << ": OnStopped runs once the state is stopped";
        EXPECT_EQ(destroyedInside, 0) << mode;
        ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    }
}

TEST(TaskThread, StartingACountedTaskAgainRunsExactlyTheNewCount) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    task->Start(MODE_CONTINUOUS, INFINITE, 1);
    ASSERT_TRUE(PumpUntil([&] { return record.passes == 1; }));
    task->SetRunState(TASK_RUNNING);
    ASSERT_TRUE(PumpUntil([&] { return record.passes == 2; }));
    task->Start(MODE_COUNTED, 1, 3);
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    EXPECT_EQ(record.passes, 5);
    EXPECT_EQ(record.Events(), (std::vector<std::string>{"task 7", "task 7", "task 7", "between", "task 7", "between",
                                                         "task 7", "stopped"}));
}

TEST(TaskThread, AStoppedStateAtStartEndsTheThreadWithoutAnyHook) {
    Record record;
    RecordingTask* task = MakeTask(record);
    task->SetRunState(TASK_STOPPED);
    record.events.clear();
    ASSERT_TRUE(task->CreateThread());
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    EXPECT_TRUE(record.Events().empty());
}
