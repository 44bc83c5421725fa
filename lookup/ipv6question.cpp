#include "lookup/ipv6question.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <utility>

#include "platform/winthread.h"

namespace {

// The shared question threads. Each is kept a while after its last question, as starting a thread
// costs more than a question to a nearby server; never more than MAX_THREADS at once.
class QuestionThreads {
public:
    std::shared_ptr<Ipv6Question> Ask(const std::string& name);
    // A question thread's whole life: questions until none has come for a while.
    void Serve();

private:
    using Key = std::pair<const winsock::NameResolver*, std::string>;

    std::mutex m_mutex;
    std::condition_variable m_asked;
    std::deque<std::shared_ptr<Ipv6Question>> m_waiting;
    std::map<Key, std::shared_ptr<Ipv6Question>> m_out;  // asked and not yet answered
    std::size_t m_threads = 0;
    std::size_t m_idle = 0;
};

QuestionThreads& Threads() {
    static QuestionThreads* const threads = new QuestionThreads;  // never destroyed: its threads outlive main
    return *threads;
}

class QuestionThread final : public CWinThread {
public:
    BOOL InitInstance() override {
        Threads().Serve();
        return FALSE;
    }
};

std::shared_ptr<Ipv6Question> QuestionThreads::Ask(const std::string& name) {
    auto question = std::make_shared<Ipv6Question>(name, winsock::LeaseResolver());
    std::unique_lock lock(m_mutex);
    const auto [out, added] = m_out.try_emplace(Key{question->Resolver(), name}, question);
    if (!added)
        return out->second;  // the lease of the one made here ends with it
    m_waiting.push_back(question);
    if (m_idle >= m_waiting.size()) {
        m_asked.notify_one();
        return question;
    }
    if (m_threads < Ipv6Question::MAX_THREADS) {
        auto thread = std::make_unique<QuestionThread>();
        ++m_threads;
        if (thread->CreateThread()) {
            thread.release();  // deletes itself as it ends
            return question;
        }
        --m_threads;
    }
    if (m_threads == 0) {  // no thread to ask it, now or later
        m_waiting.pop_back();
        m_out.erase(out);
        lock.unlock();
        question->Finish({Ipv6Answer::State::NotAsked});
    }
    return question;
}

void QuestionThreads::Serve() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        const bool asked = m_asked.wait_for(lock, std::chrono::seconds(2), [&] { return !m_waiting.empty(); });
        --m_idle;
        if (!asked) {
            --m_threads;
            return;
        }
        const std::shared_ptr<Ipv6Question> question = std::move(m_waiting.front());
        m_waiting.pop_front();
        const Key key{question->Resolver(), question->Name()};
        lock.unlock();
        Ipv6Answer answer = question->AskNow();
        lock.lock();
        m_out.erase(key);  // a lookup asked from here on asks again
        lock.unlock();
        question->Finish(std::move(answer));
        lock.lock();
    }
}

}  // namespace

std::shared_ptr<Ipv6Question> Ipv6Question::Ask(const std::string& name) { return Threads().Ask(name); }

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

Ipv6Answer Ipv6Question::AskNow() {
    std::vector<std::string> addresses;
    const int error = m_resolver->ForwardIpv6(m_name.c_str(), addresses);
    return Ipv6Answer::Of(error, std::move(addresses));
}

void Ipv6Question::Finish(Ipv6Answer answer) {
    std::vector<Listener> listeners;
    {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
        listeners.swap(m_listeners);
        // The resolver may be replaced from here on: a listener that waits on the thread replacing it
        // must not hold the replacement up.
        m_resolver.reset();
    }
    for (const Listener& listener : listeners)
        listener(answer);
}
