// Turns a query into answer lines through the name service.
#pragma once

#include <vector>

#include "lookup/lookupreport.h"
#include "platform/cstring.h"
#include "platform/winsock.h"

// Every IPv4 address of a host name, the registered name of a dotted address, or "Can`t Resolve!".
// Empties `answers` first. Stateless and safe on any thread. What became of the lookup, and how long
// the name service took, comes back as its report; a host name's IPv6 question is the caller's.
// The query is taken as `kind`, which KindOf tells.
LookupReport ResolveQuery(QueryKind kind, const char* query, std::vector<CString>& answers);
// The dotted text of each address of a host entry, in the entry's order.
std::vector<CString> DottedAddresses(const winsock::hostent& entry);
