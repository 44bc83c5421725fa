// What became of each lookup, told by the answer list's description, against the real DNS server.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "lookup/lookupreport.h"
#include "tests/e2e/e2e.h"
#include "tests/support.h"
#include "tests/ui/outcomecases.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using Lines = std::vector<std::string>;
using outcome_cases::Kind;
using resolution_cases::Plays;

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

}  // namespace

TEST(RealOutcome, EachAnswerOfTheServerIsToldApartAndTheLinesStayAsTheyWere) {
    TestableDialog dialog;
    RunModal(dialog, [&] { outcome_cases::Play(dialog, Plays::RealOnly); });
}

TEST(RealOutcome, TheTimeIsTheServersBehindASlowRelayAndTheResolversTimeoutBehindASilentOneAndIpv6NeverHoldsIpv4Back) {
    TestableDialog dialog;
    RunModal(dialog, [&] {
        Relay().SetDelay(400ms);
        const int slow = AskAndTime(dialog, "n1.nomvara.test");
        Relay().SetDelay(0ms);
        EXPECT_EQ(Kind(dialog.Description()), Kind(DescribeLookup("n1.nomvara.test", {}, 1)));
        EXPECT_GE(slow, 400);
        EXPECT_LT(slow, 5000) << "the server's time, not the resolver's timeout";

        Relay().SetDroppingIpv6(true);
        const int withoutIpv6 = AskAndTime(dialog, "dual.nomvara.test");
        Relay().SetDroppingIpv6(false);
        EXPECT_EQ(Kind(dialog.Description()), "dual.nomvara.test: 1 address; IPv6 got no answer");
        EXPECT_LT(withoutIpv6, 5000) << "the IPv4 lines do not wait for the resolver's timeout";

        Relay().SetDropping(true);
        const int silent = AskAndTime(dialog, "n2.nomvara.test", 20000);
        Relay().SetDropping(false);
        EXPECT_EQ(Kind(dialog.Description()), Kind(DescribeLookup("n2.nomvara.test", {LookupOutcome::NoAnswer}, 1)));
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
        EXPECT_GE(silent, 5000) << "the resolver's timeout in the test namespace";
    });
}
