// The Get button end to end against a scripted name service.
#include <gtest/gtest.h>

#include <thread>

#include "platform/qtwindow.h"
#include "platform/winthread.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using testing_support::ScriptedResolver;
using testing_support::WaitUntil;
using Lines = std::vector<std::string>;

namespace {

const Lines kWait{"Wait for answer..."};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_lastRequestId = 0;
        resolver.AddName("three.example", {"192.0.2.30", "10.0.0.1", "192.0.2.4"});
        resolver.AddName("one.example", {"192.0.2.1"});
    }
    bool Settled(TestableDialog& dialog) {
        return PumpUntil([&] { return dialog.Pending() == 0; });
    }
    ScriptedResolver resolver;
    TestableDialog dialog;
};

}  // namespace

TEST_F(ControllerTest, AMissShowsTheWaitLineThenTheAnswersInSortedOrder) {
    resolver.HoldName("three.example");
    RunModal(dialog, [&] {
        dialog.Ask("three.example");
        EXPECT_EQ(dialog.Lines(), kWait);
        EXPECT_EQ(g_lastRequestId, 1u);
        ASSERT_TRUE(WaitUntil([&] { return resolver.Waiting() == 1; }));  // inside the name service
        QCoreApplication::processEvents();
        EXPECT_EQ(dialog.Lines(), kWait) << "nothing replaces the wait line before the completion";
        resolver.ReleaseName("three.example");
        ASSERT_TRUE(Settled(dialog));
        EXPECT_EQ(dialog.Lines(), (Lines{"10.0.0.1", "192.0.2.30", "192.0.2.4"}));
        EXPECT_EQ(dialog.m_answerCache.Find("three.example")->request.answers,
                  (std::vector<CString>{"192.0.2.30", "10.0.0.1", "192.0.2.4"}));
    });
}

TEST_F(ControllerTest, AskingAgainAnswersFromTheCacheWithoutIdThreadOrNameService) {
    RunModal(dialog, [&] {
        for (const char* query : {"one.example", "unknown.example"}) {
            dialog.Ask(query);
            ASSERT_TRUE(Settled(dialog));
            const Lines first = dialog.Lines();
            const int calls = resolver.Calls();
            const std::uint32_t lastId = g_lastRequestId;
            dialog.Ask(std::string("another ") + query);
            ASSERT_TRUE(Settled(dialog));
            dialog.Ask(query);
            EXPECT_EQ(dialog.Lines(), first) << query << ": at once, before any event runs";
            EXPECT_EQ(resolver.Calls(), calls + 1) << query << ": only the other text was resolved";
            EXPECT_EQ(g_lastRequestId, lastId + 1) << query;
            EXPECT_EQ(dialog.Pending(), 0u);
        }
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
    });
}

TEST_F(ControllerTest, ScreenReadersAreToldTheFirstLinesAsShownHowManyMoreAndTheDescriptionWhileTheyHold) {
    if (!TestableDialog::kToldInTree)
        GTEST_SKIP() << "Qt announces the answer to screen readers alone";
    resolver.AddName("five.example", {"192.0.2.5", "192.0.2.1", "192.0.2.4", "192.0.2.3", "192.0.2.2"});
    resolver.HoldIpv6();
    struct Case {
        const char* query;
        std::string told, toldFromMemory;
    };
    const Case cases[] = {
        {"five.example", "192.0.2.1, 192.0.2.2, 192.0.2.3 and 2 more. five.example: 5 addresses; IPv6 still being asked (N ms)",
         "192.0.2.1, 192.0.2.2, 192.0.2.3 and 2 more. five.example: From memory. First lookup: 5 addresses; IPv6 still being asked (N ms)"},
        {"unknown.example", "Can`t Resolve!. unknown.example: No such name (answered in N ms)",
         "Can`t Resolve!. unknown.example: From memory. First lookup: No such name (answered in N ms)"},
    };
    RunModal(dialog, [&] {
        ASSERT_TRUE(PumpUntil([&] { return dialog.IsActive(); }));
        for (const Case& each : cases) {
            dialog.Ask(each.query);
            EXPECT_EQ(dialog.Announced(), "") << each.query << ": the answer before is no longer told";
            ASSERT_TRUE(Settled(dialog));
            EXPECT_EQ(testing_support::WithoutTimes(dialog.Announced()), each.told);
            dialog.Ask(each.query);
            EXPECT_EQ(testing_support::WithoutTimes(dialog.Announced()), each.toldFromMemory);
        }
        // Nobody is told while the user is in another window; the list still describes the answer.
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(PumpUntil([&] { return !dialog.IsActive(); }));
        dialog.Ask("one.example");
        ASSERT_TRUE(Settled(dialog));
        EXPECT_EQ(testing_support::WithoutTimes(dialog.Description()), "one.example: 1 address; IPv6 still being asked (N ms)");
        EXPECT_EQ(dialog.Announced(), "");
    });
}

TEST_F(ControllerTest, TheQueryIsItsFirst49CharactersAndMayBeEmpty) {
    const std::string longQuery = "a" + std::string(59, 'b');
    RunModal(dialog, [&] {
        dialog.Ask(longQuery);
        ASSERT_TRUE(Settled(dialog));
        EXPECT_NE(dialog.m_answerCache.Find(CString(longQuery.substr(0, 49))), nullptr);
        EXPECT_EQ(dialog.m_answerCache.Find(CString(longQuery)), nullptr);
        dialog.Ask("");
        EXPECT_EQ(g_lastRequestId, 2u) << "the empty text takes an id like any other";
        ASSERT_TRUE(Settled(dialog));
        ASSERT_NE(dialog.m_answerCache.Find(""), nullptr);
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
    });
}

