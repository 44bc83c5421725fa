// The record of one lookup, and the message a resolver thread sends when it is done.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/cstring.h"
#include "platform/wintypes.h"

class CWnd;

// wParam the record's code (never read), lParam its request id; 1 when handled, 0 for an unknown id.
constexpr UINT WM_LOOKUP_DONE = WM_USER + 23;
// A host name's IPv6 answer that came after its lookup was done: wParam the answer (an Ipv6Answer
// valid while the message is handled), lParam the lookup's request id. Sent only after that lookup's
// WM_LOOKUP_DONE; 1 when the answer was kept, 0 when no lookup of that id is kept or shown.
constexpr UINT WM_IPV6_DONE = WM_USER + 24;
constexpr std::int32_t LOOKUP_CODE = 6;
constexpr const char* CANT_RESOLVE = "Can`t Resolve!";

// A value: copies are deep; destroying one never touches its owner.
struct LookupRequest {
    std::int32_t code = LOOKUP_CODE;
    std::uint32_t requestId = 0;
    std::vector<CString> answers;  // in the order ResolveQuery appended them
    CWnd* owner = nullptr;         // the window that receives WM_LOOKUP_DONE; not owned
    CString query;                 // as read from the query box, at most 49 characters
};
