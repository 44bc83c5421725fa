// The real executable on a virtual display: typed into, closed with lookups in flight.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/e2e/desktop_session.h"
#include "tests/e2e/e2e.h"
#include "tests/virtual_display.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using desktop::Output;

TEST(RealProgram, ClosesAtOnceWithFiftySlowLookupsInFlight) {
    const char* program = std::getenv("NOMVARA_EXECUTABLE");
    ASSERT_NE(program, nullptr);
    Relay().SetDropping(true);  // the server never answers: every lookup stays in flight

    const VirtualDisplay virtualDisplay;
    const std::string& display = virtualDisplay.Name();
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    setenv("DISPLAY", display.c_str(), 1);

    const std::string errors = std::filesystem::temp_directory_path() / ("nomvara-stderr-" + std::to_string(getpid()));
    const pid_t nomvara = desktop::Start({program}, {{"QT_QPA_PLATFORM", ""}}, errors);
    EXPECT_NE(VirtualDisplay::FocusedWindow("Nomvara"), "");
    for (int i = 1; i <= 50; ++i) {
        // xdotool's type takes every word after it as text, so Return is a call of its own.
        Output("xdotool key ctrl+a type --delay 1 slow" + std::to_string(i) + ".nomvara.test");
        Output("xdotool key Return");
    }
    for (int i = 0; i < 400 && Relay().Queries() < 50; ++i)
        std::this_thread::sleep_for(25ms);
    EXPECT_GE(Relay().Queries(), 50) << "fifty lookups are waiting for the server";

    const auto closing = Clock::now();
    Output("xdotool key Escape");
    // The resolver gives up after 30 s: a program that waited for its lookups would still be there.
    const int status = desktop::WaitForExit(nomvara, 10000);
    const auto took = Clock::now() - closing;
    if (status == -1)
        kill(nomvara, SIGKILL), waitpid(nomvara, nullptr, 0);
    Relay().SetDropping(false);

    std::printf("closed with %d lookups in flight in %lld ms\n", Relay().Queries(),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_EQ(status, 0) << "-1: still running after 10 s";
    const std::string reported = desktop::ReadFile(errors);
    EXPECT_EQ(reported.find("Sanitizer"), std::string::npos) << reported;
    std::filesystem::remove(errors);
}
