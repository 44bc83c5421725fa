// What the answer list and its description show for each outcome, played through the main dialog
// against the scripted name service and against the real DNS server.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lookup/lookupreport.h"
#include "tests/lookup/resolutioncases.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

namespace outcome_cases {

using resolution_cases::Plays;

struct Case {
    const char* query;
    std::vector<std::string> lines;  // as the list shows them
    LookupOutcome outcome;
    bool reverse;
    Plays plays = Plays::Both;
    std::vector<std::string> ipv6 = {};  // the name's, as the description tells them
    const char* ipv6Name = "";          // a typed IPv6 address's
};

inline const Case kCases[] = {
    {"three.nomvara.test", {"198.51.100.1", "198.51.100.2", "198.51.100.3"}, LookupOutcome::Answered, false},
    {"198.51.100.1", {"three.nomvara.test"}, LookupOutcome::Answered, true},
    {"nothere.nomvara.test", {"Can`t Resolve!"}, LookupOutcome::NoSuchName, false},
    {"198.51.100.200", {"Can`t Resolve!"}, LookupOutcome::NoSuchName, true},
    {"v6only.nomvara.test", {}, LookupOutcome::NoIpv4Address, false, Plays::Both, {"fd00:5e57::99"}},
    {"dual.nomvara.test", {"198.51.100.20"}, LookupOutcome::Answered, false, Plays::Both, {"fd00:5e57::20"}},
    // The C library orders several IPv6 addresses by its own rules: only the script's order is known.
    {"many.nomvara.test", {}, LookupOutcome::NoIpv4Address, false, Plays::ScriptedOnly,
     {"fd00:5e57::31", "fd00:5e57::32", "fd00:5e57::33", "fd00:5e57::34", "fd00:5e57::35", "fd00:5e57::36"}},
    {"fd00:5e57::99", {"Can`t Resolve!"}, LookupOutcome::Ipv6Address, true, Plays::Both, {}, "v6only.nomvara.test"},
    {"2001:db8::1", {"Can`t Resolve!"}, LookupOutcome::Ipv6Address, true},
    {"4294967295", {"broadcast.nomvara.test"}, LookupOutcome::Answered, true},
    // The server refuses names outside its zone; the C library reports that as a temporary failure,
    // as it does a server that never answers.
    {"www.example.com", {"Can`t Resolve!"}, LookupOutcome::NoAnswer, false, Plays::RealOnly},
    {"slow.nomvara.test", {"Can`t Resolve!"}, LookupOutcome::NoAnswer, false, Plays::ScriptedOnly},
    {"broken.nomvara.test", {"Can`t Resolve!"}, LookupOutcome::ServerFailure, false, Plays::ScriptedOnly},
    {"down.nomvara.test", {"Can`t Resolve!"}, LookupOutcome::LocalFailure, false, Plays::ScriptedOnly},
    // IDNA has no form for a snowman: the name never leaves the machine.
    {"a\u2603b.nomvara.test", {"Can`t Resolve!"}, LookupOutcome::NotValidName, false, Plays::RealOnly},
    {"", {"Can`t Resolve!"}, LookupOutcome::NotAName, false},
    {" three.nomvara.test", {"Can`t Resolve!"}, LookupOutcome::NotAName, false},
};

// A description without its time.
inline std::string Kind(const std::string& text) { return text.substr(0, text.find(" (")); }

// Asks each case that `player` can play, in a running dialog, and checks its list and description.
inline void Play(TestableDialog& dialog, Plays player) {
    for (const Case& each : kCases) {
        if (each.plays != Plays::Both && each.plays != player)
            continue;
        dialog.Ask(each.query);
        ASSERT_TRUE(testing_support::PumpUntil([&] { return dialog.m_pendingRequests.Size() == 0; })) << each.query;
        EXPECT_EQ(dialog.Lines(), each.lines) << each.query;
        const LookupReport report{each.outcome, each.reverse, {}, each.ipv6, false, each.ipv6Name};
        EXPECT_EQ(Kind(dialog.Description()), Kind(DescribeLookup(each.query, report, each.lines.size()))) << each.query;
    }
}

}  // namespace outcome_cases
