#include "tests/desktop.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace desktop {

pid_t Start(const std::vector<std::string>& command, const std::map<std::string, std::string>& environment,
            const std::string& errors, int passFd) {
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        // It ends with the test that started it, also when that test is killed: its own group keeps
        // it from a terminal's Ctrl+C, which would otherwise leave it running.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(126);
        for (const auto& [name, value] : environment)
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        if (passFd >= 0)
            dup2(passFd, 3);  // the copy stays open across exec
        if (!std::freopen(errors.empty() ? "/dev/null" : errors.c_str(), "w", stderr) || !std::freopen("/dev/null", "w", stdout))
            _exit(126);
        std::vector<char*> arguments;
        for (const std::string& each : command)
            arguments.push_back(const_cast<char*>(each.c_str()));
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    return child;
}

void Stop(pid_t& process, int signal) {
    if (process <= 0)
        return;
    kill(-process, signal);
    kill(process, signal);
    waitpid(process, nullptr, 0);
    kill(-process, SIGKILL);  // what it started and left behind
    process = -1;
}

int WaitForExit(pid_t& process, int milliseconds) {
    int status = 0;
    if (process <= 0 || !WaitUntil([&] { return waitpid(process, &status, WNOHANG) == process; }, milliseconds))
        return -1;
    process = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

VirtualDisplay::VirtualDisplay() {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    m_pid = Start({"Xvfb", "-displayfd", "3", "-noreset", "-screen", "0", "1024x600x24", "-nolisten", "tcp"}, {}, "", ready[1]);
    close(ready[1]);
    std::string number;
    char digit;
    while (read(ready[0], &digit, 1) == 1 && digit != '\n')
        number += digit;
    close(ready[0]);
    if (!number.empty())
        m_name = ":" + number;
}

VirtualDisplay::~VirtualDisplay() { Stop(m_pid); }

std::string FocusedWindow(const std::string& title) {
    const std::string search = "xdotool search --onlyvisible --name '^" + title + "$'";
    std::string window;
    // Every 5 ms: the start-up benchmark times this wait, and xdotool's own --sync looks only twice a second.
    const bool focused = WaitUntil([&] {
        if (window.empty()) {
            window = Output(search);
            window = window.substr(0, window.find('\n'));
        }
        return !window.empty() && Output("xdotool getwindowfocus") == window + "\n";
    }, 60000, std::chrono::milliseconds(5));
    return focused ? window : "";
}

}  // namespace desktop