TEST_F(ControllerTest, TheSameTextTwiceInFlightTakesTwoIdsAndTheCacheKeepsTheFirstHandled) {
    resolver.HoldName("one.example");
    RunModal(dialog, [&] {
        dialog.Ask("one.example");
        dialog.Ask("one.example");
        EXPECT_EQ(g_lastRequestId, 2u);
        EXPECT_EQ(dialog.Pending(), 2u);
        resolver.ReleaseOne("one.example");
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 1; }));
        EXPECT_EQ(dialog.Lines(), Lines{"192.0.2.1"});
        resolver.AddName("one.example", {"192.0.2.2"});
        resolver.ReleaseOne("one.example");
        ASSERT_TRUE(Settled(dialog));
        EXPECT_EQ(dialog.Lines(), Lines{"192.0.2.2"}) << "the completion handled last replaces the list";
        EXPECT_EQ(dialog.m_answerCache.Find("one.example")->request.answers, std::vector<CString>{"192.0.2.1"});
    });
}

TEST_F(ControllerTest, ACompletionWithAnUnknownIdEmptiesTheListAndAnswersZero) {
    RunModal(dialog, [&] {
        dialog.Ask("one.example");
        ASSERT_TRUE(Settled(dialog));
        for (WPARAM code : {WPARAM(6), WPARAM(0), WPARAM(12345)}) {
            EXPECT_EQ(dialog.SendMessage(WM_LOOKUP_DONE, code, 999), 0);
            EXPECT_TRUE(dialog.Lines().empty());
        }
        EXPECT_EQ(dialog.m_answerCache.Find("one.example")->request.requestId, 1u) << "the tables are unchanged";
    });
}

TEST_F(ControllerTest, ACompletionArrivingWhileTheAboutBoxIsOpenFillsTheMainList) {
    resolver.HoldName("one.example");
    RunModal(dialog, [&] {
        dialog.Ask("one.example");
        bool checkedInside = false;
        QTimer::singleShot(0, [&] {
            CDialog* about = testing_support::ActiveModal();
            ASSERT_EQ(platform::InnermostModalRun()->templateId, IDD_ABOUTBOX);
            resolver.ReleaseName("one.example");
            EXPECT_TRUE(Settled(dialog));
            EXPECT_EQ(dialog.Lines(), Lines{"192.0.2.1"});
            checkedInside = testing_support::ActiveModal() == about;
            about->EndDialog(IDCANCEL);
        });
        dialog.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
        EXPECT_TRUE(checkedInside);
    });
}

TEST_F(ControllerTest, AThreadThatCannotStartUsesUpItsIdAndLeaksNothing) {
    RunModal(dialog, [&] {
        SetThreadCreationFails(true);
        EXPECT_FALSE(dialog.StartLookup("one.example"));
        dialog.Ask("one.example");
        SetThreadCreationFails(false);
        EXPECT_EQ(dialog.Lines(), kWait) << "the wait line stays";
        EXPECT_EQ(dialog.Description().rfind("one.example: The lookup could not be started", 0), 0u) << dialog.Description();
        EXPECT_EQ(g_lastRequestId, 2u);
        EXPECT_TRUE(dialog.m_pendingRequests.Contains(1) && dialog.m_pendingRequests.Contains(2)) << "the records stay until the dialog ends";
        dialog.Ask("one.example");
        EXPECT_EQ(g_lastRequestId, 3u);
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 2; }));
        EXPECT_EQ(dialog.Lines(), Lines{"192.0.2.1"});
    });
}

TEST_F(ControllerTest, ReplacingTheResolverWithNineNamesIpv6QuestionsOutWaitsForNone) {
    RunModal(dialog, [&] {
        auto held = std::make_unique<ScriptedResolver>();
        held->AnswerEverything({0, "any", {testing_support::Address("192.0.2.9")}, {"2001:db8::9"}});
        held->HoldIpv6();
        for (int i = 0; i < 9; ++i)
            dialog.Ask("name" + std::to_string(i) + ".example");
        ASSERT_TRUE(Settled(dialog));
        ASSERT_TRUE(WaitUntil([&] { return held->Ipv6Waiting() == 8; }));
        held.reset();  // lets its questions go and puts the C library's resolver back
        EXPECT_TRUE(PumpUntil([&] {
            for (int i = 0; i < 9; ++i)
                if (dialog.m_answerCache.Find(CString("name" + std::to_string(i) + ".example"))->report.ipv6.state !=
                    Ipv6Answer::State::Addresses)
                    return false;
            return true;
        })) << "every late answer reaches the dialog";
    });
}

TEST(ControllerSafeEnd, ClosingWithLookupsInFlightTouchesNothingAfterwards) {
    ScriptedResolver resolver;
    resolver.AddName("slow.example", {"192.0.2.5"});
    resolver.HoldName("slow.example");
    int finishedBefore = 0;
    const int threadsBefore = testing_support::ProcessStatus("Threads:");
    {
        TestableDialog dialog;
        RunModal(dialog, [&] {
            for (int i = 0; i < 20; ++i)
                dialog.Ask("slow.example");
            ASSERT_TRUE(PumpUntil([&] { return resolver.Waiting() == 20; }));
            finishedBefore = resolver.Finished();
        });
    }  // window, records and tables are gone; the resolvers are still waiting
    resolver.Release();
    EXPECT_TRUE(PumpUntil([&] { return resolver.Finished() == finishedBefore + 20; }));
    // Every resolver thread has ended; AddressSanitizer has reported any write to a freed record.
    EXPECT_TRUE(WaitUntil([&] { return testing_support::ProcessStatus("Threads:") <= threadsBefore; }));
}
