// What became of each lookup, told by the answer list's description, against the real DNS server.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/e2e/e2e.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using Lines = std::vector<std::string>;

namespace {

// Asks, waits for the completion, and returns the description's time in milliseconds.
int AskAndTime(TestableDialog& dialog, const std::string& query, int limitMs = 5000) {
    dialog.Ask(query);
    EXPECT_TRUE(PumpUntil([&] { return dialog.m_pendingRequests.Size() == 0; }, limitMs)) << query;
    const std::string text = dialog.Description();
    std::printf("%-26s %s\n", query.c_str(), text.c_str());
    const size_t open = text.rfind('(');
    if (open == std::string::npos)
        return -1;
    std::string digits;
    for (char each : text.substr(open))
        if (std::isdigit(static_cast<unsigned char>(each)))
            digits += each;
    return digits.empty() ? -1 : std::stoi(digits);
}

// The description without its time.
std::string Kind(const std::string& text) {
    return text.substr(0, text.find(" ("));
}

}  // namespace

TEST(RealOutcome, EachAnswerOfTheServerIsToldApartAndTheLinesStayAsTheyWere) {
    struct Case {
        const char* query;
        Lines lines;
        const char* kind;
    };
    const Case cases[] = {
        {"three.nomvara.test", {"198.51.100.1", "198.51.100.2", "198.51.100.3"}, "3 addresses"},
        {"198.51.100.1", {"three.nomvara.test"}, "Its registered name"},
        {"nothere.nomvara.test", {"Can`t Resolve!"}, "No such name"},
        {"v6only.nomvara.test", {}, "The name exists but has no IPv4 address"},
        {"198.51.100.200", {"Can`t Resolve!"}, "No name is registered for this address"},
        // The server refuses names outside its zone; the C library reports that as a temporary failure,
        // as it does a server that never answers.
        {"www.example.com", {"Can`t Resolve!"}, "The DNS server did not answer in time, or refused for now"},
        {"", {"Can`t Resolve!"}, "Not a name or address: empty, or it starts with a blank or control character"},
    };
    TestableDialog dialog;
    RunModal(dialog, [&] {
        for (const Case& each : cases) {
            AskAndTime(dialog, each.query);
            EXPECT_EQ(dialog.Lines(), each.lines) << each.query;
            EXPECT_EQ(Kind(dialog.Description()), each.kind) << each.query;
        }
    });
}

TEST(RealOutcome, TheTimeIsTheServersBehindASlowRelayAndTheResolversTimeoutBehindASilentOne) {
    TestableDialog dialog;
    RunModal(dialog, [&] {
        Relay().SetDelay(400ms);
        const int slow = AskAndTime(dialog, "n1.nomvara.test");
        Relay().SetDelay(0ms);
        EXPECT_EQ(Kind(dialog.Description()), "1 address");
        EXPECT_GE(slow, 400);
        EXPECT_LT(slow, 1000);

        Relay().SetDropping(true);
        const int silent = AskAndTime(dialog, "n2.nomvara.test", 20000);
        Relay().SetDropping(false);
        EXPECT_EQ(Kind(dialog.Description()), "The DNS server did not answer in time, or refused for now");
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
        EXPECT_GE(silent, 5000) << "the resolver's timeout in the test namespace";
    });
}
