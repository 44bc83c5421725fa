// What became of a lookup, told by the answer list's description, against a scripted name service.
#include <netdb.h>

#include <gtest/gtest.h>

#include <QCursor>
#include <QToolTip>

#include "lookup/lookupreport.h"
#include "tests/support.h"
#include "tests/ui/outcomecases.h"

using namespace std::chrono_literals;
using testing_support::PumpUntil;
using testing_support::RunModal;
using testing_support::ScriptedResolver;
using testing_support::WithoutTimes;
using Lines = std::vector<std::string>;

namespace {

class OutcomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_lastRequestId = 0;
        resolver.AddName("three.example", {"192.0.2.30", "10.0.0.1", "192.0.2.4"});
        resolver.AddName("one.example", {"192.0.2.1"});
        resolution_cases::ScriptTheTestZone(resolver);
    }
    // Every lookup done, and the shown one's IPv6 answer in, unless a test holds it.
    void Settle(bool ipv6Held = false) {
        ASSERT_TRUE(PumpUntil([&] {
            return dialog.Pending() == 0 &&
                   (ipv6Held || dialog.Description().find("IPv6 still being asked") == std::string::npos);
        }));
    }
    ScriptedResolver resolver;
    TestableDialog dialog;
};

}  // namespace

TEST(LookupReportText, SaysWhatBecameOfTheLookupTrulyForEveryErrorOfTheCLibrary) {
    constexpr QueryKind kName = QueryKind::Name, kAddress = QueryKind::Ipv4Address, kIpv6 = QueryKind::Ipv6Address;
    struct Case {
        int error;  // 0: answered
        QueryKind kind;
        const char* text;
    };
    const Case cases[] = {
        {0, kName, "3 addresses (41 ms)"},
        {0, kAddress, "Its registered name (41 ms)"},
        {EAI_NONAME, kName, "No such name (answered in 41 ms)"},
        {EAI_NONAME, kAddress, "No name found for this address: none is registered, or the server failed (answered in 41 ms)"},
        {EAI_NODATA, kName, "The name exists but has no IPv4 address (41 ms)"},
        {EAI_ADDRFAMILY, kName, "The name exists but has no IPv4 address (41 ms)"},
        {EAI_AGAIN, kName, "The DNS server did not answer in time, or refused for now (41 ms)"},
        {EAI_AGAIN, kAddress, "The DNS server did not answer in time, or refused for now (41 ms)"},
        {EAI_AGAIN, kIpv6, "The DNS server did not answer in time, or refused for now (41 ms)"},
        {EAI_NONAME, kIpv6, "An IPv6 address, with no registered name found (41 ms)"},
        {EAI_FAIL, kName, "The DNS server failed or refused (41 ms)"},
        {EAI_IDN_ENCODE, kName, "Not a valid name: it cannot be written as a DNS name, so nothing was asked"},
    };
    for (const Case& each : cases) {
        const LookupReport report{each.error ? OutcomeOfError(each.error) : LookupOutcome::Answered, each.kind, 41ms};
        EXPECT_EQ(Describe(report, 3), each.text) << each.error;
    }
    for (int local : {EAI_SYSTEM, EAI_MEMORY, EAI_FAMILY, EAI_SOCKTYPE, EAI_BADFLAGS, EAI_SERVICE, EAI_OVERFLOW, EAI_INTR, EAI_CANCELED, 1})
        EXPECT_EQ(Describe({OutcomeOfError(local), kName, 41ms}, 1), "This computer's name service could not make the lookup (41 ms)")
            << local;
    EXPECT_EQ(Describe({LookupOutcome::Answered, kName, 7ms}, 1), "1 address (7 ms)");
    EXPECT_EQ(Describe({LookupOutcome::NoAnswer, kName, 1234567ms}, 1),
              "The DNS server did not answer in time, or refused for now (1,234,567 ms)");
    EXPECT_EQ(Describe({LookupOutcome::NotAName, QueryKind::NotAName, 0ms}, 1),
              "Not a name or address: empty, or it starts with a blank or control character");
    const std::vector<std::string> six{"2001:db8::1", "2001:db8::2", "2001:db8::3", "2001:db8::4", "2001:db8::5", "2001:db8::6"};
    struct Ipv6Case {
        int error;
        std::vector<std::string> addresses;
        const char* told;  // after a name's one address
    };
    const Ipv6Case ipv6Cases[] = {
        {0, {six[0], six[1]}, "1 address; IPv6 2001:db8::1, 2001:db8::2 (7 ms)"},
        {0, six, "1 address; IPv6 2001:db8::1, 2001:db8::2, 2001:db8::3, 2001:db8::4 and 2 more (7 ms)"},
        {0, {}, "1 address (7 ms)"},
        {EAI_NODATA, {}, "1 address (7 ms)"},
        {EAI_NONAME, {}, "1 address (7 ms)"},
        {EAI_ADDRFAMILY, {}, "1 address (7 ms)"},
        {EAI_AGAIN, {}, "1 address; IPv6 got no answer (7 ms)"},
        {EAI_FAIL, {}, "1 address; IPv6 got no answer (7 ms)"},
        {EAI_SYSTEM, {}, "1 address; IPv6 could not be asked (7 ms)"},
        {EAI_MEMORY, {}, "1 address; IPv6 could not be asked (7 ms)"},
    };
    for (const Ipv6Case& each : ipv6Cases)
        EXPECT_EQ(Describe({LookupOutcome::Answered, kName, 7ms, Ipv6AnswerOf(each.error, each.addresses)}, 1), each.told)
            << each.error;
    EXPECT_EQ(Describe({LookupOutcome::Answered, kName, 7ms, {Ipv6Answer::State::Asking}}, 1), "1 address; IPv6 still being asked (7 ms)");
    EXPECT_EQ(Describe({LookupOutcome::Answered, kName, 7ms, {Ipv6Answer::State::LeftUnasked}}, 1),
              "1 address; IPv6 not asked, as the last few IPv6 questions got no answer (7 ms)");
    EXPECT_EQ(Describe({LookupOutcome::NoAddressOfFamily, kName, 7ms, Ipv6AnswerOf(0, {six[0]})}, 0),
              "The name exists but has no IPv4 address; IPv6 2001:db8::1 (7 ms)");
    EXPECT_EQ(Describe({LookupOutcome::Answered, kIpv6, 7ms, {}, "six.example"}, 1), "An IPv6 address, registered as six.example (7 ms)");
    // What the answer shows beside it, each fact only where it holds.
    using State = LeadsBack::State;
    const Own loopback{{"127.0.0.1"}, true, true};
    const std::pair<LookupReport, const char*> facts[] = {
        {{.took = 7ms, .knownAs = "printer.corp.example"}, "1 address, known as printer.corp.example (7 ms)"},
        {{.took = 7ms, .ipv6 = {Ipv6Answer::State::Addresses, {"::1", "fd00::1"}, {{"::1"}, false, true}}, .own = loopback},
         "1 address, this computer, loopback; IPv6 ::1, fd00::1, ::1 is this computer, loopback (7 ms)"},
        {{.took = 7ms, .own = {{"192.0.2.5"}, false, false}}, "1 address, 192.0.2.5 is this computer (7 ms)"},
        {{.took = 7ms, .ipv6 = {Ipv6Answer::State::Addresses, {"64:ff9b::c000:20b", "2001:db8::1"}}},
         "1 address; IPv6 64:ff9b::c000:20b (NAT64 for 192.0.2.11), 2001:db8::1 (7 ms)"},
        {{.kind = kAddress, .took = 7ms, .leadsBack = {State::Checking, "h.example"}}, "Its registered name, checking that it leads back (7 ms)"},
        {{.kind = kIpv6, .took = 7ms, .ipv6Name = "h.example", .address = "64:ff9b::c000:20b", .leadsBack = {State::CouldNotCheck, "h"}},
         "An IPv6 address (NAT64 for 192.0.2.11), registered as h.example, could not check that it leads back (7 ms)"},
        {{.kind = kIpv6, .took = 7ms, .ipv6Name = "h.example", .leadsBack = {State::No, "h.example"}},
         "An IPv6 address, registered as h.example, which does not lead back to this address: h.example has no IPv6 address (7 ms)"},
        {{.outcome = LookupOutcome::NoSuchName, .took = 7ms, .lookAlike = {LookAlike::Kind::MixedScripts, {"Cyrillic", "Greek", "Latin"}}},
         "mixes Cyrillic, Greek and Latin letters, which can look alike; no such name (answered in 7 ms)"},
        {{.took = 7ms, .lookAlike = {LookAlike::Kind::MixedScripts, {"Latin"}}}, "1 address (7 ms)"},
    };
    for (const auto& [report, told] : facts)
        EXPECT_EQ(Describe(report, 1), told);
    // Each description begins with its query, quoted where a blank at an end, or nothing, would be lost.
    EXPECT_EQ(DescribeLookup("<b>x</b>", {LookupOutcome::Answered, kName, 7ms}, 1), "<b>x</b>: 1 address (7 ms)");
    EXPECT_EQ(DescribeLookup("", {LookupOutcome::NotAName}, 1).rfind("\"\": Not a name", 0), 0u);
    EXPECT_EQ(DescribeLookup(" x ", {LookupOutcome::NotAName}, 1).rfind("\" x \": Not a name", 0), 0u);
}

