// The dialogs in a modal run on this thread, innermost last.
#pragma once

#include "platform/wintypes.h"

class CDialog;

namespace platform {

struct ModalRun {
    CDialog* dialog;
    UINT templateId;
};

// Keeps a run on this thread's list for as long as the scope lives.
class ModalRunScope {
public:
    explicit ModalRunScope(ModalRun run);
    ~ModalRunScope();
    ModalRunScope(const ModalRunScope&) = delete;
    ModalRunScope& operator=(const ModalRunScope&) = delete;
};

// The innermost run on this thread, the one whose dialog has the focus; or none.
const ModalRun* InnermostModalRun();

}  // namespace platform
