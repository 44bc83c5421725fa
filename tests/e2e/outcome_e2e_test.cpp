// What became of each lookup, told by the answer list's description, against the real DNS server.
#include <gtest/gtest.h>

#include <unistd.h>

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
    EXPECT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }, limitMs)) << query;
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
    RunModal(dialog, [&] {
        outcome_cases::Play(dialog, Plays::RealOnly);
        // The machine's own name stands for its interfaces' addresses, of both families: here the namespace's loopback.
        char host[256] = "";
        ASSERT_EQ(gethostname(host, sizeof host), 0);
        dialog.Ask(host);
        const std::string told = std::string(host) + ": 2 addresses, this computer, loopback; IPv6 ";
        const auto settled = [&] {  // in the order the system lists its interfaces' addresses
            const std::string kind = Kind(dialog.Description());
            return kind == told + "::1, fd00:5e57::1, this computer" || kind == told + "fd00:5e57::1, ::1, this computer";
        };
        EXPECT_TRUE(PumpUntil(settled)) << dialog.Description() << ": its IPv6 part holds IPv6 addresses only";
        EXPECT_EQ(dialog.Lines(), (Lines{"127.0.0.1", "127.0.0.2"}));
    });
}

TEST(RealOutcome, TheTimeIsTheServersBehindASlowRelayAndTheResolversTimeoutBehindASilentOneAndIpv6NeverHoldsIpv4Back) {
    TestableDialog dialog;
    RunModal(dialog, [&] {
        Relay().SetDelay(400ms);
        const int slow = AskAndTime(dialog, "n1.nomvara.test");
        Relay().SetDelay(0ms);
        EXPECT_EQ(dialog.Description().rfind("n1.nomvara.test: 1 address", 0), 0u) << dialog.Description();
        EXPECT_GE(slow, 400);
        EXPECT_LT(slow, 5000) << "the server's time, not the resolver's timeout";

        // Until the IPv6 answer is in, the description says it is still being asked; then it tells what came.
        const auto toldLater = [&](const std::string& text) {
            PumpUntil([&] { return Kind(dialog.Description()) == text; }, 20000);
            return Kind(dialog.Description());
        };
        Relay().SetDroppingIpv6(true);
        const int withoutIpv6 = AskAndTime(dialog, "dual.nomvara.test");
        EXPECT_EQ(Kind(dialog.Description()), "dual.nomvara.test: 1 address; IPv6 still being asked");
        EXPECT_LT(withoutIpv6, 1000) << "the IPv4 lines do not wait for the resolver's timeout";
        EXPECT_EQ(toldLater("dual.nomvara.test: 1 address; IPv6 got no answer"), "dual.nomvara.test: 1 address; IPv6 got no answer");
        Relay().SetDroppingIpv6(false);
        Relay().SetIpv6Delay(300ms);
        AskAndTime(dialog, "v6only.nomvara.test");
        const std::string noIpv4 = "v6only.nomvara.test: The name exists but has no IPv4 address; IPv6 ";
        EXPECT_EQ(Kind(dialog.Description()), noIpv4 + "still being asked");
        EXPECT_EQ(toldLater(noIpv4 + "fd00:5e57::99"), noIpv4 + "fd00:5e57::99");
        AskAndTime(dialog, "n3.nomvara.test");
        EXPECT_EQ(Kind(dialog.Description()), "n3.nomvara.test: 1 address; IPv6 still being asked");
        EXPECT_EQ(toldLater("n3.nomvara.test: 1 address"), "n3.nomvara.test: 1 address") << "a name without IPv6 addresses";
        Relay().SetIpv6Delay(0ms);

        Relay().SetDropping(true);
        const int silent = AskAndTime(dialog, "n2.nomvara.test", 20000);
        Relay().SetDropping(false);
        EXPECT_EQ(Kind(dialog.Description()), "n2.nomvara.test: The DNS server did not answer in time, or refused for now");
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
        EXPECT_GE(silent, 5000) << "the resolver's timeout in the test namespace";
    });
}
