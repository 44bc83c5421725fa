#include "platform/winthread.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace {
std::atomic<bool> g_creationFails{false};
}

void SetThreadCreationFails(bool fails) { g_creationFails = fails; }

BOOL CWinThread::CreateThread(DWORD createFlags, UINT /*stackSize*/, LPSECURITY_ATTRIBUTES /*security*/) {
    if (createFlags != 0 || g_creationFails)
        return FALSE;
    try {
        std::thread([this] { Run(); }).detach();
    } catch (const std::system_error&) {
        return FALSE;
    }
    return TRUE;
}

void CWinThread::Run() {
    InitInstance();
    ExitInstance();
    if (m_bAutoDelete)
        delete this;
}