TEST_F(OutcomeTest, EachCompletionDescribesItsOutcomeAndLeavesTheLinesAsTheyWere) {
    RunModal(dialog, [&] { outcome_cases::Play(dialog, resolution_cases::Plays::ScriptedOnly); });
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
        EXPECT_EQ(dialog.Description(), "three.example: From memory. First lookup: " + first.substr(first.find(": ") + 2));
        dialog.Ask("unknown.example");
        Settle();
        dialog.Ask("unknown.example");
        EXPECT_EQ(WithoutTimes(dialog.Description()), "unknown.example: From memory. First lookup: No such name (answered in N ms)");
    });
}

TEST_F(OutcomeTest, AnIpv6AnswerThatComesLateIsToldWithItsLookupKeptWithItAndNotSpokenAgain) {
    const auto described = [&](const std::string& text) {
        PumpUntil([&] { return WithoutTimes(dialog.Description()) == text; });
        return WithoutTimes(dialog.Description());
    };
    resolver.HoldIpv6();
    RunModal(dialog, [&] {
        ASSERT_TRUE(PumpUntil([&] { return dialog.IsActive(); }));
        dialog.Ask("dual.nomvara.test");
        Settle(true);
        EXPECT_EQ(WithoutTimes(dialog.Description()), "dual.nomvara.test: 1 address; IPv6 still being asked (N ms)");
        const std::string spoken = dialog.Announced();
        EXPECT_TRUE(!spoken.empty() || !TestableDialog::kToldInTree);
        resolver.ReleaseIpv6();
        EXPECT_EQ(described("dual.nomvara.test: 1 address; IPv6 fd00:5e57::20 (N ms)"),
                  "dual.nomvara.test: 1 address; IPv6 fd00:5e57::20 (N ms)");
        EXPECT_EQ(dialog.Announced(), spoken) << "told once";
        dialog.Ask("dual.nomvara.test");
        EXPECT_EQ(WithoutTimes(dialog.Description()), "dual.nomvara.test: From memory. First lookup: 1 address; IPv6 fd00:5e57::20 (N ms)");

        resolver.HoldIpv6();
        dialog.Ask("v6only.nomvara.test");
        Settle(true);
        dialog.Ask("v6only.nomvara.test");
        const std::string fromMemory = "v6only.nomvara.test: From memory. First lookup: The name exists but has no IPv4 address";
        EXPECT_EQ(WithoutTimes(dialog.Description()), fromMemory + "; IPv6 still being asked (N ms)");
        resolver.ReleaseIpv6();
        EXPECT_EQ(described(fromMemory + "; IPv6 fd00:5e57::99 (N ms)"), fromMemory + "; IPv6 fd00:5e57::99 (N ms)");

        // A registered name is asked for its addresses only after the answer lines are shown.
        resolver.HoldName("three.nomvara.test");
        dialog.Ask("198.51.100.1");
        Settle();
        EXPECT_EQ(WithoutTimes(dialog.Description()), "198.51.100.1: Its registered name, checking that it leads back (N ms)");
        const std::string told = dialog.Announced();
        resolver.ReleaseName("three.nomvara.test");
        const std::string leadsBack = "198.51.100.1: Its registered name, which leads back to this address (N ms)";
        EXPECT_EQ(described(leadsBack), leadsBack);
        EXPECT_EQ(dialog.Announced(), told) << "told once";
        dialog.Ask("198.51.100.1");
        EXPECT_EQ(WithoutTimes(dialog.Description()), "198.51.100.1: From memory. First lookup: Its registered name, which leads back to this address (N ms)");

        // A late answer is told only with its own lookup.
        dialog.Ask("one.example");
        Settle();
        resolver.HoldIpv6();
        dialog.Ask("v6silent.nomvara.test");
        Settle(true);
        dialog.Ask("one.example");
        const std::string shown = dialog.Description();
        EXPECT_EQ(WithoutTimes(shown), "one.example: From memory. First lookup: 1 address (N ms)");
        resolver.ReleaseIpv6();
        ASSERT_TRUE(PumpUntil([&] {
            return dialog.m_answerCache.Find("v6silent.nomvara.test")->report.ipv6.state == Ipv6Answer::State::NoAnswer;
        }));
        EXPECT_EQ(dialog.Description(), shown);
    });
}

