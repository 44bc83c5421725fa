// What became of a host name's IPv6 question, decided in one place from what the name service said.
#pragma once

#include <string>
#include <vector>

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

    // From the name service's EAI_ code (0 for an answer) and the addresses it gave.
    static Ipv6Answer Of(int addrInfoError, std::vector<std::string> addresses);
    // What the description adds after a name's IPv4 part: "; IPv6 2001:db8::1", or nothing.
    std::string Told() const;
};
