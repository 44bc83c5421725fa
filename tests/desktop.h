// Programs on a virtual desktop, for the end-to-end tests and the start-up benchmark: starting and
// ending processes, a virtual X display, and waiting for what the display server says.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "tests/wait.h"

namespace desktop {

using testing_support::WaitUntil;

// Starts `command` in a process group of its own, to be killed when this process ends, with the environment changed by `environment` (an
// empty value unsets) and its standard error into `errors` (nothing: /dev/null); `passFd`, when
// given, becomes the child's file descriptor 3. The process id.
pid_t Start(const std::vector<std::string>& command, const std::map<std::string, std::string>& environment = {},
            const std::string& errors = "", int passFd = -1);
// Ends the process and whatever it started in its group, and reaps it; `process` becomes -1.
void Stop(pid_t& process, int signal = 15);
// Waits up to `milliseconds` for the process to end: its exit status (128 + N for signal N), and
// `process` becomes -1; or -1 when it is still there.
int WaitForExit(pid_t& process, int milliseconds);
// Runs a shell command to its end; its standard output.
std::string Output(const std::string& command);
// The whole of a file, or nothing.
std::string ReadFile(const std::string& path);
// An Xvfb of its own, 1024 x 600. It runs with -noreset, so that a client that connects and leaves
// (xdotool) does not make it reset and refuse the next one, and it is ready when it names its
// display on a pipe (-displayfd), so nothing probes it.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    // ":N", or empty when Xvfb did not start.
    const std::string& Name() const { return m_name; }

private:
    pid_t m_pid = -1;
    std::string m_name;
};

// The id of the visible X window of exactly this title once it has the keyboard focus, as the X
// server says; "" when none came. Keys typed before that are lost. DISPLAY must name the display.
std::string FocusedWindow(const std::string& title);

}  // namespace desktop
