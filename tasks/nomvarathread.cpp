#include "tasks/nomvarathread.h"

#include "platform/cstring.h"
#include "platform/winapp.h"
#include "platform/winsock.h"
#include "platform/wnd.h"
#include "tasks/questionpool.h"

CNomvaraThread::CNomvaraThread(std::shared_ptr<StoredLookup> lookup)
    : m_lookup(std::move(lookup)), m_owner(m_lookup->request.owner ? m_lookup->request.owner->GetSafeHwnd() : nullptr) {
    winsock::WSADATA data;
    if (winsock::WSAStartup(0x0202, &data) != 0) {
        CString message;
        message.Format("WSAStartup failed with error %d\n", winsock::WSAGetLastError());
        AfxMessageBox(message, MB_OKCANCEL);
        winsock::WSACleanup();
    }
    SetTaskParams(ParamsFor(m_lookup.get()));
}

BOOL CNomvaraThread::StartOnce() {
    if (!HasTaskParams())
        return FALSE;
    return Start(MODE_ONCE, INFINITE, 1);
}

void CNomvaraThread::OnTask(TaskParams* params) {
    StoredLookup& lookup = *RecordOf(*params);
    std::shared_ptr<Ipv6Question> late;
    lookup.report = ResolveWithIpv6(lookup.request.query, lookup.request.answers, late);
    ::SendMessage(m_owner, WM_LOOKUP_DONE, WPARAM(lookup.request.code), LPARAM(lookup.request.requestId));
    // Only now, so that the dialog has the lookup before its late IPv6 answer. The dialog has let go
    // of the record meanwhile: it is this lookup's alone.
    if (late)
        late->WhenAnswered([lookup = m_lookup, owner = m_owner](const Ipv6Answer& answer) {
            lookup->report.ipv6 = answer;
            ::SendMessage(owner, WM_IPV6_DONE, reinterpret_cast<WPARAM>(lookup.get()), LPARAM(lookup->request.requestId));
        });
    CGTaskProc::OnTask(params);
}
