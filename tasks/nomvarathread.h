// CNomvaraThread: runs one lookup on a thread of its own, reports it to the dialog and deletes itself.
#pragma once

#include <memory>

#include "lookup/lifeline.h"
#include "lookup/lookuptables.h"
#include "tasks/gtaskproc.h"

class CNomvaraThread : public CGTaskProc {
public:
    // `params` as ParamsFor makes them. The lifeline is the dialog's: once it has ended, the thread
    // touches neither the record nor the window.
    CNomvaraThread(TaskParams params, std::shared_ptr<Lifeline> lifeline);
    // A lookup's task parameters: param1 and param2 0, param3 the record as it lies in the dialog's
    // pending table, where the thread also writes the lookup's report beside it.
    static TaskParams ParamsFor(StoredLookup* stored) { return TaskParams{0, 0, reinterpret_cast<UINT_PTR>(stored)}; }

    // Runs the task once; FALSE before the parameters are set.
    BOOL StartOnce();

protected:
    void OnTask(TaskParams* params) override;

private:
    static StoredLookup* RecordOf(const TaskParams& params) { return reinterpret_cast<StoredLookup*>(params.param3); }

    const std::shared_ptr<Lifeline> m_lifeline;
};
