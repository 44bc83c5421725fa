#include "lookup/lookupreport.h"

#include <netdb.h>

#include "lookup/querykind.h"

namespace {

// 5004 as "5,004": a time in milliseconds reads better with its thousands set apart.
std::string Milliseconds(std::chrono::milliseconds took) {
    const std::string digits = std::to_string(took.count());
    std::string grouped;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            grouped += ',';
        grouped += digits[at];
    }
    return grouped + " ms";
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The query as the description begins with it: quoted where blanks at its ends, or nothing, would be lost.
std::string Named(const CString& query) {
    const std::string text = query.str();
    const bool quoted = text.empty() || IsBlank(text.front()) || IsBlank(text.back());
    return (quoted ? "\"" + text + "\"" : text) + ": ";
}

// What a description adds after a name's IPv4 part: "; IPv6 2001:db8::1", or nothing.
std::string Ipv6Part(const Ipv6Answer& answer) {
    switch (answer.state) {
    case Ipv6Answer::State::NoQuestion:
    case Ipv6Answer::State::NoAddress: return "";
    case Ipv6Answer::State::Asking: return "; IPv6 still being asked";
    case Ipv6Answer::State::Addresses: return "; IPv6 " + FirstOfMany(answer.addresses, 4);
    case Ipv6Answer::State::NoAnswer: return "; IPv6 got no answer";
    case Ipv6Answer::State::CouldNotAsk: return "; IPv6 could not be asked";
    case Ipv6Answer::State::LeftUnasked: return "; IPv6 not asked, as the last few IPv6 questions got no answer";
    }
    return "";
}

}  // namespace

std::string FirstOfMany(const std::vector<std::string>& items, std::size_t shown) {
    std::string text;
    for (std::size_t at = 0; at < items.size() && at < shown; ++at)
        text += (at ? ", " : "") + items[at];
    if (items.size() > shown)
        text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}

LookupOutcome OutcomeOfError(int addrInfoError) {
    switch (addrInfoError) {
    case EAI_NONAME: return LookupOutcome::NoSuchName;
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return LookupOutcome::NoAddressOfFamily;
    case EAI_AGAIN: return LookupOutcome::NoAnswer;
    case EAI_FAIL: return LookupOutcome::ServerFailure;
    case EAI_IDN_ENCODE: return LookupOutcome::NotValidName;
    // The rest (EAI_SYSTEM, EAI_MEMORY, EAI_FAMILY, EAI_SERVICE, EAI_OVERFLOW, ...) never reach a server.
    default: return LookupOutcome::LocalFailure;
    }
}

Ipv6Answer Ipv6AnswerOf(int addrInfoError, std::vector<std::string> addresses) {
    if (addrInfoError == 0 && !addresses.empty())
        return {Ipv6Answer::State::Addresses, std::move(addresses)};
    switch (addrInfoError ? OutcomeOfError(addrInfoError) : LookupOutcome::NoAddressOfFamily) {
    // The name has no IPv6 address, or is no name: an answer, not a failure.
    case LookupOutcome::NoSuchName:
    case LookupOutcome::NoAddressOfFamily: return {Ipv6Answer::State::NoAddress};
    case LookupOutcome::NoAnswer:
    case LookupOutcome::ServerFailure: return {Ipv6Answer::State::NoAnswer};
    default: return {Ipv6Answer::State::CouldNotAsk};
    }
}

std::string Describe(const LookupReport& report, std::size_t answerLines) {
    const std::string took = Milliseconds(report.took);
    const bool reverse = report.kind == QueryKind::Ipv4Address || report.kind == QueryKind::Ipv6Address;
    if (report.kind == QueryKind::Ipv6Address && report.outcome == LookupOutcome::Answered)
        return "An IPv6 address, registered as " + report.ipv6Name + " (" + took + ")";
    // The server says no name is registered: unlike for an IPv4 address, it is not one that failed.
    if (report.kind == QueryKind::Ipv6Address && report.outcome == LookupOutcome::NoSuchName)
        return "An IPv6 address, with no registered name found (" + took + ")";
    switch (report.outcome) {
    case LookupOutcome::Answered:
        return (reverse ? std::string("Its registered name") : Plural(answerLines, "address", "addresses") + Ipv6Part(report.ipv6)) +
               " (" + took + ")";
    // For an address the C library reports a failing server as it does a missing name.
    case LookupOutcome::NoSuchName:
        return (reverse ? "No name found for this address: none is registered, or the server failed (answered in "
                        : "No such name (answered in ") + took + ")";
    case LookupOutcome::NoAddressOfFamily: return "The name exists but has no IPv4 address" + Ipv6Part(report.ipv6) + " (" + took + ")";
    case LookupOutcome::NoAnswer: return "The DNS server did not answer in time, or refused for now (" + took + ")";
    case LookupOutcome::ServerFailure: return "The DNS server failed or refused (" + took + ")";
    case LookupOutcome::NotValidName: return "Not a valid name: it cannot be written as a DNS name, so nothing was asked";
    case LookupOutcome::LocalFailure: return "This computer's name service could not make the lookup (" + took + ")";
    case LookupOutcome::NotAName: return "Not a name or address: empty, or it starts with a blank or control character";
    }
    return "";
}

std::string DescribeLookup(const CString& query, const LookupReport& report, std::size_t answerLines, bool fromMemory) {
    return Named(query) + (fromMemory ? "From memory. First lookup: " : "") + Describe(report, answerLines);
}

std::string DescribeNotStarted(const CString& query) {
    return Named(query) + "The lookup could not be started: this computer has no thread to give it. Press Get to try again";
}

std::string DescribeWaiting(const CString& query, std::time_t since) {
    char clock[16] = "";
    std::tm local{};
    if (localtime_r(&since, &local))
        std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    return "Looking up \"" + query.str() + "\" since " + clock;
}
