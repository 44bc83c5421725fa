// What the end-to-end tests share: the relay in front of the real DNS server, and its query log.
#pragma once

#include <string>

#include "tests/e2e/relay.h"

UdpRelay& Relay();
// How many queries of `type` ("A", "PTR") for `name` the DNS server has logged so far.
int LoggedQueries(const std::string& type, const std::string& name);
