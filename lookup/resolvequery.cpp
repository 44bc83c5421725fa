#include "lookup/resolvequery.h"

#include <netdb.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>

#include "lookup/ipv6question.h"
#include "lookup/lookuprequest.h"
#include "lookup/lookupreport.h"
#include "platform/winsock.h"

namespace {

bool IsAsciiLetter(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// No name or address begins with these; the empty text ends here too.
bool IsBlankOrEnd(unsigned char byte) { return byte <= ' ' || byte == 0x7F; }

LookupReport ResolveName(const char* name, std::vector<CString>& answers, std::shared_ptr<Ipv6Question>* later) {
    const std::shared_ptr<Ipv6Question> ipv6 = Ipv6Question::Ask(name);  // out beside the IPv4 question
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
    report.ipv6 = ipv6->Answer();  // the IPv4 lines never wait for it
    if (later && report.ipv6.state == Ipv6Answer::State::Asking)
        *later = ipv6;
    return report;
}

// As for an IPv4 address, a silent server is told apart from an address without a name.
LookupReport ResolveIpv6Address(const char* address, std::vector<CString>& answers) {
    answers.emplace_back(CANT_RESOLVE);  // the list tells IPv4 only
    LookupReport report{LookupOutcome::Ipv6Address, true};
    const int error = winsock::Ipv6Name(address, report.ipv6Name);
    if (error == 0)
        return report;
    report.ipv6Name.clear();
    const LookupOutcome outcome = OutcomeOfError(error);
    if (outcome != LookupOutcome::NoSuchName && outcome != LookupOutcome::NoIpv4Address)
        report.outcome = outcome;
    return report;
}

LookupReport Resolve(const char* query, std::vector<CString>& answers, std::shared_ptr<Ipv6Question>* later) {
    if (winsock::IsIpv6Address(query))
        return ResolveIpv6Address(query, answers);
    if (IsAsciiLetter(static_cast<unsigned char>(query[0])))
        return ResolveName(query, answers, later);
    if (IsBlankOrEnd(static_cast<unsigned char>(query[0]))) {
        answers.emplace_back(CANT_RESOLVE);
        return {LookupOutcome::NotAName};
    }
    // Text the C library reads as an IPv4 address is one, in any of its spellings; other text may
    // still be a host name, such as one that begins with a digit.
    winsock::in_addr parsed{};
    if (!winsock::inet_aton(query, &parsed))
        return ResolveName(query, answers, later);
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

LookupReport ResolveQuery(const char* query, std::vector<CString>& answers, std::shared_ptr<Ipv6Question>* later) {
    answers.clear();
    const auto asked = std::chrono::steady_clock::now();
    LookupReport report = Resolve(query, answers, later);
    report.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    return report;
}
