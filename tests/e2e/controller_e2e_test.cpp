// The Get button through the real resolver and DNS server: cache hits ask the server nothing.
#include <gtest/gtest.h>

#include "tests/e2e/e2e.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using Lines = std::vector<std::string>;

TEST(RealController, AskingAgainSendsTheServerNoQuery) {
    TestableDialog dialog;
    RunModal(dialog, [&] {
        for (const auto& [name, expected] : {std::pair<std::string, Lines>{"three.nomvara.test", {"198.51.100.1", "198.51.100.2", "198.51.100.3"}},
                                             std::pair<std::string, Lines>{"nothere.nomvara.test", {"Can`t Resolve!"}}}) {
            const int before = LoggedQueries("A", name);
            dialog.Ask(name);
            ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
            EXPECT_EQ(dialog.Lines(), expected) << name;
            dialog.Ask(name);
            EXPECT_EQ(dialog.Lines(), expected) << name << ": at once";
            // The server logs queries in the order they come: once a later lookup's query is in the
            // log, so is any that the answer from memory could have sent.
            const std::string later = "later-" + name;
            dialog.Ask(later);
            ASSERT_TRUE(PumpUntil([&] { return LoggedQueries("A", later) == 1 && dialog.Pending() == 0; }));
            EXPECT_EQ(LoggedQueries("A", name), before + 1) << name << ": asked once, then answered from memory";
        }
    });
}

TEST(RealController, BehindASlowServerTheWaitLineStaysUntilTheAnswersArrive) {
    Relay().SetDelay(400ms);
    TestableDialog dialog;
    RunModal(dialog, [&] {
        const std::string name = "three.nomvara.test", address = "1.100.51.198.in-addr.arpa";
        const int nameBefore = Relay().Queries(name), addressBefore = Relay().Queries(address);
        dialog.Ask(name);
        dialog.Ask("198.51.100.1");
        // The queries of both (the name's IPv4 and IPv6, the address's name) have reached the
        // server's side, whose answers take 400 ms from here. A slow machine's resolver may ask again.
        ASSERT_TRUE(PumpUntil([&] { return Relay().Queries(name) >= nameBefore + 2 && Relay().Queries(address) >= addressBefore + 1; }));
        EXPECT_EQ(dialog.Lines(), Lines{"Wait for answer..."});
        EXPECT_EQ(dialog.Pending(), 2u);
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 0; }));
        EXPECT_EQ(dialog.m_answerCache.Find("three.nomvara.test")->request.answers.size(), 3u);
        EXPECT_EQ(dialog.m_answerCache.Find("198.51.100.1")->request.answers, std::vector<CString>{"three.nomvara.test"});
    });
    Relay().SetDelay(0ms);
}
