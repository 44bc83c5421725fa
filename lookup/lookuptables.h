// The dialog's two tables of lookup records, each with what became of its lookup beside it. Stored
// records never move while others come and go, so a resolver thread can work on one in place.
#pragma once

#include <cstdint>
#include <map>
#include <unordered_map>
#include <type_traits>

#include "lookup/lookupreport.h"
#include "lookup/lookuprequest.h"

// A record as a table keeps it, with its report. The record comes first, so the address of a stored
// record, which a resolver thread is handed, is that of its StoredLookup.
struct StoredLookup {
    LookupRequest request;
    LookupReport report;
};
static_assert(std::is_standard_layout_v<StoredLookup>, "a stored record's address must be its StoredLookup's");

// Lookups in flight, by request id in ascending unsigned order.
class PendingRequests {
public:
    // Stores a copy under its id, with an empty report; an id already present keeps its record.
    bool InsertIfAbsent(const LookupRequest& request) {
        return m_records.try_emplace(request.requestId, StoredLookup{request, {}}).second;
    }
    LookupRequest* Find(std::uint32_t id) {
        StoredLookup* stored = FindStored(id);
        return stored ? &stored->request : nullptr;
    }
    // The record with its report.
    StoredLookup* FindStored(std::uint32_t id) {
        auto found = m_records.find(id);
        return found == m_records.end() ? nullptr : &found->second;
    }
    bool Contains(std::uint32_t id) const { return m_records.count(id) != 0; }
    // Removes a record that Find returned.
    void Erase(const LookupRequest* stored) { m_records.erase(stored->requestId); }
    std::size_t Size() const { return m_records.size(); }

private:
    std::map<std::uint32_t, StoredLookup> m_records;
};

// Byte-wise, case-sensitive order of query texts: unsigned bytes, the shorter text first on a tie.
struct QueryOrder {
    bool operator()(const CString& a, const CString& b) const;
};

// Finished lookups, by their exact query text; the first one for a text stays, with its report.
class AnswerCache {
public:
    bool InsertIfAbsent(const LookupRequest& request, const LookupReport& report = {}) {
        const auto [stored, added] = m_records.try_emplace(request.query, StoredLookup{request, report});
        if (added)
            m_byId[request.requestId] = &stored->second;
        return added;
    }
    // A host name's IPv6 answer that came after its lookup was stored; false when no record has that id.
    bool SetIpv6Answer(std::uint32_t requestId, const Ipv6Answer& answer) {
        const auto found = m_byId.find(requestId);
        if (found == m_byId.end())
            return false;
        found->second->report.ipv6 = answer;
        return true;
    }
    const LookupRequest* Find(const CString& query) const {
        const StoredLookup* stored = FindStored(query);
        return stored ? &stored->request : nullptr;
    }
    // The record with its report.
    const StoredLookup* FindStored(const CString& query) const {
        auto found = m_records.find(query);
        return found == m_records.end() ? nullptr : &found->second;
    }
    std::size_t Size() const { return m_records.size(); }

private:
    std::map<CString, StoredLookup, QueryOrder> m_records;
    std::unordered_map<std::uint32_t, StoredLookup*> m_byId;  // into m_records, whose nodes never move
};

// The last request id handed out; 0 at start.
extern std::uint32_t g_lastRequestId;

// Increments g_lastRequestId and returns it, skipping 0 and any id still pending after a wrap.
std::uint32_t NextRequestId(const PendingRequests& pending);