// Not over an emptied list, nor over the wait line of a newer lookup, nor for another lookup's id.
TEST_F(OutcomeTest, ALaterPartIsDrawnOnlyOverItsOwnLookupNamedByItsId) {
    const auto ipv6Of = [&](const char* query) { return dialog.m_answerCache.Find(query)->report.ipv6; };
    resolver.HoldIpv6();
    RunModal(dialog, [&] {
        dialog.Ask("many.nomvara.test");
        Settle(true);
        EXPECT_EQ(dialog.SendMessage(WM_LOOKUP_DONE, 6, 999), 0);
        dialog.Ask("dual.nomvara.test");
        Settle(true);
        resolver.HoldName("three.example");
        dialog.Ask("three.example");
        resolver.ReleaseIpv6();
        ASSERT_TRUE(PumpUntil([&] {
            return ipv6Of("many.nomvara.test").state == Ipv6Answer::State::Addresses &&
                   ipv6Of("dual.nomvara.test").state == Ipv6Answer::State::Addresses;
        }));
        EXPECT_EQ(dialog.Description().rfind("Looking up \"three.example\" since ", 0), 0u) << dialog.Description();

        resolver.ReleaseName("three.example");
        Settle();
        const std::string shown = dialog.Description();
        const LaterPart part{"three.example", Ipv6Answer{Ipv6Answer::State::Addresses, {"2001:db8::3"}}};
        const std::uint32_t id = dialog.m_answerCache.Find("three.example")->request.requestId;
        EXPECT_EQ(dialog.SendMessage(WM_LATER_PART, reinterpret_cast<WPARAM>(&part), id + 1), 0);
        EXPECT_EQ(dialog.Description(), shown);
        EXPECT_EQ(ipv6Of("three.example").state, Ipv6Answer::State::NoAddress);
        EXPECT_EQ(dialog.SendMessage(WM_LATER_PART, reinterpret_cast<WPARAM>(&part), id), 1);
        EXPECT_EQ(WithoutTimes(dialog.Description()), "three.example: 3 addresses; IPv6 2001:db8::3 (N ms)");
    });
}

