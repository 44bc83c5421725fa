#include "tasks/questionpool.h"

#include <sys/socket.h>

#include "lookup/querykind.h"
#include "lookup/resolvequery.h"
#include "platform/winthread.h"

Ipv6Answer Ipv6Question::Answer() const {
    std::lock_guard lock(m_mutex);
    return m_answer;
}

void Ipv6Question::WhenAnswered(Listener listener) {
    std::unique_lock lock(m_mutex);
    if (m_answer.state == Ipv6Answer::State::Asking) {
        m_listeners.push_back(std::move(listener));
        return;
    }
    const Ipv6Answer answer = m_answer;
    lock.unlock();
    listener(answer);
}

Ipv6Answer Ipv6Question::AskNow() const {
    std::string canonicalName;
    std::vector<std::string> addresses;
    const int error = m_resolver->Forward(AF_INET6, m_name.c_str(), canonicalName, addresses);
    return Ipv6AnswerOf(error, std::move(addresses));
}

void Ipv6Question::Finish(const Ipv6Answer& answer) {
    std::vector<Listener> listeners;
    {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
        listeners.swap(m_listeners);
    }
    for (const Listener& listener : listeners)
        listener(answer);
}

class QuestionThread final : public CWinThread {
public:
    explicit QuestionThread(QuestionPool& pool) : m_pool(pool) {}
    BOOL InitInstance() override {
        m_pool.Serve();
        return FALSE;
    }

private:
    QuestionPool& m_pool;
};

QuestionPool::QuestionPool(std::size_t maxThreads, std::chrono::milliseconds idle) : m_maxThreads(maxThreads), m_idleTime(idle) {}

QuestionPool::~QuestionPool() {
    std::unique_lock lock(m_mutex);
    m_ending = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_threads == 0; });
}

QuestionPool& QuestionPool::Shared() {
    static QuestionPool* const pool = new QuestionPool;
    return *pool;
}

std::size_t QuestionPool::Threads() const {
    std::lock_guard lock(m_mutex);
    return m_threads;
}

std::shared_ptr<Ipv6Question> QuestionPool::Ask(const std::string& name, std::shared_ptr<winsock::NameResolver> resolver) {
    const Key key{resolver.get(), name};
    std::unique_lock lock(m_mutex);
    if (const auto out = m_out.find(key); out != m_out.end())
        return out->second;
    auto question = std::make_shared<Ipv6Question>(name, std::move(resolver));
    m_out.emplace(key, question);
    m_waiting.push_back(question);
    if (m_idle >= m_waiting.size()) {
        m_changed.notify_one();
        return question;
    }
    if (m_threads < m_maxThreads) {
        auto thread = std::make_unique<QuestionThread>(*this);
        if (thread->CreateThread()) {
            ++m_threads;
            thread.release();  // deletes itself as it ends
            return question;
        }
    }
    if (m_threads == 0) {  // no thread to ask it, now or later
        m_waiting.pop_back();
        m_out.erase(key);
        lock.unlock();
        question->Finish({Ipv6Answer::State::NotAsked});
    }
    return question;
}

void QuestionPool::Serve() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        const bool asked = m_changed.wait_for(lock, m_idleTime, [&] { return !m_waiting.empty() || m_ending; });
        --m_idle;
        if (!asked || m_waiting.empty()) {
            --m_threads;
            m_changed.notify_all();  // a pool that is ending waits for this
            return;
        }
        const std::shared_ptr<Ipv6Question> question = std::move(m_waiting.back());
        m_waiting.pop_back();
        lock.unlock();
        const Ipv6Answer answer = question->AskNow();
        lock.lock();
        m_out.erase(Key{question->m_resolver.get(), question->m_name});  // a lookup asked from here on asks again
        lock.unlock();
        question->Finish(answer);
        lock.lock();
    }
}

LookupReport ResolveWithIpv6(const char* query, std::vector<CString>& answers, std::shared_ptr<Ipv6Question>& late) {
    const std::shared_ptr<Ipv6Question> ipv6 =
        KindOf(query) == QueryKind::Name ? QuestionPool::Shared().Ask(query, winsock::CurrentResolver()) : nullptr;
    LookupReport report = ResolveQuery(query, answers);
    if (ipv6 && (report.outcome == LookupOutcome::Answered || report.outcome == LookupOutcome::NoIpv4Address))
        report.ipv6 = ipv6->Answer();
    if (report.ipv6.state == Ipv6Answer::State::Asking)
        late = ipv6;
    return report;
}
