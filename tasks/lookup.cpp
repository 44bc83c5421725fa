#include "tasks/lookup.h"

#include <sys/socket.h>

#include <utility>

#include "lookup/resolvequery.h"
#include "platform/wnd.h"

Lookup::Lookup(const LookupRequest& request, QuestionPool& pool)
    : m_pool(pool),
      m_kind(KindOf(request.query)),
      m_owner(request.owner ? request.owner->GetSafeHwnd() : nullptr),
      m_request(request),
      m_resolver(winsock::CurrentResolver()) {}

void Lookup::Run(StoredLookup& record) {
    if (m_kind == QueryKind::Name)
        Ask(Later::Ipv6, {AF_INET6, m_request.query.str()});
    winsock::UseOnThisThread(m_resolver);
    LookupReport& report = record.report = ResolveQuery(m_kind, m_request.query, record.request.answers);
    winsock::UseOnThisThread(nullptr);
    {
        std::lock_guard lock(m_mutex);
        // A name the server does not know, or could not tell, has no IPv6 part to wait for.
        if (report.outcome != LookupOutcome::Answered && report.outcome != LookupOutcome::NoAddressOfFamily)
            ForgetLater();
        for (const LaterPart& part : std::exchange(m_parts, {}))
            part.ApplyTo(report);
        if (m_out.count(Later::Ipv6))
            report.ipv6 = {Ipv6Answer::State::Asking};
    }
    // A registered name is asked for its addresses of the family once the answer lines are shown.
    const bool registered = report.outcome == LookupOutcome::Answered && (m_kind == QueryKind::Ipv4Address || m_kind == QueryKind::Ipv6Address);
    if (registered) {
        const bool ipv4 = m_kind == QueryKind::Ipv4Address;
        m_registered = {ipv4 ? record.request.answers.front().str() : report.ipv6Name, report.address, ipv4 ? AF_INET : AF_INET6};
        report.leadsBack = {LeadsBack::State::Checking, m_registered.name};
    }
    // 0: the window has gone, or has no such lookup.
    const bool taken = ::SendMessage(m_owner, WM_LOOKUP_DONE, WPARAM(record.request.code), LPARAM(record.request.requestId));
    std::vector<LaterPart> parts;
    {
        std::lock_guard lock(m_mutex);
        if (!taken)
            ForgetLater();
        parts.swap(m_parts);
        m_reported = true;
    }
    for (const LaterPart& part : parts)
        ::SendMessage(m_owner, WM_LATER_PART, reinterpret_cast<WPARAM>(&part), LPARAM(m_request.requestId));
    if (taken && registered)
        Ask(Later::LeadsBack, {m_registered.family, m_registered.name});
}

void Lookup::Ask(Later later, const Question& question) {
    {
        std::lock_guard lock(m_mutex);
        m_out.insert(later);
    }
    const std::shared_ptr<Lookup> self = shared_from_this();
    const auto wanted = [self, later] {
        std::lock_guard lock(self->m_mutex);
        return self->m_out.count(later) && IsWindow(self->m_owner);
    };
    m_pool.Ask(question, m_resolver, [self, later](const QuestionAnswer& answer) { self->Heard(later, answer); }, wanted);
}

void Lookup::Heard(Later later, const QuestionAnswer& answer) {
    LaterPart part{m_request.query};
    const auto& [name, address, family] = m_registered;
    if (later == Later::Ipv6)
        part.ipv6 = answer.leftUnasked ? Ipv6Answer{Ipv6Answer::State::LeftUnasked}
                                       : Ipv6AnswerOf(answer.error, answer.addresses, m_resolver->OwnAddresses(AF_INET6));
    else
        part.leadsBack = answer.leftUnasked ? LeadsBack{LeadsBack::State::CouldNotCheck, name}
                                            : LeadsBackOf(name, address, family, answer.error, answer.addresses);
    {
        std::lock_guard lock(m_mutex);
        if (!m_out.erase(later))
            return;  // no longer wanted
        if (!m_reported)
            return m_parts.push_back(part);  // the resolver thread sends it, after the answer lines
    }
    ::SendMessage(m_owner, WM_LATER_PART, reinterpret_cast<WPARAM>(&part), LPARAM(m_request.requestId));
}
