// The real executable on a virtual display: typed into, closed with lookups in flight.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/desktop.h"
#include "tests/e2e/e2e.h"

using namespace desktop;

TEST(RealProgram, ClosesAtOnceWithFiftySlowLookupsInFlight) {
    const char* program = std::getenv("NOMVARA_EXECUTABLE");
    ASSERT_NE(program, nullptr);
    Relay().SetDropping(true);  // the server never answers: every lookup stays in flight

    const VirtualDisplay display;
    ASSERT_FALSE(display.Name().empty()) << "Xvfb did not start";
    setenv("DISPLAY", display.Name().c_str(), 1);

    const std::string errors = std::filesystem::temp_directory_path() / ("nomvara-stderr-" + std::to_string(getpid()));
    pid_t nomvara = Start({program}, {{"QT_QPA_PLATFORM", ""}}, errors);
    EXPECT_NE(FocusedWindow("Nomvara"), "");
    for (int i = 1; i <= 50; ++i) {
        // xdotool's type takes every word after it as text, so Return is a call of its own.
        Output("xdotool key ctrl+a type --delay 1 slow" + std::to_string(i) + ".nomvara.test");
        Output("xdotool key Return");
    }
    EXPECT_TRUE(WaitUntil([] {
        for (int i = 1; i <= 50; ++i)
            if (Relay().Queries("slow" + std::to_string(i) + ".nomvara.test") == 0)
                return false;
        return true;
    })) << "fifty lookups are waiting for the server";

    Output("xdotool key Escape");
    // The resolver gives up after 30 s: a program that waited for its lookups would still be there then.
    const int status = WaitForExit(nomvara, 25000);
    Stop(nomvara, SIGKILL);
    Relay().SetDropping(false);

    EXPECT_EQ(status, 0) << "-1: still running after 25 s";
    const std::string reported = ReadFile(errors);
    EXPECT_EQ(reported.find("Sanitizer"), std::string::npos) << reported;
    std::filesystem::remove(errors);
}
