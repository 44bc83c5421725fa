// A virtual X display for tests and benchmarks. Xvfb runs with -noreset, so that a client that
// connects and leaves (xdotool) does not make it reset and refuse the next one, and it is taken as
// ready when it names its display on a pipe (-displayfd), so nothing probes it to find out.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

class VirtualDisplay {
public:
    VirtualDisplay() {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(ready[1], 3);  // the copy stays open across exec
            if (!std::freopen("/dev/null", "w", stderr))
                _exit(126);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-noreset", "-screen", "0", "1024x600x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        std::string number;
        char digit;
        while (read(ready[0], &digit, 1) == 1 && digit != '\n')
            number += digit;
        close(ready[0]);
        if (!number.empty())
            m_name = ":" + number;
    }
    ~VirtualDisplay() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when Xvfb did not start.
    const std::string& Name() const { return m_name; }

    // Waits up to 20 s until a visible window of exactly this title has the keyboard focus, looking
    // every 5 ms (xdotool's own --sync looks only twice a second), and returns its id, or "" when
    // none came. Keys typed before the window has the focus are lost. DISPLAY must name this display.
    static std::string FocusedWindow(const std::string& title) {
        const std::string search = "xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null";
        std::string window;
        for (int i = 0; i < 4000; ++i) {
            if (window.empty())
                window = Output(search);
            if (!window.empty() && Output("xdotool getwindowfocus 2>/dev/null") == window)
                return window;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return "";
    }

private:
    // The first line a command prints, without its line break.
    static std::string Output(const std::string& command) {
        std::string output;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[64];
            while (std::fgets(buffer, sizeof buffer, pipe))
                output += buffer;
            pclose(pipe);
        }
        return output.substr(0, output.find('\n'));
    }

    pid_t m_pid = -1;
    std::string m_name;
};
