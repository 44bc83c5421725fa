#include "lookup/lookuptables.h"

#include <algorithm>

std::uint32_t g_lastRequestId = 0;

bool QueryOrder::operator()(const CString& a, const CString& b) const {
    const auto byte = [](char each) { return static_cast<unsigned char>(each); };
    return std::ranges::lexicographical_compare(a.str(), b.str(), {}, byte, byte);
}

std::uint32_t NextRequestId(const PendingRequests& pending) {
    do
        ++g_lastRequestId;
    while (g_lastRequestId == 0 || pending.Contains(g_lastRequestId));
    return g_lastRequestId;
}
