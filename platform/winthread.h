// CWinThread: a thread object whose operating-system thread runs InitInstance, then ExitInstance.
#pragma once

#include "platform/wintypes.h"

class CWinThread {
public:
    CWinThread() = default;
    virtual ~CWinThread() = default;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread at once. Only creation flags 0 are known; the stack size is the system's.
    // FALSE when the thread cannot be made; the object then stays the caller's.
    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES security = nullptr);

    // Runs first on the new thread; TRUE would ask for a message loop, which worker threads here never run.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // When TRUE the object deletes itself once its thread has ended.
    BOOL m_bAutoDelete = TRUE;

private:
    void Run();
};

// Test seam: while set, every CreateThread fails as if the system had no thread to give.
void SetThreadCreationFails(bool fails);
