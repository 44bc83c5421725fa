#include "platform/sync.h"

#include <chrono>

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset) : m_state(initiallyOwn != FALSE), m_manualReset(manualReset != FALSE) {}

BOOL CEvent::SetEvent() {
    // Notify while holding the mutex: a waiter that wakes may delete the object that holds this event.
    std::lock_guard lock(m_mutex);
    m_state = true;
    m_signalled.notify_all();
    return TRUE;
}

BOOL CEvent::ResetEvent() {
    std::lock_guard lock(m_mutex);
    m_state = false;
    return TRUE;
}

BOOL CEvent::Lock(DWORD milliseconds) {
    std::unique_lock lock(m_mutex);
    const auto isSet = [this] { return m_state; };
    if (milliseconds == INFINITE)
        m_signalled.wait(lock, isSet);
    else if (!m_signalled.wait_for(lock, std::chrono::milliseconds(milliseconds), isSet))
        return FALSE;
    if (!m_manualReset)
        m_state = false;
    return TRUE;
}
