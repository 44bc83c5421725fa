// The dialog's two tables of lookup records. Stored records never move while others come and go,
// so a resolver thread can work on one in place.
#pragma once

#include <cstdint>
#include <map>

#include "lookup/lookuprequest.h"

// Lookups in flight, by request id in ascending unsigned order.
class PendingRequests {
public:
    // Stores a copy under its id; an id already present keeps its record.
    bool InsertIfAbsent(const LookupRequest& request) { return m_records.try_emplace(request.requestId, request).second; }
    LookupRequest* Find(std::uint32_t id) {
        auto found = m_records.find(id);
        return found == m_records.end() ? nullptr : &found->second;
    }
    bool Contains(std::uint32_t id) const { return m_records.count(id) != 0; }
    // Removes a record that Find returned.
    void Erase(const LookupRequest* stored) { m_records.erase(stored->requestId); }
    std::size_t Size() const { return m_records.size(); }

private:
    std::map<std::uint32_t, LookupRequest> m_records;
};

// Byte-wise, case-sensitive order of query texts: unsigned bytes, the shorter text first on a tie.
struct QueryOrder {
    bool operator()(const CString& a, const CString& b) const;
};

// Finished lookups, by their exact query text; the first one for a text stays.
class AnswerCache {
public:
    bool InsertIfAbsent(const LookupRequest& request) { return m_records.try_emplace(request.query, request).second; }
    const LookupRequest* Find(const CString& query) const {
        auto found = m_records.find(query);
        return found == m_records.end() ? nullptr : &found->second;
    }
    std::size_t Size() const { return m_records.size(); }

private:
    std::map<CString, LookupRequest, QueryOrder> m_records;
};

// The last request id handed out; 0 at start.
extern std::uint32_t g_lastRequestId;

// Increments g_lastRequestId and returns it, skipping 0 and any id still pending after a wrap.
std::uint32_t NextRequestId(const PendingRequests& pending);
