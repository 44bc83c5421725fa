#include "lookup/ipv6answer.h"

#include <netdb.h>

#include "lookup/firstofmany.h"

Ipv6Answer Ipv6Answer::Of(int addrInfoError, std::vector<std::string> addresses) {
    switch (addrInfoError) {
    case 0: return addresses.empty() ? Ipv6Answer{} : Ipv6Answer{State::Addresses, std::move(addresses)};
    // The C library's word that the name has no IPv6 address, or is no name: an answer, not a failure.
    case EAI_NODATA:
    case EAI_NONAME:
    case EAI_ADDRFAMILY: return {};
    case EAI_AGAIN:
    case EAI_FAIL: return {State::NoAnswer};
    default: return {State::NotAsked};
    }
}

std::string Ipv6Answer::Told() const {
    switch (state) {
    case State::None: return "";
    case State::Asking: return "; IPv6 still being asked";
    case State::Addresses: return "; IPv6 " + FirstOfMany(addresses, 4);
    case State::NoAnswer: return "; IPv6 got no answer";
    case State::NotAsked: return "; IPv6 could not be asked";
    }
    return "";
}
