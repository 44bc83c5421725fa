#include "lookup/resolvequery.h"

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

LookupOutcome ResolveName(const char* name, std::vector<CString>& answers) {
    const winsock::hostent* entry = winsock::gethostbyname(name);
    if (!entry) {
        answers.emplace_back(CANT_RESOLVE);
        return OutcomeOfError(winsock::LastAddrInfoError());
    }
    answers = DottedAddresses(*entry);
    return answers.empty() ? LookupOutcome::NoIpv4Address : LookupOutcome::Answered;
}

LookupReport Resolve(const char* query, std::vector<CString>& answers) {
    if (IsAsciiLetter(static_cast<unsigned char>(query[0])))
        return {ResolveName(query, answers)};
    if (IsBlankOrEnd(static_cast<unsigned char>(query[0]))) {
        answers.emplace_back(CANT_RESOLVE);
        return {LookupOutcome::NotAName};
    }
    const std::uint32_t address = winsock::inet_addr(query);
    // Text that is no dotted address may still be a host name, such as one that begins with a digit.
    if (address == INADDR_NONE && std::strcmp(query, "255.255.255.255") != 0)
        return {ResolveName(query, answers)};
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
