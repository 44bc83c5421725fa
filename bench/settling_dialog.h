// The main dialog, for the benchmarks that wait for every lookup's description to settle.
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support.h"
#include "tests/ui/dialog_access.h"

class SettlingDialog : public TestableDialog {
public:
    using Clock = std::chrono::steady_clock;

    // Whether each query's lookup is done and its IPv6 part no longer still being asked. Those found
    // settled once are not looked at again.
    bool Settled(const std::vector<std::string>& queries) {
        if (&queries != m_queries)
            m_queries = &queries, m_settled = 0;
        for (; m_settled < queries.size(); ++m_settled) {
            const StoredLookup* done = m_answerCache.Find(CString(queries[m_settled]));
            if (!done || done->report.ipv6.state == Ipv6Answer::State::Asking)
                return false;
        }
        return true;
    }
    // Runs events, for a moment at least, until the queries' descriptions have settled or `seconds` have passed.
    bool PumpUntilSettled(const std::vector<std::string>& queries, int seconds) {
        const auto giveUp = Clock::now() + std::chrono::seconds(seconds);
        do {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);  // a burst of later parts, one send at a time
        } while (!Settled(queries) && Clock::now() < giveUp);
        return Settled(queries);
    }

private:
    const std::vector<std::string>* m_queries = nullptr;
    std::size_t m_settled = 0;
};
