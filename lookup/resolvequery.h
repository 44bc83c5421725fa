// Turns a query into answer lines through the name service.
#pragma once

#include <memory>
#include <vector>

#include "lookup/ipv6question.h"
#include "lookup/lookupreport.h"
#include "platform/cstring.h"
#include "platform/winsock.h"

// Every IPv4 address of a host name, the registered name of a dotted address, or "Can`t Resolve!".
// Empties `answers` first. Stateless and safe on any thread. What became of the lookup, and how long
// the name service took, comes back as its report. A host name's IPv6 question is asked beside its IPv4
// one and never waited for: while it is still out the report says so, and `later`, when given, receives
// the question, whose answer comes through it.
LookupReport ResolveQuery(const char* query, std::vector<CString>& answers, std::shared_ptr<Ipv6Question>* later = nullptr);
// The dotted text of each address of a host entry, in the entry's order.
std::vector<CString> DottedAddresses(const winsock::hostent& entry);
