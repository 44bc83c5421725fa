// One lookup as the program makes it, with no window to tell: its answer lines, with a name's IPv6
// question asked beside them and never waited for.
#pragma once

#include <memory>

#include "tasks/lookup.h"

inline void WindowlessLookup(const char* query) {
    LookupRequest request;
    request.query = query;
    StoredLookup record{request, {}};
    std::make_shared<Lookup>(request)->Run(record);
}
