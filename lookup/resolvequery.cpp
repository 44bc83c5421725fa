#include "lookup/resolvequery.h"

#include <netdb.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>

#include "lookup/lookuprequest.h"
#include "lookup/lookupreport.h"
#include "platform/winsock.h"

namespace {

bool IsAsciiLetter(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// No name or address begins with these; the empty text ends here too.
bool IsBlankOrEnd(unsigned char byte) { return byte <= ' ' || byte == 0x7F; }

// The IPv6 answer normally comes with the IPv4 one, as both questions go out together. One that lags
// is waited for a twentieth of the IPv4 question's time and this much more, so that a server that
// never answers IPv6 questions costs the IPv4 lines almost nothing.
constexpr std::chrono::milliseconds kIpv6Lag{10};

// The C library's word that a name has no IPv6 address, or no such name: an answer, not a failure.
bool IsNoAddress(int addrInfoError) {
    return addrInfoError == EAI_NODATA || addrInfoError == EAI_NONAME || addrInfoError == EAI_ADDRFAMILY;
}

LookupReport ResolveName(const char* name, std::vector<CString>& answers) {
    using Clock = std::chrono::steady_clock;
    winsock::Ipv6Question ipv6(name);
    const auto asked = Clock::now();
    const winsock::hostent* entry = winsock::gethostbyname(name);
    const LookupOutcome outcome = entry ? LookupOutcome::Answered : OutcomeOfError(winsock::LastAddrInfoError());
    // A name without IPv4 addresses leaves the list empty, however the name service tells it.
    if (outcome != LookupOutcome::Answered && outcome != LookupOutcome::NoIpv4Address) {
        answers.emplace_back(CANT_RESOLVE);
        return {outcome};
    }
    if (entry)
        answers = DottedAddresses(*entry);
    LookupReport report{answers.empty() ? LookupOutcome::NoIpv4Address : LookupOutcome::Answered};
    const auto answered = Clock::now();
    if (!ipv6.WaitUntil(answered + (answered - asked) / 20 + kIpv6Lag) || (ipv6.Error() && !IsNoAddress(ipv6.Error())))
        report.ipv6Unanswered = true;
    else
        report.ipv6 = ipv6.Addresses();
    return report;
}

LookupReport ResolveIpv6Address(const char* address, std::vector<CString>& answers) {
    answers.emplace_back(CANT_RESOLVE);  // the list tells IPv4 only
    LookupReport report{LookupOutcome::Ipv6Address, true};
    if (winsock::Ipv6Name(address, report.ipv6Name) != 0)
        report.ipv6Name.clear();
    return report;
}

LookupReport Resolve(const char* query, std::vector<CString>& answers) {
    if (winsock::IsIpv6Address(query))
        return ResolveIpv6Address(query, answers);
    if (IsAsciiLetter(static_cast<unsigned char>(query[0])))
        return ResolveName(query, answers);
    if (IsBlankOrEnd(static_cast<unsigned char>(query[0]))) {
        answers.emplace_back(CANT_RESOLVE);
        return {LookupOutcome::NotAName};
    }
    // Text the C library reads as an IPv4 address is one, in any of its spellings; other text may
    // still be a host name, such as one that begins with a digit.
    winsock::in_addr parsed{};
    if (!winsock::inet_aton(query, &parsed))
        return ResolveName(query, answers);
    const std::uint32_t address = parsed.s_addr;
    const winsock::hostent* entry = winsock::gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET);
    // The whole name, however long: a cut host name would be a wrong answer.
    answers.emplace_back(entry ? entry->h_name : CANT_RESOLVE);
    const LookupOutcome outcome = entry ? LookupOutcome::Answered : OutcomeOfError(winsock::LastAddrInfoError());
    // An address has a name or none.
    return {outcome == LookupOutcome::NoIpv4Address ? LookupOutcome::NoSuchName : outcome, true};
}

}  // namespace

std::vector<CString> DottedAddresses(const winsock::hostent& entry) {
    std::vector<CString> dotted;
    for (char** address = entry.h_addr_list; *address; ++address) {
        winsock::in_addr value;
        std::memcpy(&value, *address, sizeof value);
        dotted.emplace_back(winsock::inet_ntoa(value));  // copied before the next conversion overwrites it
    }
    return dotted;
}

LookupReport ResolveQuery(const char* query, std::vector<CString>& answers) {
    answers.clear();
    const auto asked = std::chrono::steady_clock::now();
    LookupReport report = Resolve(query, answers);
    report.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    return report;
}
