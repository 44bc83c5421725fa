#include "tasks/gtaskproc.h"

#include <atomic>

BOOL CGTaskProc::SetTaskParams(TaskParams params) {
    CSingleLock lock(m_lock);
    m_params = params;
    m_hasParams = TRUE;
    return TRUE;
}

BOOL CGTaskProc::HasTaskParams() { return Guarded(m_hasParams); }

BOOL CGTaskProc::Start(int mode, DWORD interval, int repeatCount) {
    if (!HasTaskParams())
        return FALSE;
    {
        CSingleLock lock(m_lock);
        m_mode = mode;
        std::atomic_ref(m_interval).store(interval, std::memory_order_relaxed);
        m_repeatCount = repeatCount;
        m_passCount = 0;
    }
    SetRunState(TASK_RUNNING);
    return TRUE;
}

void CGTaskProc::SetRunState(int state) {
    {
        CSingleLock lock(m_lock);
        m_runState = state;
        ++m_callers;
    }
    // A worker that sees a stop, also on a timed wake-up, ends and deletes this task once every caller
    // has left: OnStopped must therefore not wait for the worker to end, nor for a pass to finish.
    if (GetRunState() == TASK_STOPPED)
        OnStopped(&m_params);
    m_wakeEvent.SetEvent();
    CSingleLock lock(m_lock);  // the last touch of this task: the worker takes it before it ends
    if (--m_callers == 0)
        m_callersGone.SetEvent();
}

int CGTaskProc::GetRunState() { return Guarded(m_runState); }

int CGTaskProc::GetMode() { return Guarded(m_mode); }

int CGTaskProc::GetRepeatCount() { return Guarded(m_repeatCount); }

int CGTaskProc::GetPassCount() { return Guarded(m_passCount); }

int CGTaskProc::NextPass() {
    CSingleLock lock(m_lock);
    return ++m_passCount;
}

BOOL CGTaskProc::InitInstance() {
    RunLoop();
    return FALSE;
}

void CGTaskProc::RunLoop() {
    if (GetRunState() != TASK_STOPPED)
        RunPasses();
    // Whoever stopped the task may still be inside SetRunState.
    for (;;) {
        {
            CSingleLock lock(m_lock);
            if (m_callers == 0)
                return;
        }
        m_callersGone.Lock(INFINITE);
    }
}

void CGTaskProc::RunPasses() {
    do {
        // The interval is one aligned word, read without the lock.
        m_wakeEvent.Lock(std::atomic_ref(m_interval).load(std::memory_order_relaxed));
        m_wakeEvent.ResetEvent();
        if (GetRunState() != TASK_RUNNING)
            continue;
        NextPass();
        OnTask(&m_params);
        if (GetMode() == MODE_ONCE)
            SetRunState(TASK_STOPPED);
        else if (GetMode() == MODE_COUNTED) {
            if (GetRepeatCount() == GetPassCount())
                SetRunState(TASK_STOPPED);
            else
                OnBetweenPasses(&m_params);
        }
    } while (GetRunState() != TASK_STOPPED);
}
