#include "lookup/resolvequery.h"

#include <sys/socket.h>

#include <chrono>
#include <cstring>
#include <string>

#include "lookup/lookuprequest.h"
#include "lookup/facts.h"
#include "lookup/querykind.h"

namespace {

LookupReport ResolveName(const char* name, std::vector<CString>& answers) {
    const winsock::hostent* entry = winsock::gethostbyname(name);
    const LookupOutcome outcome = entry ? LookupOutcome::Answered : OutcomeOfError(winsock::LastAddrInfoError());
    // A name without IPv4 addresses leaves the list empty, however the name service tells it.
    if (outcome != LookupOutcome::Answered && outcome != LookupOutcome::NoAddressOfFamily) {
        answers.emplace_back(CANT_RESOLVE);
        return {outcome};
    }
    if (entry)
        answers = DottedAddresses(*entry);
    LookupReport report{answers.empty() ? LookupOutcome::NoAddressOfFamily : LookupOutcome::Answered};
    if (entry && !SameName(entry->h_name, name))
        report.knownAs = entry->h_name;
    return report;
}

LookupReport ResolveIpv4Address(const char* query, std::vector<CString>& answers) {
    winsock::in_addr parsed{};
    winsock::inet_aton(query, &parsed);
    const std::string address = winsock::inet_ntoa(parsed);
    const winsock::hostent* entry = winsock::gethostbyaddr(reinterpret_cast<const char*>(&parsed.s_addr), 4, AF_INET);
    // The whole name, however long: a cut host name would be a wrong answer.
    answers.emplace_back(entry ? entry->h_name : CANT_RESOLVE);
    const LookupOutcome outcome = entry ? LookupOutcome::Answered : OutcomeOfError(winsock::LastAddrInfoError());
    // An address has a name or none.
    LookupReport report{outcome == LookupOutcome::NoAddressOfFamily ? LookupOutcome::NoSuchName : outcome, QueryKind::Ipv4Address};
    report.address = address;
    report.readOtherwise = address != query;
    return report;
}

// As for an IPv4 address, a silent server is told apart from an address without a name.
LookupReport ResolveIpv6Address(const char* address, std::vector<CString>& answers) {
    answers.emplace_back(CANT_RESOLVE);  // the list tells IPv4 only
    LookupReport report{LookupOutcome::Answered, QueryKind::Ipv6Address};
    report.address = address;
    // A name comes only with an answer.
    if (const int error = winsock::CurrentResolver()->Reverse(address, report.ipv6Name))
        report.outcome = OutcomeOfError(error) == LookupOutcome::NoAddressOfFamily ? LookupOutcome::NoSuchName : OutcomeOfError(error);
    return report;
}

LookupReport Resolve(QueryKind kind, const char* query, std::vector<CString>& answers) {
    switch (kind) {
    case QueryKind::Name: return ResolveName(query, answers);
    case QueryKind::Ipv4Address: return ResolveIpv4Address(query, answers);
    case QueryKind::Ipv6Address: return ResolveIpv6Address(query, answers);
    case QueryKind::NotAName: break;
    }
    answers.emplace_back(CANT_RESOLVE);
    return {LookupOutcome::NotAName, kind};
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

LookupReport ResolveQuery(QueryKind kind, const char* query, std::vector<CString>& answers) {
    answers.clear();
    const auto asked = std::chrono::steady_clock::now();
    LookupReport report = Resolve(kind, query, answers);
    report.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    // Worked out on this computer, after the name service has answered.
    if (kind == QueryKind::Name) {
        report.lookAlike = LookAlikeLetters(query);
        report.own = OwnOf(std::vector<std::string>(answers.begin(), answers.end()), AF_INET, winsock::CurrentResolver()->OwnAddresses(AF_INET));
    }
    return report;
}
