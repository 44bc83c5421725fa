// Services a test may replace with a recording or scripted one; the real ones are the default.
#pragma once

#include "platform/wintypes.h"

class BrowserLauncher {
public:
    virtual ~BrowserLauncher() = default;
    // Opens the address in the desktop's default browser; false when nothing could open it.
    virtual bool Open(const char* address) = 0;
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows a message box modal to `owner`, if any; returns IDOK or IDCANCEL.
    virtual int Show(HWND owner, const char* title, const char* text, UINT type) = 0;
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the help file at the context's section; false when there is no such file.
    virtual bool Show(const char* helpFile, DWORD context) = 0;
};

// Each setter takes a service the caller keeps alive; nullptr restores the real one.
void SetBrowserLauncher(BrowserLauncher* launcher);
void SetMessageBoxService(MessageBoxService* service);
void SetHelpViewer(HelpViewer* viewer);

BrowserLauncher& CurrentBrowserLauncher();
MessageBoxService& CurrentMessageBoxService();
HelpViewer& CurrentHelpViewer();

// Opens `file` with `verb` ("open" only); never through a shell. Greater than 32 on success.
HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show);
