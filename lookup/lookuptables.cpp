#include "lookup/lookuptables.h"

#include <cstring>

std::uint32_t g_lastRequestId = 0;

bool QueryOrder::operator()(const CString& a, const CString& b) const {
    const std::size_t common = std::min(a.str().size(), b.str().size());
    const int order = std::memcmp(a.str().data(), b.str().data(), common);  // memcmp compares unsigned bytes
    return order != 0 ? order < 0 : a.str().size() < b.str().size();
}

std::uint32_t NextRequestId(const PendingRequests& pending) {
    do
        ++g_lastRequestId;
    while (g_lastRequestId == 0 || pending.Contains(g_lastRequestId));
    return g_lastRequestId;
}
