#include "tasks/nomvarathread.h"

#include "lookup/resolvequery.h"
#include "lookup/lookuptables.h"
#include "platform/cstring.h"
#include "platform/winapp.h"
#include "platform/winsock.h"

CNomvaraThread::CNomvaraThread(TaskParams params, std::shared_ptr<Lifeline> lifeline) : m_lifeline(std::move(lifeline)) {
    winsock::WSADATA data;
    if (winsock::WSAStartup(0x0202, &data) != 0) {
        CString message;
        message.Format("WSAStartup failed with error %d\n", winsock::WSAGetLastError());
        AfxMessageBox(message, MB_OKCANCEL);
        winsock::WSACleanup();
    }
    SetTaskParams(params);
}

BOOL CNomvaraThread::StartOnce() {
    if (!HasTaskParams())
        return FALSE;
    return Start(MODE_ONCE, INFINITE, 1);
}

void CNomvaraThread::OnTask(TaskParams* params) {
    StoredLookup* stored = RecordOf(*params);
    LookupRequest* record = &stored->request;
    // The record is only read and written while the dialog that owns it still exists, and the
    // name service is asked outside that lock, so closing the dialog never waits for it.
    CString query;
    if (!m_lifeline->WhileAlive([&] { query = record->query; }))
        return;
    std::vector<CString> answers;
    std::shared_ptr<Ipv6Question> ipv6;
    const LookupReport report = ResolveQuery(query, answers, &ipv6);
    HWND owner = nullptr;
    WPARAM code = 0;
    LPARAM requestId = 0;
    if (!m_lifeline->WhileAlive([&] {
            record->answers = std::move(answers);
            stored->report = report;
            owner = record->owner->GetSafeHwnd();
            code = WPARAM(record->code);
            requestId = LPARAM(record->requestId);
        }))
        return;
    ::SendMessage(owner, WM_LOOKUP_DONE, code, requestId);
    // Only now, so that the dialog has the lookup before its late IPv6 answer; this thread ends meanwhile.
    if (ipv6)
        ipv6->WhenAnswered([lifeline = m_lifeline, owner, requestId](const Ipv6Answer& answer) {
            if (lifeline->WhileAlive([] {}))
                ::SendMessage(owner, WM_IPV6_DONE, reinterpret_cast<WPARAM>(&answer), requestId);
        });
    CGTaskProc::OnTask(params);
}
