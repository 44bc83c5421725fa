// CNomvaraThread: runs one lookup on a thread of its own, reports it to the dialog and deletes itself.
#pragma once

#include <memory>

#include "lookup/lookuptables.h"
#include "tasks/gtaskproc.h"

// Sent to the lookup's owner when it is done: wParam the record's code (never read), lParam its
// request id. The handler answers 1, or 0 for an id that is not pending.
constexpr UINT WM_LOOKUP_DONE = WM_USER + 23;
// A host name's IPv6 answer that came after its lookup was done, sent only after that lookup's
// WM_LOOKUP_DONE: wParam the lookup's record (a const StoredLookup*, valid while the message is
// handled) whose report now holds the answer, lParam its request id.
constexpr UINT WM_IPV6_DONE = WM_USER + 24;

class CNomvaraThread : public CGTaskProc {
public:
    // The lookup's record as it lies in the dialog's pending table, its report beside it. The thread
    // shares it until it ends, so that it never writes to a record that has gone with its table, and
    // tells the owner's window, which gets nothing once it has gone.
    explicit CNomvaraThread(std::shared_ptr<StoredLookup> lookup);

    // Runs the task once; FALSE before the parameters are set.
    BOOL StartOnce();

protected:
    void OnTask(TaskParams* params) override;

private:
    // param1 and param2 0, param3 the record.
    static TaskParams ParamsFor(StoredLookup* stored) { return TaskParams{0, 0, reinterpret_cast<UINT_PTR>(stored)}; }
    static StoredLookup* RecordOf(const TaskParams& params) { return reinterpret_cast<StoredLookup*>(params.param3); }

    const std::shared_ptr<StoredLookup> m_lookup;
    const HWND m_owner;
};
