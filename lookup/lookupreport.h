// What became of a lookup and how long it took, kept beside its record: the record's fields are fixed.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/cstring.h"

enum class LookupOutcome {
    Answered,
    NoSuchName,      // the server says the name does not exist; for an address: no name found
    NoIpv4Address,   // the name exists, with no IPv4 address
    NoAnswer,        // the server did not answer in time, or another temporary failure
    ServerFailure,   // the server failed or refused
    NotValidName,    // the name cannot be written as a DNS name: nothing was asked
    LocalFailure,    // this computer could not make the lookup (a system error, no memory, ...)
    NotAName,        // empty, or starts with a blank or control character: nothing was asked
    Ipv6Address,     // an IPv6 address, which is no name: its registered name, or none is registered
};

// What became of a host name's IPv6 question.
struct Ipv6Answer {
    enum class State {
        None,       // the name has no IPv6 address, or it was never a name's question
        Asking,     // the question is still out
        Addresses,  // the addresses, in the service's order and their short form
        NoAnswer,   // the question ended without an answer: the resolver's own time-out, a refusal
        NotAsked,   // this computer could not ask it: no thread, no memory, a system error
    };
    State state = State::None;
    std::vector<std::string> addresses{};
};

struct LookupReport {
    LookupOutcome outcome = LookupOutcome::Answered;
    bool reverse = false;  // an address was asked for its name
    std::chrono::milliseconds took{0};  // from the first question to the name service until the answer
    Ipv6Answer ipv6{};                  // what became of a host name's IPv6 question, which may come later
    std::string ipv6Name{};             // a typed IPv6 address's registered name, empty when none was found
};

// The outcome a failed name-service call stands for, from the C library's EAI_ code.
LookupOutcome OutcomeOfError(int addrInfoError);
// What an IPv6 question's EAI_ code (0 for an answer) and addresses stand for.
Ipv6Answer Ipv6AnswerOf(int addrInfoError, std::vector<std::string> addresses);

// One short sentence on what became of a lookup, for the answer lines it came with.
std::string Describe(const LookupReport& report, std::size_t answerLines);
// The response list's description: the query it belongs to, then that sentence.
std::string DescribeLookup(const CString& query, const LookupReport& report, std::size_t answerLines);
// The same for answers shown from memory: it describes the first lookup of the text.
std::string DescribeFromMemory(const CString& query, const LookupReport& report, std::size_t answerLines);
// While the wait line shows: which text is being looked up, and since when (local time).
std::string DescribeWaiting(const CString& query, std::time_t since);
// When no lookup could be started for the text.
std::string DescribeNotStarted(const CString& query);
