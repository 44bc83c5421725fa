#include "lookup/facts.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>
#include <set>


namespace {

// The bytes of an address of `family` written in any of its forms; false for no such address.
bool Parse(const std::string& address, int family, in6_addr& bytes) { return inet_pton(family, address.c_str(), &bytes) == 1; }

bool IsLoopback(const std::string& address, int family) {
    in6_addr bytes{};
    return Parse(address, family, bytes) && (family == AF_INET ? bytes.s6_addr[0] == 127 : IN6_IS_ADDR_LOOPBACK(&bytes));
}

std::string Dotted(const unsigned char* bytes) {
    char text[INET_ADDRSTRLEN];
    return inet_ntop(AF_INET, bytes, text, sizeof text);
}

char Lower(char letter) { return letter >= 'A' && letter <= 'Z' ? char(letter - 'A' + 'a') : letter; }

}  // namespace

bool SameAddress(const std::string& a, const std::string& b, int family) {
    in6_addr first{}, second{};
    return Parse(a, family, first) && Parse(b, family, second) && std::memcmp(&first, &second, sizeof first) == 0;
}

std::string FirstOfMany(const std::vector<std::string>& items, std::size_t shown) {
    std::string text;
    for (std::size_t at = 0; at < items.size() && at < shown; ++at)
        text += (at ? ", " : "") + items[at];
    if (items.size() > shown)
        text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}

Own OwnOf(const std::vector<std::string>& answer, int family, const std::vector<std::string>& ownAddresses) {
    Own own{{}, true, true};
    for (const std::string& address : answer) {
        const bool loopback = IsLoopback(address, family);
        const bool mine = loopback || std::any_of(ownAddresses.begin(), ownAddresses.end(),
                                                  [&](const std::string& each) { return SameAddress(each, address, family); });
        own.all = own.all && mine;
        own.loopback = own.loopback && (loopback || !mine);
        if (mine)
            own.addresses.push_back(address);
    }
    return own.addresses.empty() ? Own{} : own;
}

// The well-known prefix 64:ff9b::/96 holds the IPv4 address in its last four bytes. Within the
// local-use 64:ff9b:1::/48 a network chooses its prefix length, and so where the address lies: it is
// told only where every format of RFC 6052 that the address could be in reads it alike.
std::string Nat64Ipv4(const std::string& ipv6) {
    in6_addr address{};
    if (!Parse(ipv6, AF_INET6, address))
        return "";
    const unsigned char* bytes = address.s6_addr;
    constexpr unsigned char kWellKnown[12] = {0, 0x64, 0xff, 0x9b};
    constexpr unsigned char kLocalUse[6] = {0, 0x64, 0xff, 0x9b, 0, 1};
    if (std::memcmp(bytes, kWellKnown, sizeof kWellKnown) == 0)
        return Dotted(bytes + 12);
    if (std::memcmp(bytes, kLocalUse, sizeof kLocalUse) != 0)
        return "";
    std::set<std::string> readings{Dotted(bytes + 12)};  // a /96 prefix
    for (std::size_t at : {6u, 7u, 8u}) {  // a /48, /56 or /64 one: the address skips byte 8, the rest is zero
        unsigned char ipv4[4];
        for (unsigned char& each : ipv4) {
            at += at == 8 ? 1 : 0;
            each = bytes[at++];
        }
        if (bytes[8] == 0 && std::all_of(bytes + at, bytes + 16, [](unsigned char each) { return each == 0; }))
            readings.insert(Dotted(ipv4));
    }
    return readings.size() == 1 ? *readings.begin() : "";
}

bool SameName(std::string_view a, std::string_view b) {
    const auto bare = [](std::string_view name) { return name.ends_with('.') ? name.substr(0, name.size() - 1) : name; };
    a = bare(a);
    b = bare(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string OwnPart(const Own& own) {
    if (own.addresses.empty())
        return "";
    const std::string which = own.all ? "" : FirstOfMany(own.addresses, 4) + (own.addresses.size() == 1 ? " is " : " are ");
    return which + "this computer" + (own.loopback ? ", loopback" : "");
}

std::string LeadsBackPart(const LeadsBack& leadsBack, int family) {
    switch (leadsBack.state) {
    case LeadsBack::State::NotChecked: return "";
    case LeadsBack::State::Checking: return "checking that it leads back";
    case LeadsBack::State::Yes: return "which leads back to this address";
    case LeadsBack::State::No:
        return "which does not lead back to this address: " + leadsBack.name + " has " +
               (!leadsBack.addresses.empty() ? FirstOfMany(leadsBack.addresses, 4) : family == AF_INET ? "no IPv4 address" : "no IPv6 address");
    case LeadsBack::State::CouldNotCheck: return "could not check that it leads back";
    }
    return "";
}

std::string LookAlikePart(const LookAlike& lookAlike) {
    const std::vector<std::string>& scripts = lookAlike.scripts;
    // A label may fail the check for another reason than mixing, with a single script to name.
    if (lookAlike.kind == LookAlike::Kind::MixedScripts && scripts.size() > 1)
        return "mixes " + FirstOfMany({scripts.begin(), scripts.end() - 1}, scripts.size()) + " and " + scripts.back() +
               " letters, which can look alike";
    return lookAlike.kind == LookAlike::Kind::WholeScript ? "written in " + scripts.front() + " letters that look like Latin ones" : "";
}

std::string Ipv6Told(const std::string& address) {
    const std::string ipv4 = Nat64Ipv4(address);
    return ipv4.empty() ? address : address + " (NAT64 for " + ipv4 + ")";
}
