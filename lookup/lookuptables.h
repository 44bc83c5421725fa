// The dialog's two tables of lookup records, each with what became of its lookup beside it. Stored
// records never move while others come and go, so a resolver thread can work on one in place.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "lookup/lookupreport.h"
#include "lookup/lookuprequest.h"

// A record as a table keeps it, with its report.
struct StoredLookup {
    LookupRequest request;
    LookupReport report;
};

// Lookups in flight, by request id in ascending unsigned order.
class PendingRequests {
public:
    // Stores a copy under its id, with an empty report; an id already present keeps its record.
    bool InsertIfAbsent(const LookupRequest& request) {
        return m_records.try_emplace(request.requestId, std::make_shared<StoredLookup>(StoredLookup{request, {}})).second;
    }
    // The record with its report, shared with the lookup that fills it: whatever it writes after the
    // table has gone goes to a record of its own.
    std::shared_ptr<StoredLookup> Find(std::uint32_t id) const {
        auto found = m_records.find(id);
        return found == m_records.end() ? nullptr : found->second;
    }
    bool Contains(std::uint32_t id) const { return m_records.count(id) != 0; }
    void Erase(std::uint32_t id) { m_records.erase(id); }

private:
    std::map<std::uint32_t, std::shared_ptr<StoredLookup>> m_records;
};

// Byte-wise, case-sensitive order of query texts: unsigned bytes, the shorter text first on a tie.
struct QueryOrder {
    bool operator()(const CString& a, const CString& b) const;
};

// Finished lookups, by their exact query text; the first one for a text stays, with its report.
class AnswerCache {
public:
    bool InsertIfAbsent(const LookupRequest& request, const LookupReport& report = {}) {
        return m_records.try_emplace(request.query, StoredLookup{request, report}).second;
    }
    // A part of a report that came after its lookup was stored; false unless the lookup of that text
    // kept here is the one with that request id.
    bool ApplyLater(std::uint32_t requestId, const LaterPart& part) {
        const auto found = m_records.find(part.query);
        if (found == m_records.end() || found->second.request.requestId != requestId)
            return false;
        part.ApplyTo(found->second.report);
        return true;
    }
    // The record with its report.
    const StoredLookup* Find(const CString& query) const {
        auto found = m_records.find(query);
        return found == m_records.end() ? nullptr : &found->second;
    }

private:
    std::map<CString, StoredLookup, QueryOrder> m_records;
};

// The last request id handed out; 0 at start.
extern std::uint32_t g_lastRequestId;

// Increments g_lastRequestId and returns it, skipping 0 and any id still pending after a wrap.
std::uint32_t NextRequestId(const PendingRequests& pending);
