#include "lookup/lookupreport.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>

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

// The clauses that hold, one after the other.
std::string Joined(std::initializer_list<std::string> clauses, const char* between = ", ") {
    std::string text;
    for (const std::string& clause : clauses)
        text += clause.empty() ? "" : (text.empty() ? "" : between) + clause;
    return text;
}

// What a description adds after a name's IPv4 part: "; IPv6 2001:db8::1", or nothing.
std::string Ipv6Part(const Ipv6Answer& answer) {
    switch (answer.state) {
    case Ipv6Answer::State::NoQuestion:
    case Ipv6Answer::State::NoAddress: return "";
    case Ipv6Answer::State::Asking: return "; IPv6 still being asked";
    case Ipv6Answer::State::Addresses: {
        std::vector<std::string> told;
        std::transform(answer.addresses.begin(), answer.addresses.end(), std::back_inserter(told), Ipv6Told);
        return "; IPv6 " + Joined({FirstOfMany(told, 4), OwnPart(answer.own)});
    }
    case Ipv6Answer::State::NoAnswer: return "; IPv6 got no answer";
    case Ipv6Answer::State::CouldNotAsk: return "; IPv6 could not be asked";
    case Ipv6Answer::State::LeftUnasked: return "; IPv6 not asked, as the last few IPv6 questions got no answer";
    }
    return "";
}

}  // namespace

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

Ipv6Answer Ipv6AnswerOf(int addrInfoError, std::vector<std::string> addresses, const std::vector<std::string>& ownAddresses) {
    if (addrInfoError == 0 && !addresses.empty())
        return {Ipv6Answer::State::Addresses, addresses, OwnOf(addresses, AF_INET6, ownAddresses)};
    switch (addrInfoError ? OutcomeOfError(addrInfoError) : LookupOutcome::NoAddressOfFamily) {
    // The name has no IPv6 address, or is no name: an answer, not a failure.
    case LookupOutcome::NoSuchName:
    case LookupOutcome::NoAddressOfFamily: return {Ipv6Answer::State::NoAddress};
    case LookupOutcome::NoAnswer:
    case LookupOutcome::ServerFailure: return {Ipv6Answer::State::NoAnswer};
    default: return {Ipv6Answer::State::CouldNotAsk};
    }
}

namespace {

// What became of the lookup, with what the answer shows, but not how long it took.
std::string Outcome(const LookupReport& report, std::size_t answerLines) {
    const bool reverse = report.kind == QueryKind::Ipv4Address || report.kind == QueryKind::Ipv6Address;
    const std::string leadsBack = LeadsBackPart(report.leadsBack, report.kind == QueryKind::Ipv4Address ? AF_INET : AF_INET6);
    const std::string ipv6Address = "An IPv6 address" + Ipv6Told(report.address).substr(report.address.size());
    switch (report.outcome) {
    case LookupOutcome::Answered:
        if (report.kind == QueryKind::Ipv6Address)
            return Joined({ipv6Address, "registered as " + report.ipv6Name, leadsBack});
        return reverse ? Joined({"Its registered name", leadsBack})
                       : Joined({Plural(answerLines, "address", "addresses"), report.knownAs.empty() ? "" : "known as " + report.knownAs,
                                 OwnPart(report.own)}) + Ipv6Part(report.ipv6);
    // The server says no name is registered: for an IPv4 address the C library reports a failing
    // server alike.
    case LookupOutcome::NoSuchName:
        return report.kind == QueryKind::Ipv6Address ? ipv6Address + ", with no registered name found"
               : reverse ? "No name found for this address: none is registered, or the server failed"
                         : "No such name";
    case LookupOutcome::NoAddressOfFamily: return "The name exists but has no IPv4 address" + Ipv6Part(report.ipv6);
    case LookupOutcome::NoAnswer: return "The DNS server did not answer in time, or refused for now";
    case LookupOutcome::ServerFailure: return "The DNS server failed or refused";
    case LookupOutcome::NotValidName: return "Not a valid name: it cannot be written as a DNS name, so nothing was asked";
    case LookupOutcome::LocalFailure: return "This computer's name service could not make the lookup";
    case LookupOutcome::NotAName: return "Not a name or address: empty, or it starts with a blank or control character";
    }
    return "";
}

}  // namespace

LeadsBack LeadsBackOf(std::string name, const std::string& address, int family, int error, std::vector<std::string> addresses) {
    if (error == 0 && std::any_of(addresses.begin(), addresses.end(), [&](const std::string& each) { return SameAddress(each, address, family); }))
        return {LeadsBack::State::Yes, std::move(name)};
    switch (error ? OutcomeOfError(error) : LookupOutcome::Answered) {
    case LookupOutcome::Answered: return {LeadsBack::State::No, std::move(name), std::move(addresses)};
    case LookupOutcome::NoSuchName:
    case LookupOutcome::NoAddressOfFamily: return {LeadsBack::State::No, std::move(name)};
    default: return {LeadsBack::State::CouldNotCheck, std::move(name)};
    }
}

std::string Describe(const LookupReport& report, std::size_t answerLines) {
    const std::string took = Milliseconds(report.took);
    const bool asked = report.outcome != LookupOutcome::NotValidName && report.outcome != LookupOutcome::NotAName;
    const bool answeredThat = report.outcome == LookupOutcome::NoSuchName && report.kind != QueryKind::Ipv6Address;
    const std::string time = !asked ? "" : answeredThat ? " (answered in " + took + ")" : " (" + took + ")";
    // What is true of the text as typed comes first; the sentence then goes on after a semicolon.
    const std::string typed = Joined({LookAlikePart(report.lookAlike), report.readOtherwise ? "read as " + report.address : ""}, "; ");
    std::string outcome = Outcome(report, answerLines);
    if (!typed.empty() && !outcome.empty() && outcome[0] >= 'A' && outcome[0] <= 'Z')
        outcome[0] = char(outcome[0] - 'A' + 'a');
    return Joined({typed, outcome}, "; ") + time;
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
