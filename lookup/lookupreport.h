// What became of a lookup and how long it took, kept beside its record: the record's fields are fixed.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "lookup/facts.h"
#include "lookup/querykind.h"
#include "platform/cstring.h"

enum class LookupOutcome {
    Answered,
    NoSuchName,         // the server says the name does not exist; for an address: no name found
    NoAddressOfFamily,  // the name exists, with no address of the family asked (IPv4 for the lookup itself)
    NoAnswer,           // the server did not answer in time, or another temporary failure
    ServerFailure,      // the server failed or refused
    NotValidName,       // the name cannot be written as a DNS name: nothing was asked
    LocalFailure,       // this computer could not make the lookup (a system error, no memory, ...)
    NotAName,           // empty, or starts with a blank or control character: nothing was asked
};

// What became of a host name's IPv6 question.
struct Ipv6Answer {
    enum class State {
        NoQuestion,   // none belongs to the lookup: a typed address, or a name the server does not know
        Asking,       // the question is still out
        Addresses,    // the addresses, in the service's order and their short form
        NoAddress,    // the name has no IPv6 address
        NoAnswer,     // the question ended without an answer: the resolver's own time-out, a refusal
        CouldNotAsk,  // this computer could not ask it: no thread, no memory, a system error
        LeftUnasked,  // not asked, as the IPv6 questions before it got no answer, several in a row
    };
    State state = State::NoQuestion;
    std::vector<std::string> addresses{};
    Own own{};  // which of them are this computer's
};

struct LookupReport {
    LookupOutcome outcome = LookupOutcome::Answered;
    QueryKind kind = QueryKind::Name;   // what the query was taken for
    std::chrono::milliseconds took{0};  // from the first question to the name service until the answer
    Ipv6Answer ipv6{};                  // what became of a host name's IPv6 question, which may come later
    std::string ipv6Name{};             // a typed IPv6 address's registered name, empty when none was found
    std::string address{};              // an address asked for its name, as read: 10.0.0.1 for a typed 10.1
    bool readOtherwise = false;         // typed in another form than that
    std::string knownAs{};              // the name the name service gave a typed name, where it differs
    LookAlike lookAlike{};              // of a typed name
    Own own{};                          // which answer lines are this computer's addresses
    LeadsBack leadsBack{};              // whether the registered name leads back, which may come later
};

// A part of a lookup's report that comes after its answer lines: it reaches the dialog by value, with
// the query whose lookup it belongs to, and writes the fields it holds.
struct LaterPart {
    CString query;
    std::optional<Ipv6Answer> ipv6{};
    std::optional<LeadsBack> leadsBack{};
    void ApplyTo(LookupReport& report) const {
        report.ipv6 = ipv6.value_or(report.ipv6);
        report.leadsBack = leadsBack.value_or(report.leadsBack);
    }
};

// The outcome a failed name-service call stands for, from the C library's EAI_ code.
LookupOutcome OutcomeOfError(int addrInfoError);
// What an IPv6 question's EAI_ code (0 for an answer) and addresses stand for, with this computer's.
Ipv6Answer Ipv6AnswerOf(int addrInfoError, std::vector<std::string> addresses, const std::vector<std::string>& ownAddresses = {});

// Whether a registered name leads back, from the answer to the question for its addresses of `family`:
// 0 or an EAI_ code, and them.
LeadsBack LeadsBackOf(std::string name, const std::string& address, int family, int error, std::vector<std::string> addresses);

// One short sentence on what became of a lookup, for the answer lines it came with.
std::string Describe(const LookupReport& report, std::size_t answerLines);
// The response list's description: the query it belongs to, then that sentence; for answers shown from
// memory, it describes the first lookup of the text.
std::string DescribeLookup(const CString& query, const LookupReport& report, std::size_t answerLines, bool fromMemory = false);
// While the wait line shows: which text is being looked up, and since when (local time).
std::string DescribeWaiting(const CString& query, std::time_t since);
// When no lookup could be started for the text.
std::string DescribeNotStarted(const CString& query);