TEST_F(OutcomeTest, WithTwoTextsInFlightTheListAndItsDescriptionAreTheCompletionHandledLast) {
    resolver.HoldName("three.example");
    RunModal(dialog, [&] {
        dialog.Ask("three.example");
        dialog.Ask("unknown.example");
        ASSERT_TRUE(PumpUntil([&] { return dialog.Pending() == 1; }));
        EXPECT_EQ(dialog.Lines(), Lines{"Can`t Resolve!"});
        EXPECT_EQ(WithoutTimes(dialog.Description()), "unknown.example: No such name (answered in N ms)");
        resolver.ReleaseName("three.example");
        Settle();
        EXPECT_EQ(dialog.Lines(), (Lines{"10.0.0.1", "192.0.2.30", "192.0.2.4"}));
        EXPECT_EQ(WithoutTimes(dialog.Description()), "three.example: 3 addresses (N ms)")
            << "the query it belongs to, not the one asked last";
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

TEST_F(OutcomeTest, TypedMarkupShowsAsTypedAndATooltipOnTheScreenFollowsTheList) {
    const std::string markup = "<h1>BIG</h1><img src=/etc/hosts>";
    resolver.HoldName(markup);
    RunModal(dialog, [&] {
        dialog.Ask("one.example");
        Settle();
        QWidget* list = dialog.Widget(IDC_RESPONSES);
        QToolTip::showText(list->mapToGlobal(QPoint(4, 4)), list->toolTip(), list);
        ASSERT_TRUE(QToolTip::isVisible());
        dialog.Ask(markup);  // no events between: the tooltip is still up, as under a resting pointer
        EXPECT_EQ(QToolTip::text(), list->toolTip()) << "the tooltip on the screen says what the list says now";
        EXPECT_EQ(dialog.Description().rfind("Looking up \"" + markup + "\" since ", 0), 0u) << dialog.Description();
        resolver.ReleaseName(markup);
        Settle();
    });
}
