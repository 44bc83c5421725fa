// Shared helpers for tests: the platform's seams replaced by recording or scripted services,
// and event-loop helpers for modal dialogs.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog.h"
#include "platform/services.h"
#include "platform/winsock.h"

namespace testing_support {

// Runs events until `done` holds or `milliseconds` pass; returns whether it held.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
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

// A resolver that answers from a script, counts calls, and may hold every lookup until released.
// Its errors are the C library's EAI_ codes; an unknown name or address is EAI_NONAME.
class ScriptedResolver final : public winsock::NameResolver {
public:
    ScriptedResolver() { winsock::SetResolver(this); }
    ~ScriptedResolver() override {
        Release();
        winsock::SetResolver(nullptr);
    }

    struct Answer {
        int error = 0;
        std::string name;
        std::vector<std::uint32_t> addresses;
    };

    void AddName(const std::string& name, std::vector<std::string> dotted, int error = 0);
    void AddAddress(const std::string& dotted, std::string name, int error = 0);
    void SetStartupError(int error) { m_startupError = error; }
    // Lookups of a held name, or all lookups while everything is held, wait until released.
    void HoldName(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_heldNames.insert(name);
    }
    void ReleaseName(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_heldNames.erase(name);
        m_released.notify_all();
    }
    void Hold() {
        std::lock_guard lock(m_mutex);
        m_held = true;
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_held = false;
        m_heldNames.clear();
        m_released.notify_all();
    }
    int Calls() const { return m_calls; }
    int Waiting() const { return m_waiting; }
    int Finished() const { return m_finished; }

    int Startup() override { return m_startupError; }
    int Forward(const char* name, std::string& canonicalName, std::vector<std::uint32_t>& addresses) override;
    int Reverse(std::uint32_t address, std::string& name) override;
    int HostName(std::string& name) override {
        name = "scripted-host";
        return 0;
    }

private:
    void WaitWhileHeld(const std::string& name);

    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_held = false;
    std::set<std::string> m_heldNames;
    std::map<std::string, Answer> m_names;
    std::map<std::uint32_t, Answer> m_addresses;
    std::atomic<int> m_startupError{0};
    std::atomic<int> m_calls{0};
    std::atomic<int> m_waiting{0};
    std::atomic<int> m_finished{0};
};

std::uint32_t Address(const std::string& dotted);

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

// Waits, without running events, until `done` holds or `milliseconds` pass, looking every `poll`;
// returns whether it held. For conditions no event announces: another process, a thread's state.
inline bool WaitUntil(const std::function<bool()>& done, int milliseconds = 5000,
                      std::chrono::microseconds poll = std::chrono::microseconds(200)) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(poll);
    }
    return true;
}

}  // namespace testing_support
