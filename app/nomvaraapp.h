// CNomvaraApp: the application object; it runs the main dialog and ends the program.
#pragma once

#include "platform/winapp.h"

class CNomvaraApp : public CWinApp {
public:
    CNomvaraApp();
    ~CNomvaraApp() override = default;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
