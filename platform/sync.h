// CEvent and CCriticalSection on the standard library's primitives, which ThreadSanitizer sees.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/wintypes.h"

// An event. A manual-reset one stays signalled until it is reset; an auto-reset one lets exactly one
// waiter through and resets itself as it does.
class CEvent {
public:
    explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE);
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    BOOL SetEvent();
    BOOL ResetEvent();
    // Waits until signalled or `milliseconds` pass (INFINITE waits forever); TRUE when signalled.
    BOOL Lock(DWORD milliseconds = INFINITE);

private:
    std::mutex m_mutex;
    std::condition_variable m_signalled;
    bool m_state;
    const bool m_manualReset;
};

// A lock that one thread holds at a time; not recursive.
class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    BOOL Lock() {
        m_mutex.lock();
        return TRUE;
    }
    BOOL Unlock() {
        m_mutex.unlock();
        return TRUE;
    }

private:
    std::mutex m_mutex;
};

// Holds a CCriticalSection for one scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
    ~CSingleLock() { m_section.Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection& m_section;
};
