#include "tasks/nomvarathread.h"

#include "platform/cstring.h"
#include "platform/winapp.h"
#include "platform/winsock.h"

CNomvaraThread::CNomvaraThread(std::shared_ptr<StoredLookup> record)
    : m_record(std::move(record)), m_lookup(std::make_shared<Lookup>(m_record->request)) {
    winsock::WSADATA data;
    winsock::UseOnThisThread(m_lookup->Resolver());
    const int started = winsock::WSAStartup(0x0202, &data);
    winsock::UseOnThisThread(nullptr);
    if (started != 0) {
        CString message;
        message.Format("WSAStartup failed with error %d\n", winsock::WSAGetLastError());
        AfxMessageBox(message, MB_OKCANCEL);
        winsock::WSACleanup();
    }
    SetTaskParams(ParamsFor(m_record.get()));
}

BOOL CNomvaraThread::StartOnce() { return Start(MODE_ONCE, INFINITE, 1); }  // FALSE, as Start is, before the parameters

void CNomvaraThread::OnTask(TaskParams* params) {
    m_lookup->Run(*RecordOf(*params));
    CGTaskProc::OnTask(params);
}
