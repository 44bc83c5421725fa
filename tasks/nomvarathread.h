// CNomvaraThread: runs one lookup on a thread of its own, reports it to the dialog and deletes itself.
#pragma once

#include <memory>

#include "lookup/lookuptables.h"
#include "tasks/gtaskproc.h"
#include "tasks/lookup.h"

class CNomvaraThread : public CGTaskProc {
public:
    // The lookup's record as it lies in the dialog's pending table, its report beside it, held until the
    // thread ends so that it is never written after its table has gone. The lookup is made here, on the
    // dialog's thread.
    explicit CNomvaraThread(std::shared_ptr<StoredLookup> record);

    // Runs the task once; FALSE before the parameters are set.
    BOOL StartOnce();

protected:
    void OnTask(TaskParams* params) override;

private:
    // param1 and param2 0, param3 the record.
    static TaskParams ParamsFor(StoredLookup* stored) { return TaskParams{0, 0, reinterpret_cast<UINT_PTR>(stored)}; }
    static StoredLookup* RecordOf(const TaskParams& params) { return reinterpret_cast<StoredLookup*>(params.param3); }

    const std::shared_ptr<StoredLookup> m_record;
    const std::shared_ptr<Lookup> m_lookup;
};
