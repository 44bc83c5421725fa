// The record of one lookup.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/cstring.h"

class CWnd;

constexpr std::int32_t LOOKUP_CODE = 6;
constexpr const char* CANT_RESOLVE = "Can`t Resolve!";

// A value: copies are deep; destroying one never touches its owner.
struct LookupRequest {
    std::int32_t code = LOOKUP_CODE;
    std::uint32_t requestId = 0;
    std::vector<CString> answers;  // in the order ResolveQuery appended them
    CWnd* owner = nullptr;         // the window told when the lookup is done; not owned
    CString query;                 // as read from the query box, at most 49 characters
};
