// Turns a query into answer lines through the name service.
#pragma once

#include <vector>

#include "platform/cstring.h"
#include "platform/wintypes.h"

enum class LookupOutcome;

// Every IPv4 address of a host name, the registered name of a dotted address, or "Can`t Resolve!".
// Empties `answers` first. Stateless and safe on any thread; always TRUE.
BOOL ResolveQuery(const char* query, std::vector<CString>& answers);
// The same, also telling what became of the lookup and whether it asked for an address's name.
BOOL ResolveQuery(const char* query, std::vector<CString>& answers, LookupOutcome& outcome, bool& reverse);
