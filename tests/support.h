// Shared helpers for tests: the platform's seams replaced by recording or scripted services,
// and event-loop helpers for modal dialogs.
#pragma once

#include <QCoreApplication>
#include <QTimer>

#include <fstream>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/modalruns.h"
#include "platform/services.h"
#include "platform/winsock.h"
#include "tests/scriptedresolver.h"
#include "tests/wait.h"

namespace testing_support {

// Runs events until `done` holds; false when `milliseconds` passed first.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 60000) {
    return WaitUntil([&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }, milliseconds, std::chrono::milliseconds(1));
}

// "(12 ms)" and the like become "(N ms)": the times are the name service's own.
inline std::string WithoutTimes(const std::string& text) {
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at;
        while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == ','))
            ++end;
        if (end == at)
            result += text[at++];
        else {
            result += text.compare(end, 3, " ms") == 0 ? std::string("N") : text.substr(at, end - at);
            at = end;
        }
    }
    return result;
}

// The innermost dialog in a modal run on this thread, the one that has the focus; or none.
inline CDialog* ActiveModal() {
    const platform::ModalRun* run = platform::InnermostModalRun();
    return run ? run->dialog : nullptr;
}

// Runs `body` inside the dialog's modal loop, then ends the dialog if `body` left it open.
inline INT_PTR RunModal(CDialog& dialog, std::function<void()> body) {
    QTimer::singleShot(0, [&dialog, body = std::move(body)] {
        body();
        if (dialog.m_hWnd)
            dialog.EndDialog(IDCANCEL);
    });
    return dialog.DoModal();
}

class RecordingLauncher final : public BrowserLauncher {
public:
    RecordingLauncher() { SetBrowserLauncher(this); }
    ~RecordingLauncher() override { SetBrowserLauncher(nullptr); }
    bool Open(const char* address) override {
        opened.emplace_back(address);
        return true;
    }
    std::vector<std::string> opened;
};

class RecordingMessageBox final : public MessageBoxService {
public:
    RecordingMessageBox() { SetMessageBoxService(this); }
    ~RecordingMessageBox() override { SetMessageBoxService(nullptr); }
    int Show(HWND, const char* title, const char* text, UINT type) override {
        shown.push_back({title, text, type});
        return IDOK;
    }
    struct Shown {
        std::string title;
        std::string text;
        UINT type;
    };
    std::vector<Shown> shown;
};

class RecordingHelp final : public HelpViewer {
public:
    RecordingHelp() { SetHelpViewer(this); }
    ~RecordingHelp() override { SetHelpViewer(nullptr); }
    bool Show(const char* helpFile, DWORD context) override {
        requests.push_back({helpFile, context});
        return true;
    }
    std::vector<std::pair<std::string, DWORD>> requests;
};

// A number from /proc/self/status, such as "Threads:" or "VmHWM:" (KiB), or from a status file of
// one thread's; -1 when there is no such line, or no such thread any more.
inline int ProcessStatus(const std::string& key, const std::string& path = "/proc/self/status") {
    std::ifstream status(path);
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0)
            return std::stoi(line.substr(key.size()));
    return -1;
}

// How often a thread of this process has gone to sleep, waiting; -1 once it has ended.
inline int ThreadWaits(int threadId) {
    return ProcessStatus("voluntary_ctxt_switches:", "/proc/self/task/" + std::to_string(threadId) + "/status");
}

// Whether a thread of this process is asleep, waiting for something, at this moment.
inline bool ThreadIsWaiting(int threadId) {
    std::ifstream stat("/proc/self/task/" + std::to_string(threadId) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t state = line.rfind(") ");  // the command name in parentheses may hold anything
    return state != std::string::npos && state + 2 < line.size() && line[state + 2] == 'S';
}

}  // namespace testing_support
