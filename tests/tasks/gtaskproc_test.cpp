// The task thread: passes, modes, states and self-deletion, recorded as they happen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tasks/gtaskproc.h"
#include "tests/support.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing_support::PumpUntil;

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

    void Add(const std::string& event) {
        std::lock_guard lock(mutex);
        events.push_back(event);
    }
    std::vector<std::string> Events() {
        std::lock_guard lock(mutex);
        return events;
    }
};

class RecordingTask : public CGTaskProc {
public:
    explicit RecordingTask(Record& record) : m_record(record) {}
    ~RecordingTask() override { ++m_record.destroyed; }

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
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(record.passes, 2) << "five signals during the first pass give one more pass";
    StopDuringAPass(task, record);
}

TEST(TaskThread, IdlePausesAndRunningResumesAtOnce) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    task->Start(MODE_CONTINUOUS, 20, 1);
    ASSERT_TRUE(PumpUntil([&] { return record.passes >= 2; }));
    task->SetRunState(TASK_IDLE);
    std::this_thread::sleep_for(30ms);  // a pass under way when pausing may still end
    const int paused = record.passes;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(record.passes, paused) << "no pass while idle";
    task->Start(MODE_CONTINUOUS, INFINITE, 1);
    ASSERT_TRUE(PumpUntil([&] { return record.passes == paused + 1; }, 1000)) << "resumes with a pass at once";
    StopDuringAPass(task, record);
}

TEST(TaskThread, StoppingFromTheControllingThreadRunsOnStoppedThereBeforeTheWorkerWakes) {
    Record record;
    RecordingTask* task = MakeTask(record);
    ASSERT_TRUE(task->CreateThread());
    std::this_thread::sleep_for(20ms);  // the worker waits for its first signal
    task->SetRunState(TASK_STOPPED);
    ASSERT_TRUE(PumpUntil([&] { return record.destroyed == 1; }));
    EXPECT_EQ(record.Events(), std::vector<std::string>{"stopped"}) << "no pass after the stop";
    EXPECT_EQ(record.stoppedOn, std::this_thread::get_id());
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
