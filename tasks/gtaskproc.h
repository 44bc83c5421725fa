// CGTaskProc: a worker thread that runs a task in passes, once, a set number of times or until stopped.
#pragma once

#include "platform/sync.h"
#include "platform/winthread.h"

constexpr int MODE_ONCE = 0;
constexpr int MODE_COUNTED = 1;
constexpr int MODE_CONTINUOUS = 2;

constexpr int TASK_STOPPED = 0;
constexpr int TASK_RUNNING = 1;
constexpr int TASK_IDLE = 2;

// Three word-sized values a derived class gives meaning to; the base never looks inside.
struct TaskParams {
    UINT_PTR param1 = 0;
    UINT_PTR param2 = 0;
    UINT_PTR param3 = 0;
};

class CGTaskProc : public CWinThread {
public:
    CGTaskProc() = default;
    ~CGTaskProc() override = default;

    BOOL SetTaskParams(TaskParams params);
    BOOL HasTaskParams();
    // Sets the pass rules and starts running; FALSE, changing nothing, before SetTaskParams.
    BOOL Start(int mode, DWORD interval, int repeatCount);
    // Stores the state, runs OnStopped on the calling thread when it is a stop, then wakes the loop. A
    // worker sees a stop at once and begins no pass after it, but it does not end (and delete the
    // task) while a caller is still inside this call.
    void SetRunState(int state);
    int GetRunState();
    int GetMode();
    int GetRepeatCount();
    int GetPassCount();
    int NextPass();

    // Runs the loop on the new thread, then ends it: FALSE skips the message loop.
    BOOL InitInstance() override;

protected:
    virtual void OnTask(TaskParams* params) { (void)params; }
    virtual void OnBetweenPasses(TaskParams* params) { (void)params; }
    virtual void OnStopped(TaskParams* params) { (void)params; }

private:
    void RunLoop();
    void RunPasses();
    // One of the fields below, read under the lock.
    template <typename Field>
    Field Guarded(const Field& field) {
        CSingleLock lock(m_lock);
        return field;
    }

    CEvent m_wakeEvent{FALSE, TRUE};
    CCriticalSection m_lock;
    // Set when the last caller leaves SetRunState; the worker waits for it before it ends.
    CEvent m_callersGone;
    // Guarded by m_lock, held only for one read or write group at a time.
    int m_runState = TASK_IDLE;
    int m_mode = MODE_CONTINUOUS;
    int m_repeatCount = 1;
    BOOL m_hasParams = FALSE;
    int m_passCount = 0;
    // Callers inside SetRunState, hook and signal included: a task is never deleted under one. Counted,
    // not locked across the hook, so that a hook may call SetRunState or Start, or wait for a thread
    // that is itself stopping this task.
    int m_callers = 0;
    // Written under m_lock by Start, read atomically without it by the worker before each wait.
    DWORD m_interval = INFINITE;
    // Set before the task starts; the hooks get it without the lock.
    TaskParams m_params;
};
