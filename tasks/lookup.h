// One lookup: its query, kind, resolver and owner, the question of its answer lines and its later ones.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "lookup/lookuptables.h"
#include "tasks/questionpool.h"

// Sent to the lookup's owner when its answer lines are in: wParam the record's code (never read),
// lParam its request id. The handler answers 1, or 0 for an id that is not pending.
constexpr UINT WM_LOOKUP_DONE = WM_USER + 23;
// A part of a lookup's report that came later, only ever after its WM_LOOKUP_DONE: wParam a
// const LaterPart* valid while the message is handled, lParam the lookup's request id.
constexpr UINT WM_LATER_PART = WM_USER + 24;

// Made once on the dialog thread from its record: it takes the query's kind and the resolver in use
// there, once, for all its questions. The answer lines' question is asked on its resolver thread, the
// later ones on the pool: a name's IPv6 addresses beside it, and whether a registered name leads back
// once the answer lines are shown. It knows which are still out; it ends, and lets go of its resolver, when the
// last is in and the thread is done with it.
class Lookup : public std::enable_shared_from_this<Lookup> {
public:
    explicit Lookup(const LookupRequest& request, QuestionPool& pool = QuestionPool::Shared());
    const std::shared_ptr<winsock::NameResolver>& Resolver() const { return m_resolver; }
    // On the resolver thread, once: fills the record and its report and tells the owner; each later
    // part is then sent as it comes. The record is not touched after its WM_LOOKUP_DONE.
    void Run(StoredLookup& record);

private:
    enum class Later { Ipv6, LeadsBack };
    void Ask(Later later, const Question& question);
    // On a pool thread, or at once.
    void Heard(Later later, const QuestionAnswer& answer);
    // Under the lock: nothing later has anywhere to go; the questions out are no longer wanted, what came is dropped.
    void ForgetLater() {
        m_out.clear();
        m_parts.clear();
    }

    QuestionPool& m_pool;
    const QueryKind m_kind;
    const HWND m_owner;
    const LookupRequest m_request;  // as made, before any answer
    const std::shared_ptr<winsock::NameResolver> m_resolver;
    // A registered name to check, the address it was found for, and their family.
    struct {
        std::string name, address;
        int family = AF_INET;
    } m_registered;
    std::mutex m_mutex;
    std::set<Later> m_out;           // later questions still out and wanted
    std::vector<LaterPart> m_parts;  // later parts in before the owner had the answer lines
    bool m_reported = false;         // the owner has had its WM_LOOKUP_DONE
};
