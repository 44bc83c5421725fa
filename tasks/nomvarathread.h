// CNomvaraThread: runs one lookup on a thread of its own, reports it to the dialog and deletes itself.
#pragma once

#include <memory>

#include "lookup/lifeline.h"
#include "tasks/gtaskproc.h"

class CNomvaraThread : public CGTaskProc {
public:
    // param3 is the address of the lookup's record inside the dialog's pending table, param2 that of
    // its LookupReport beside it, or 0 for none. The lifeline is the dialog's: once it has ended, the
    // thread touches neither of them nor the window.
    CNomvaraThread(TaskParams params, std::shared_ptr<Lifeline> lifeline);

    // Runs the task once; FALSE before the parameters are set.
    BOOL StartOnce();

protected:
    void OnTask(TaskParams* params) override;

private:
    const std::shared_ptr<Lifeline> m_lifeline;
};
