// What the answer list and its description show for each outcome, played through the main dialog
// against the scripted name service and against the real DNS server.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/lookup/resolutioncases.h"
#include "tests/support.h"
#include "tests/ui/dialog_access.h"

namespace outcome_cases {

using resolution_cases::Plays;

struct Case {
    const char* query;
    std::vector<std::string> lines;  // as the list shows them
    const char* described;           // the list's description without its time
    Plays plays = Plays::Both;
};

inline const Case kCases[] = {
    {"three.nomvara.test", {"198.51.100.1", "198.51.100.2", "198.51.100.3"}, "three.nomvara.test: 3 addresses"},
    {"198.51.100.1", {"three.nomvara.test"}, "198.51.100.1: Its registered name, which leads back to this address"},
    {"3325256705", {"three.nomvara.test"}, "3325256705: read as 198.51.100.1; its registered name, which leads back to this address"},
    {"198.51.100.61", {"n1.nomvara.test"},
     "198.51.100.61: Its registered name, which does not lead back to this address: n1.nomvara.test has 198.51.100.101"},
    {"nothere.nomvara.test", {"Can`t Resolve!"}, "nothere.nomvara.test: No such name"},
    {"198.51.100.200", {"Can`t Resolve!"},
     "198.51.100.200: No name found for this address: none is registered, or the server failed"},
    {"v6only.nomvara.test", {}, "v6only.nomvara.test: The name exists but has no IPv4 address; IPv6 fd00:5e57::99"},
    {"dual.nomvara.test", {"198.51.100.20"}, "dual.nomvara.test: 1 address; IPv6 fd00:5e57::20"},
    // The C library orders several IPv6 addresses by its own rules: only the script's order is known.
    {"many.nomvara.test", {},
     "many.nomvara.test: The name exists but has no IPv4 address; IPv6 fd00:5e57::31, fd00:5e57::32, fd00:5e57::33, "
     "fd00:5e57::34 and 2 more",
     Plays::ScriptedOnly},
    {"v6silent.nomvara.test", {"198.51.100.21"}, "v6silent.nomvara.test: 1 address; IPv6 got no answer", Plays::ScriptedOnly},
    {"v6down.nomvara.test", {"198.51.100.22"}, "v6down.nomvara.test: 1 address; IPv6 could not be asked", Plays::ScriptedOnly},
    {"fd00:5e57::99", {"Can`t Resolve!"}, "fd00:5e57::99: An IPv6 address, registered as v6only.nomvara.test, which leads back to this address"},
    {"nat64.nomvara.test", {}, "nat64.nomvara.test: The name exists but has no IPv4 address; IPv6 64:ff9b::c000:20b (NAT64 for 192.0.2.11)"},
    // The name the name service gives: through the search list, an alias, the hosts file's first name, IDNA.
    {"three", {"198.51.100.1", "198.51.100.2", "198.51.100.3"}, "three: 3 addresses, known as three.nomvara.test", Plays::RealOnly},
    {"alias.nomvara.test", {"198.51.100.60"}, "alias.nomvara.test: 1 address, known as canonical.nomvara.test", Plays::RealOnly},
    {"second-name.nomvara.test", {"198.51.100.51"}, "second-name.nomvara.test: 1 address, known as first.nomvara.test", Plays::RealOnly},
    {"b\u00fccher.nomvara.test", {"198.51.100.62"}, "b\u00fccher.nomvara.test: 1 address, known as xn--bcher-kva.nomvara.test", Plays::RealOnly},
    {"\u0430pple.nomvara.test", {"Can`t Resolve!"},
     "\u0430pple.nomvara.test: mixes Cyrillic and Latin letters, which can look alike; no such name"},
    {"\u0430\u0440\u0440\u04cf\u0435.nomvara.test", {"Can`t Resolve!"},
     "\u0430\u0440\u0440\u04cf\u0435.nomvara.test: written in Cyrillic letters that look like Latin ones; no such name"},
    {"localhost", {"127.0.0.1"}, "localhost: 1 address, this computer, loopback; IPv6 ::1, this computer, loopback", Plays::RealOnly},
    {"loopname.nomvara.test", {"127.0.1.1"}, "loopname.nomvara.test: 1 address, this computer, loopback", Plays::RealOnly},
    // In the test zone the server says that no name is registered; outside it, it refuses, which the C
    // library tells as a temporary failure.
    {"fd00:5e57::1234", {"Can`t Resolve!"}, "fd00:5e57::1234: An IPv6 address, with no registered name found"},
    {"2001:db8::1", {"Can`t Resolve!"}, "2001:db8::1: The DNS server did not answer in time, or refused for now", Plays::RealOnly},
    {"fd00:5e57::98", {"Can`t Resolve!"}, "fd00:5e57::98: The DNS server did not answer in time, or refused for now",
     Plays::ScriptedOnly},
    // Text with a colon is no IPv6 address for that alone.
    {"host:80", {"Can`t Resolve!"}, "host:80: No such name", Plays::ScriptedOnly},
    {"4294967295", {"broadcast.nomvara.test"},
     "4294967295: read as 255.255.255.255; its registered name, which does not lead back to this address: broadcast.nomvara.test has "
     "no IPv4 address"},
    // The server refuses names outside its zone; the C library reports that as a temporary failure,
    // as it does a server that never answers.
    {"www.example.com", {"Can`t Resolve!"}, "www.example.com: The DNS server did not answer in time, or refused for now",
     Plays::RealOnly},
    {"slow.nomvara.test", {"Can`t Resolve!"}, "slow.nomvara.test: The DNS server did not answer in time, or refused for now",
     Plays::ScriptedOnly},
    {"broken.nomvara.test", {"Can`t Resolve!"}, "broken.nomvara.test: The DNS server failed or refused", Plays::ScriptedOnly},
    {"down.nomvara.test", {"Can`t Resolve!"}, "down.nomvara.test: This computer's name service could not make the lookup",
     Plays::ScriptedOnly},
    // IDNA has no form for a snowman: the name never leaves the machine.
    {"a\u2603b.nomvara.test", {"Can`t Resolve!"},
     "a\u2603b.nomvara.test: Not a valid name: it cannot be written as a DNS name, so nothing was asked", Plays::RealOnly},
    {"", {"Can`t Resolve!"}, "\"\": Not a name or address: empty, or it starts with a blank or control character"},
    {" three.nomvara.test", {"Can`t Resolve!"},
     "\" three.nomvara.test\": Not a name or address: empty, or it starts with a blank or control character"},
    {"three.nomvara.test ", {"Can`t Resolve!"}, "\"three.nomvara.test \": No such name", Plays::ScriptedOnly},
};

// A description without its time, which comes last.
inline std::string Kind(const std::string& text) { return text.substr(0, text.rfind(" (")); }

// Asks each case that `player` can play, in a running dialog, and checks its list and description once
// the later parts of it, which may come after its lines, are in.
inline void Play(TestableDialog& dialog, Plays player) {
    int played = 0;
    for (const Case& each : kCases) {
        if (each.plays != Plays::Both && each.plays != player)
            continue;
        ++played;
        dialog.Ask(each.query);
        ASSERT_TRUE(testing_support::PumpUntil([&] { return dialog.Pending() == 0; })) << each.query;
        EXPECT_EQ(dialog.Lines(), each.lines) << each.query;
        testing_support::PumpUntil([&] {
            const std::string told = dialog.Description();
            return told.find("still being asked") == std::string::npos && told.find("checking that it leads back") == std::string::npos;
        });
        EXPECT_EQ(Kind(dialog.Description()), each.described);
    }
    ASSERT_GT(played, 10) << "the table plays";
}

}  // namespace outcome_cases
