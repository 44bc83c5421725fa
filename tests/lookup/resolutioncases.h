// The resolution cases, played against the scripted name service and against the real DNS server,
// whose test zone (tests/e2e/netns-run) the script copies.
#pragma once

#include <netdb.h>

#include <string>
#include <vector>

#include "lookup/lookuprequest.h"
#include "lookup/resolvequery.h"
#include "tests/scriptedresolver.h"

namespace resolution_cases {

enum class Plays { Both, ScriptedOnly, RealOnly };

struct Case {
    const char* name;
    const char* query;
    std::vector<CString> answers;
    int calls;  // questions to the scripted name service
    Plays plays = Plays::Both;
};

// A registered name of 199 bytes, as the test zone serves it for 198.51.100.9.
inline const std::string kLongName =
    std::string(60, 'a') + "." + std::string(60, 'b') + "." + std::string(60, 'c') + ".long.nomvara.test";

inline const std::vector<CString> kFailure{CANT_RESOLVE};

inline const Case kCases[] = {
    // The real order of several addresses is the service's, checked against getaddrinfo apart.
    {"letter_name", "three.nomvara.test", {"198.51.100.1", "198.51.100.3", "198.51.100.2"}, 1, Plays::ScriptedOnly},
    {"dotted_address", "198.51.100.1", {"three.nomvara.test"}, 1},
    {"address_without_name", "198.51.100.200", kFailure, 1},
    {"broadcast_literal_is_an_address", "255.255.255.255", {"broadcast.nomvara.test"}, 1},
    {"digit_leading_name", "1e100.nomvara.test", {"198.51.100.7"}, 1},
    {"high_byte_leading_name", "\xC3\xA9t\xC3\xA9.nomvara.test", {"198.51.100.8"}, 1, Plays::ScriptedOnly},
    {"hosts_file_name", "hosts-only.nomvara.test", {"198.51.100.50"}, 1, Plays::RealOnly},
    {"unknown_name", "nothere.nomvara.test", kFailure, 1},
    {"name_without_ipv4", "v6only.nomvara.test", {}, 1},
    {"outside_the_zone", "www.example.com", kFailure, 1},
    {"long_registered_name", "198.51.100.9", {CString(kLongName)}, 1},
    {"empty_text", "", kFailure, 0},
    {"leading_blank", " three.nomvara.test", kFailure, 0},
    {"leading_tab", "\tthree.nomvara.test", kFailure, 0},
    {"leading_delete", "\x7Fthree.nomvara.test", kFailure, 0},
    {"punctuation", "-.nomvara.test", kFailure, 1},
    {"dual_stack_name", "dual.nomvara.test", {"198.51.100.20"}, 1},
    {"name_told_without_ipv4_by_an_error", "nodata.nomvara.test", {}, 1, Plays::ScriptedOnly},
    // The C library reads each as 255.255.255.255.
    {"all_ones_as_one_number", "4294967295", {"broadcast.nomvara.test"}, 1},
    {"all_ones_in_hexadecimal", "0xffffffff", {"broadcast.nomvara.test"}, 1},
    {"all_ones_in_octal", "0377.0377.0377.0377", {"broadcast.nomvara.test"}, 1},
    {"all_ones_with_a_trailing_blank", "255.255.255.255 ", {"broadcast.nomvara.test"}, 1},
    // An IPv6 address is no name: the list tells IPv4 only.
    {"ipv6_address_with_a_name", "fd00:5e57::99", kFailure, 1},
    {"ipv6_address_without_a_name", "2001:db8::1", kFailure, 1},
};

// The test zone, as far as the cases ask it, and failures of the service.
inline void ScriptTheTestZone(testing_support::ScriptedResolver& resolver) {
    resolver.AddName("three.nomvara.test", {"198.51.100.1", "198.51.100.3", "198.51.100.2"});
    resolver.AddName("1e100.nomvara.test", {"198.51.100.7"});
    resolver.AddName("\xC3\xA9t\xC3\xA9.nomvara.test", {"198.51.100.8"});
    resolver.AddName("v6only.nomvara.test", {}, 0, {"fd00:5e57::99"});
    resolver.AddName("dual.nomvara.test", {"198.51.100.20"}, 0, {"fd00:5e57::20"});
    resolver.AddName("many.nomvara.test", {}, 0,
                     {"fd00:5e57::31", "fd00:5e57::32", "fd00:5e57::33", "fd00:5e57::34", "fd00:5e57::35", "fd00:5e57::36"});
    resolver.AddName("v6silent.nomvara.test", {"198.51.100.21"}, 0, {}, EAI_AGAIN);
    resolver.AddName("v6down.nomvara.test", {"198.51.100.22"}, 0, {}, EAI_SYSTEM);
    resolver.AddAddress("fd00:5e57::99", "v6only.nomvara.test");
    resolver.AddAddress("198.51.100.61", "n1.nomvara.test");
    resolver.AddName("n1.nomvara.test", {"198.51.100.101"});
    resolver.AddName("nat64.nomvara.test", {}, 0, {"64:ff9b::c000:20b"});
    resolver.AddAddress("fd00:5e57::98", "", EAI_AGAIN);
    resolver.AddAddress("198.51.100.1", "three.nomvara.test");
    resolver.AddAddress("198.51.100.9", kLongName);
    resolver.AddAddress("255.255.255.255", "broadcast.nomvara.test");
    // Failures a scripted service can play at will.
    resolver.AddName("slow.nomvara.test", {}, EAI_AGAIN);
    resolver.AddName("broken.nomvara.test", {}, EAI_FAIL);
    resolver.AddName("down.nomvara.test", {}, EAI_SYSTEM);
    resolver.AddName("nodata.nomvara.test", {}, EAI_NODATA);
}

// ResolveQuery's lines, into a list that held a line from before.
inline std::vector<CString> Resolve(const char* query) {
    std::vector<CString> answers{"a line from before"};
    ResolveQuery(KindOf(query), query, answers);
    return answers;
}

}  // namespace resolution_cases
