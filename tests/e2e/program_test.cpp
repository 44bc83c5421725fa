// The real executable on a virtual display: typed into, closed with lookups in flight.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e.h"
#include "tests/virtual_display.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

pid_t Spawn(const std::vector<std::string>& command, const std::string& display, const std::string& output) {
    const pid_t child = fork();
    if (child == 0) {
        if (!display.empty())
            setenv("DISPLAY", display.c_str(), 1);
        unsetenv("QT_QPA_PLATFORM");
        if (!output.empty())
            if (FILE* file = std::freopen(output.c_str(), "w", stderr))
                (void)file;
        std::vector<char*> arguments;
        for (const std::string& each : command)
            arguments.push_back(const_cast<char*>(each.c_str()));
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    return child;
}

int RunToEnd(const std::vector<std::string>& command, const std::string& display) {
    int status = 0;
    waitpid(Spawn(command, display, ""), &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits up to `limit` for the child to end; its exit status, or -1 when it did not end in time.
int WaitFor(pid_t child, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (Clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(5ms);
    }
    return -1;
}

std::string Slurp(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

TEST(RealProgram, ClosesAtOnceWithFiftySlowLookupsInFlight) {
    const char* program = std::getenv("NOMVARA_EXECUTABLE");
    ASSERT_NE(program, nullptr);
    Relay().SetDropping(true);  // the server never answers: every lookup stays in flight

    const VirtualDisplay virtualDisplay;
    const std::string& display = virtualDisplay.Name();
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    setenv("DISPLAY", display.c_str(), 1);

    const std::string errors = std::filesystem::temp_directory_path() / ("nomvara-stderr-" + std::to_string(getpid()));
    const pid_t nomvara = Spawn({program}, display, errors);
    EXPECT_NE(VirtualDisplay::FocusedWindow("Nomvara"), "");
    for (int i = 1; i <= 50; ++i) {
        // xdotool's type takes every word after it as text, so Return is a call of its own.
        RunToEnd({"xdotool", "key", "ctrl+a", "type", "--delay", "1", "slow" + std::to_string(i) + ".nomvara.test"}, display);
        RunToEnd({"xdotool", "key", "Return"}, display);
    }
    for (int i = 0; i < 400 && Relay().Queries() < 50; ++i)
        std::this_thread::sleep_for(25ms);
    EXPECT_GE(Relay().Queries(), 50) << "fifty lookups are waiting for the server";

    const auto closing = Clock::now();
    EXPECT_EQ(RunToEnd({"xdotool", "key", "Escape"}, display), 0);
    // The resolver gives up after 30 s: a program that waited for its lookups would still be there.
    const int status = WaitFor(nomvara, 10s);
    const auto took = Clock::now() - closing;
    if (status == -1)
        kill(nomvara, SIGKILL), waitpid(nomvara, nullptr, 0);
    Relay().SetDropping(false);

    std::printf("closed with %d lookups in flight in %lld ms\n", Relay().Queries(),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_EQ(status, 0) << "-1: still running after 10 s";
    const std::string reported = Slurp(errors);
    EXPECT_EQ(reported.find("Sanitizer"), std::string::npos) << reported;
    std::filesystem::remove(errors);
}
