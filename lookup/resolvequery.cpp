#include "lookup/resolvequery.h"

#include <sys/socket.h>

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
    for (char** address = entry->h_addr_list; *address; ++address) {
        winsock::in_addr value;
        std::memcpy(&value, *address, sizeof value);
        answers.emplace_back(winsock::inet_ntoa(value));
    }
    return answers.empty() ? LookupOutcome::NoIpv4Address : LookupOutcome::Answered;
}

}  // namespace

BOOL ResolveQuery(const char* query, std::vector<CString>& answers) {
    LookupOutcome outcome;
    bool reverse;
    return ResolveQuery(query, answers, outcome, reverse);
}

BOOL ResolveQuery(const char* query, std::vector<CString>& answers, LookupOutcome& outcome, bool& reverse) {
    answers.clear();
    reverse = false;
    if (IsAsciiLetter(static_cast<unsigned char>(query[0]))) {
        outcome = ResolveName(query, answers);
        return TRUE;
    }
    if (IsBlankOrEnd(static_cast<unsigned char>(query[0]))) {
        answers.emplace_back(CANT_RESOLVE);
        outcome = LookupOutcome::NotAName;
        return TRUE;
    }
    const std::uint32_t address = winsock::inet_addr(query);
    // Text that is no dotted address may still be a host name, such as one that begins with a digit.
    if (address == INADDR_NONE && std::strcmp(query, "255.255.255.255") != 0) {
        outcome = ResolveName(query, answers);
        return TRUE;
    }
    reverse = true;
    const winsock::hostent* entry = winsock::gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET);
    // The whole name, however long: a cut host name would be a wrong answer.
    answers.emplace_back(entry ? entry->h_name : CANT_RESOLVE);
    outcome = entry ? LookupOutcome::Answered : OutcomeOfError(winsock::LastAddrInfoError());
    if (outcome == LookupOutcome::NoIpv4Address)
        outcome = LookupOutcome::NoSuchName;  // an address has a name or none
    return TRUE;
}
