// Host names' IPv6 questions, asked on a few shared question threads beside the lookups' own, so that
// their answers never hold back the IPv4 lines and a burst of lookups costs a bounded number of threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "lookup/lookupreport.h"
#include "platform/winsock.h"

// One name's question to one resolver, shared by every lookup that asked it while it was out.
class Ipv6Question {
public:
    using Listener = std::function<void(const Ipv6Answer&)>;

    Ipv6Question(std::string name, std::shared_ptr<winsock::NameResolver> resolver)
        : m_name(std::move(name)), m_resolver(std::move(resolver)) {}

    // The answer when it is in; Asking while the question is out.
    Ipv6Answer Answer() const;
    // `listener` gets the answer once: at once when it is in, otherwise on the question thread as it comes.
    void WhenAnswered(Listener listener);

private:
    friend class QuestionPool;
    Ipv6Answer AskNow() const;
    void Finish(const Ipv6Answer& answer);

    const std::string m_name;
    const std::shared_ptr<winsock::NameResolver> m_resolver;  // held until the question is answered
    mutable std::mutex m_mutex;
    Ipv6Answer m_answer{Ipv6Answer::State::Asking};
    std::vector<Listener> m_listeners;
};

class QuestionPool {
public:
    static constexpr std::size_t MAX_THREADS = 8;

    // Threads are kept `idle` after their last question, as starting one costs more than a question to
    // a nearby server; never more than `maxThreads` at once.
    explicit QuestionPool(std::size_t maxThreads = MAX_THREADS, std::chrono::milliseconds idle = std::chrono::seconds(2));
    // Ends its threads as soon as no question waits, and waits for them.
    ~QuestionPool();
    QuestionPool(const QuestionPool&) = delete;
    QuestionPool& operator=(const QuestionPool&) = delete;

    // Asks `resolver` for the name's IPv6 addresses, or joins the same question still out to it. Of the
    // questions waiting for a thread, the one asked last is asked first: it belongs to the lookup the
    // user is looking at. Told "could not be asked" when no thread can be had, now or later.
    std::shared_ptr<Ipv6Question> Ask(const std::string& name, std::shared_ptr<winsock::NameResolver> resolver);
    std::size_t Threads() const;

    // The program's. Never destroyed: its threads may outlive main.
    static QuestionPool& Shared();

private:
    friend class QuestionThread;
    // A question thread's whole life: questions until none has come for a while.
    void Serve();

    using Key = std::pair<const winsock::NameResolver*, std::string>;
    const std::size_t m_maxThreads;
    const std::chrono::milliseconds m_idleTime;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Ipv6Question>> m_waiting;
    std::map<Key, std::shared_ptr<Ipv6Question>> m_out;  // asked and not yet answered
    std::size_t m_threads = 0;
    std::size_t m_idle = 0;
    bool m_ending = false;
};

// A lookup's two questions: ResolveQuery's, with a host name's IPv6 question asked beside it and
// never waited for. While that answer is still out the report says so, and `late`
// receives the question, whose answer comes through it.
LookupReport ResolveWithIpv6(const char* query, std::vector<CString>& answers, std::shared_ptr<Ipv6Question>& late);
