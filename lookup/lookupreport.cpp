#include "lookup/lookupreport.h"

#include <netdb.h>

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
    const auto blank = [](unsigned char byte) { return byte <= ' ' || byte == 0x7F; };
    const bool quoted = text.empty() || blank(text.front()) || blank(text.back());
    return (quoted ? "\"" + text + "\"" : text) + ": ";
}

}  // namespace

LookupOutcome OutcomeOfError(int addrInfoError) {
    switch (addrInfoError) {
    case EAI_NONAME: return LookupOutcome::NoSuchName;
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return LookupOutcome::NoIpv4Address;
    case EAI_AGAIN: return LookupOutcome::NoAnswer;
    case EAI_FAIL: return LookupOutcome::ServerFailure;
    case EAI_IDN_ENCODE: return LookupOutcome::NotValidName;
    // The rest (EAI_SYSTEM, EAI_MEMORY, EAI_FAMILY, EAI_SERVICE, EAI_OVERFLOW, ...) never reach a server.
    default: return LookupOutcome::LocalFailure;
    }
}

std::string Describe(const LookupReport& report, std::size_t answerLines) {
    const std::string took = Milliseconds(report.took);
    switch (report.outcome) {
    case LookupOutcome::Answered:
        return (report.reverse ? std::string("Its registered name") : Plural(answerLines, "address", "addresses") + report.ipv6.Told()) +
               " (" + took + ")";
    // For an address the C library reports a failing server as it does a missing name.
    case LookupOutcome::NoSuchName:
        return (report.reverse ? "No name found for this address: none is registered, or the server failed (answered in "
                               : "No such name (answered in ") + took + ")";
    case LookupOutcome::NoIpv4Address: return "The name exists but has no IPv4 address" + report.ipv6.Told() + " (" + took + ")";
    case LookupOutcome::NoAnswer: return "The DNS server did not answer in time, or refused for now (" + took + ")";
    case LookupOutcome::ServerFailure: return "The DNS server failed or refused (" + took + ")";
    case LookupOutcome::NotValidName: return "Not a valid name: it cannot be written as a DNS name, so nothing was asked";
    case LookupOutcome::LocalFailure: return "This computer's name service could not make the lookup (" + took + ")";
    case LookupOutcome::NotAName: return "Not a name or address: empty, or it starts with a blank or control character";
    case LookupOutcome::Ipv6Address:
        return (report.ipv6Name.empty() ? std::string("An IPv6 address, with no registered name found")
                                        : "An IPv6 address, registered as " + report.ipv6Name) + " (" + took + ")";
    }
    return "";
}

std::string DescribeLookup(const CString& query, const LookupReport& report, std::size_t answerLines) {
    return Named(query) + Describe(report, answerLines);
}

std::string DescribeFromMemory(const CString& query, const LookupReport& report, std::size_t answerLines) {
    return Named(query) + "From memory. First lookup: " + Describe(report, answerLines);
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
