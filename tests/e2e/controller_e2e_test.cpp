// The Get button through the real resolver and DNS server: cache hits ask the server nothing.
#include <gtest/gtest.h>

#include <thread>

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
        for (const std::string name : {"three.nomvara.test", "nothere.nomvara.test"}) {
            const int before = LoggedQueries("A", name);
            dialog.Ask(name);
            ASSERT_TRUE(PumpUntil([&] { return dialog.m_pendingRequests.Size() == 0; }));
            const Lines answers = dialog.Lines();
            EXPECT_EQ(LoggedQueries("A", name), before + 1) << name;
            dialog.Ask(name);
            EXPECT_EQ(dialog.Lines(), answers) << name;
            std::this_thread::sleep_for(100ms);
            EXPECT_EQ(LoggedQueries("A", name), before + 1) << name << ": answered from the cache";
        }
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
    });
}

TEST(RealController, BehindASlowServerTheWaitLineStaysUntilTheAnswersArrive) {
    Relay().SetDelay(400ms);
    TestableDialog dialog;
    RunModal(dialog, [&] {
        dialog.Ask("three.nomvara.test");
        dialog.Ask("198.51.100.1");
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(dialog.Lines(), Lines{"Wait for answer..."});
        EXPECT_EQ(dialog.m_pendingRequests.Size(), 2u);
        ASSERT_TRUE(PumpUntil([&] { return dialog.m_pendingRequests.Size() == 0; }));
        EXPECT_EQ(dialog.m_answerCache.Find("three.nomvara.test")->answers.size(), 3u);
        EXPECT_EQ(dialog.m_answerCache.Find("198.51.100.1")->answers, std::vector<CString>{"three.nomvara.test"});
    });
    Relay().SetDelay(0ms);
}
