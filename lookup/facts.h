// What a description tells beside what became of a lookup, each only where it holds, and in fixed
// words: worked out on this computer from the question and its answer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lookup/lookalike.h"

// Which addresses of an answer are this computer's own: its interfaces' or loopback ones.
struct Own {
    std::vector<std::string> addresses{};  // this computer's, among the answer's
    bool all = false;                      // every address of the answer is
    bool loopback = false;                 // every one of this computer's is a loopback address
};
Own OwnOf(const std::vector<std::string>& answer, int family, const std::vector<std::string>& ownAddresses);

// Whether a registered name leads back to the address it was found for.
struct LeadsBack {
    enum class State { NotChecked, Checking, Yes, No, CouldNotCheck };
    State state = State::NotChecked;
    std::string name{};
    std::vector<std::string> addresses{};  // the name's, of the address's family, when it does not lead back
};

// The IPv4 address inside an IPv6 one of a NAT64 prefix, or "" where there is none or it could be read two ways.
std::string Nat64Ipv4(const std::string& ipv6);
// Whether two texts are the same address of `family`, however written.
bool SameAddress(const std::string& a, const std::string& b, int family);
// One way to tell the first few of many, for the descriptions and the spoken answer: the first
// `shown` items, then how many more: "a, b, c and 2 more".
std::string FirstOfMany(const std::vector<std::string>& items, std::size_t shown);
// Whether two names are the same but for letter case and a final dot.
bool SameName(std::string_view a, std::string_view b);

// The words of each fact, or "" where it does not hold.
std::string OwnPart(const Own& own);
std::string LeadsBackPart(const LeadsBack& leadsBack, int family);
std::string LookAlikePart(const LookAlike& lookAlike);
// An IPv6 address as a description names it: "64:ff9b::c000:20b (NAT64 for 192.0.2.11)".
std::string Ipv6Told(const std::string& address);
