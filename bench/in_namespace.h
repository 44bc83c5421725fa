// What the benchmarks that ask the end-to-end DNS server share.
#pragma once

#include <cstdio>

#include "tests/e2e/relay.h"

// Whether the relay in front of the test DNS server listens, as it does only inside tests/e2e/netns-run;
// where it does not, says so.
inline bool InTestNamespace(const UdpRelay& relay) {
    if (!relay.Listening())
        std::fputs("run inside tests/e2e/netns-run\n", stderr);
    return relay.Listening();
}
