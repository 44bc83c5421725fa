// What became of a lookup, told by the answer list's description, against a scripted name service.
#include <gtest/gtest.h>

#include "lookup/lookupreport.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using testing_support::ScriptedResolver;
using Lines = std::vector<std::string>;

namespace {

class OutcomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_lastRequestId = 0;
        resolver.AddName("three.example", {"192.0.2.30", "10.0.0.1", "192.0.2.4"});
        resolver.AddName("one.example", {"192.0.2.1"});
        resolver.AddName("empty.example", {});
        resolver.AddName("slow.example", {}, winsock::WSATRY_AGAIN);
        resolver.AddName("broken.example", {}, winsock::WSANO_RECOVERY);
        resolver.AddName("down.example", {}, winsock::WSASYSNOTREADY);
        resolver.AddAddress("192.0.2.1", "one.example");
    }
    void Settle() { ASSERT_TRUE(PumpUntil([&] { return dialog.m_pendingRequests.Size() == 0; })); }
    ScriptedResolver resolver;
    TestableDialog dialog;
};

// "(12 ms)" and the like become "(N ms)": the times are the resolver's own.
std::string WithoutTimes(std::string text) {
    for (size_t at = text.find(" ms"); at != std::string::npos; at = text.find(" ms", at + 3)) {
        size_t digits = at;
        while (digits > 0 && (std::isdigit(static_cast<unsigned char>(text[digits - 1])) || text[digits - 1] == ','))
            --digits;
        text.replace(digits, at - digits, "N");
        at = digits;
    }
    return text;
}

}  // namespace

TEST(LookupReportText, SaysWhatBecameOfTheLookupAndItsTime) {
    struct Case {
        LookupReport report;
        size_t lines;
        const char* text;
    };
    const Case cases[] = {
        {{LookupOutcome::Answered, false, 41ms}, 3, "3 addresses (41 ms)"},
        {{LookupOutcome::Answered, false, 7ms}, 1, "1 address (7 ms)"},
        {{LookupOutcome::Answered, true, 12ms}, 1, "Its registered name (12 ms)"},
        {{LookupOutcome::NoSuchName, false, 12ms}, 1, "No such name (answered in 12 ms)"},
        {{LookupOutcome::NoSuchName, true, 3ms}, 1, "No name is registered for this address (answered in 3 ms)"},
        {{LookupOutcome::NoIpv4Address, false, 8ms}, 0, "The name exists but has no IPv4 address (8 ms)"},
        {{LookupOutcome::NoAnswer, false, 5004ms}, 1, "The DNS server did not answer in time, or refused for now (5,004 ms)"},
        {{LookupOutcome::NoAnswer, false, 1234567ms}, 1, "The DNS server did not answer in time, or refused for now (1,234,567 ms)"},
        {{LookupOutcome::ServerFailure, false, 999ms}, 1, "The DNS server failed or refused (999 ms)"},
        {{LookupOutcome::ServiceDown, false, 0ms}, 1, "The name service could not start (0 ms)"},
        {{LookupOutcome::NotAName, false, 0ms}, 1, "Not a name or address: empty, or it starts with a blank or control character"},
    };
    for (const Case& each : cases)
        EXPECT_EQ(Describe(each.report, each.lines), each.text);
}

TEST_F(OutcomeTest, EachCompletionDescribesItsOutcomeAndLeavesTheLinesAsTheyWere) {
    struct Case {
        const char* query;
        Lines lines;
        const char* description;
    };
    const Case cases[] = {
        {"three.example", {"10.0.0.1", "192.0.2.30", "192.0.2.4"}, "3 addresses (N ms)"},
        {"192.0.2.1", {"one.example"}, "Its registered name (N ms)"},
        {"unknown.example", {"Can`t Resolve!"}, "No such name (answered in N ms)"},
        {"192.0.2.99", {"Can`t Resolve!"}, "No name is registered for this address (answered in N ms)"},
        {"empty.example", {}, "The name exists but has no IPv4 address (N ms)"},
        {"slow.example", {"Can`t Resolve!"}, "The DNS server did not answer in time, or refused for now (N ms)"},
        {"broken.example", {"Can`t Resolve!"}, "The DNS server failed or refused (N ms)"},
        {"down.example", {"Can`t Resolve!"}, "The name service could not start (N ms)"},
        {" one.example", {"Can`t Resolve!"}, "Not a name or address: empty, or it starts with a blank or control character"},
    };
    RunModal(dialog, [&] {
        for (const Case& each : cases) {
            dialog.Ask(each.query);
            Settle();
            EXPECT_EQ(dialog.Lines(), each.lines) << each.query;
            EXPECT_EQ(WithoutTimes(dialog.Description()), each.description) << each.query;
        }
    });
}

TEST_F(OutcomeTest, WhileWaitingItNamesTheTextAndFromMemoryItDescribesTheFirstLookup) {
    resolver.HoldName("three.example");
    RunModal(dialog, [&] {
        dialog.Ask("three.example");
        EXPECT_EQ(dialog.Description().rfind("Looking up \"three.example\" since ", 0), 0u) << dialog.Description();
        resolver.ReleaseName("three.example");
        Settle();
        const std::string first = dialog.Description();
        dialog.Ask("one.example");
        Settle();
        dialog.Ask("three.example");
        EXPECT_EQ(dialog.Description(), "From memory. First lookup: " + first);
        dialog.Ask("unknown.example");
        Settle();
        dialog.Ask("unknown.example");
        EXPECT_EQ(WithoutTimes(dialog.Description()), "From memory. First lookup: No such name (answered in N ms)");
    });
}

TEST_F(OutcomeTest, TheDescriptionIsTheCompletionHandledLast) {
    resolver.HoldName("three.example");
    RunModal(dialog, [&] {
        dialog.Ask("three.example");
        dialog.Ask("unknown.example");
        ASSERT_TRUE(PumpUntil([&] { return dialog.m_pendingRequests.Size() == 1; }));
        EXPECT_EQ(WithoutTimes(dialog.Description()), "No such name (answered in N ms)");
        resolver.ReleaseName("three.example");
        Settle();
        EXPECT_EQ(WithoutTimes(dialog.Description()), "3 addresses (N ms)");
        EXPECT_EQ(dialog.SendMessage(WM_LOOKUP_DONE, 6, 999), 0);
        EXPECT_EQ(dialog.Description(), "") << "an empty list has nothing to describe";
    });
}

TEST_F(OutcomeTest, TheTimeRunsFromTheQuestionToTheAnswer) {
    resolver.HoldName("one.example");
    RunModal(dialog, [&] {
        dialog.Ask("one.example");
        ASSERT_TRUE(testing_support::WaitUntil([&] { return resolver.Waiting() == 1; }));
        const auto held = std::chrono::steady_clock::now();
        ASSERT_TRUE(testing_support::WaitUntil([&] { return std::chrono::steady_clock::now() - held >= 150ms; }));
        resolver.ReleaseName("one.example");
        Settle();
        const std::string text = dialog.Description();
        const int took = std::stoi(text.substr(text.find('(') + 1));
        EXPECT_GE(took, 150) << text;
    });
}
