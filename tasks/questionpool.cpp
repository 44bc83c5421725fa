#include "tasks/questionpool.h"

#include <netdb.h>

#include <algorithm>
#include <iterator>

#include "platform/winthread.h"

struct QuestionPool::Out {
    Question question;
    std::shared_ptr<winsock::NameResolver> resolver;  // held until the question is answered
    std::vector<std::pair<Told, Wanted>> askers;
    Clock::time_point since;
};

namespace {

QuestionAnswer AskNow(const Question& question, winsock::NameResolver& resolver) {
    QuestionAnswer answer;
    const char* text = question.text.c_str();
    answer.error = question.family == AF_UNSPEC ? resolver.Reverse(text, answer.name) : resolver.Forward(question.family, text, answer.name, answer.addresses);
    return answer;
}

}  // namespace

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

QuestionPool::QuestionPool(std::size_t maxThreads, std::chrono::milliseconds idle, std::chrono::milliseconds longestWait)
    : m_maxThreads(maxThreads), m_idleTime(idle), m_longestWait(longestWait) {}

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

void QuestionPool::Ask(const Question& question, std::shared_ptr<winsock::NameResolver> resolver, Told told, Wanted wanted) {
    const Key key{resolver.get(), question};
    std::unique_lock lock(m_mutex);
    if (const auto out = m_out.find(key); out != m_out.end()) {
        out->second->askers.emplace_back(std::move(told), std::move(wanted));
        return;
    }
    auto out = std::make_shared<Out>(Out{question, std::move(resolver), {{std::move(told), std::move(wanted)}}, Clock::now()});
    // While the resolver is silent, one question of the family at a time listens for it to answer again.
    const auto alike = m_out.lower_bound(Key{key.first, {question.family, ""}});
    if (RunOfNoAnswers(*out) >= SILENT_RUN && alike != m_out.end() && alike->first.first == key.first &&
        alike->first.second.family == question.family) {
        lock.unlock();
        return out->askers.front().first({.leftUnasked = true});
    }
    m_out.emplace(key, out);
    m_waiting.emplace(++m_asked, out);
    m_changed.notify_one();
    if (m_idle < m_waiting.size() && m_threads < m_maxThreads) {
        auto thread = std::make_unique<QuestionThread>(*this);
        if (thread->CreateThread()) {
            ++m_threads;
            thread.release();  // deletes itself as it ends
        }
    }
    if (m_threads == 0) {  // no thread to ask it, now or later
        m_waiting.erase(m_asked);
        m_out.erase(key);
        lock.unlock();
        out->askers.front().first({EAI_SYSTEM});
    }
}

void QuestionPool::Serve() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        const bool woken = m_changed.wait_for(lock, m_idleTime, [&] { return !m_waiting.empty() || m_ending; });
        --m_idle;
        const std::shared_ptr<Out> out = TakeNext();
        if (!out && woken && !m_ending)
            continue;  // every question that waited was no longer wanted
        if (!out) {
            --m_threads;
            m_changed.notify_all();  // a pool that is ending waits for this
            return;
        }
        lock.unlock();
        const QuestionAnswer answer = AskNow(out->question, *out->resolver);
        lock.lock();
        Tellings tellings;
        Heard(*out, answer, tellings);
        lock.unlock();
        for (const auto& [told, heard] : tellings)
            told(heard);
        lock.lock();
    }
}

// The newest waiting question that someone still wants, or the oldest once it has waited too long.
std::shared_ptr<QuestionPool::Out> QuestionPool::TakeNext() {
    while (!m_waiting.empty()) {
        const auto oldest = m_waiting.begin();
        const auto next = Clock::now() - oldest->second->since >= m_longestWait ? oldest : std::prev(m_waiting.end());
        std::shared_ptr<Out> out = std::move(next->second);
        m_waiting.erase(next);
        std::erase_if(out->askers, [](const auto& asker) { return !asker.second(); });
        if (!out->askers.empty())
            return out;
        m_out.erase(Key{out->resolver.get(), out->question});
    }
    return nullptr;
}

// What to tell of a question just answered: its askers, and once its resolver has been silent too
// often in a row, every question of its family still waiting for that resolver.
void QuestionPool::Heard(const Out& out, const QuestionAnswer& answer, Tellings& tellings) {
    const auto tell = [&](const Out& each, const QuestionAnswer& told) {
        m_out.erase(Key{each.resolver.get(), each.question});
        for (const auto& asker : each.askers)
            tellings.emplace_back(asker.first, told);
    };
    tell(out, answer);
    int& run = RunOfNoAnswers(out);
    run = answer.error == EAI_AGAIN ? run + 1 : 0;
    if (run >= SILENT_RUN)
        std::erase_if(m_waiting, [&](const auto& each) {
            const bool alike = each.second->resolver == out.resolver && each.second->question.family == out.question.family;
            if (alike)
                tell(*each.second, {.leftUnasked = true});
            return alike;
        });
}

int& QuestionPool::RunOfNoAnswers(const Out& out) {
    std::erase_if(m_silence, [](const auto& each) { return each.first.expired(); });
    return m_silence[out.resolver][out.question.family];
}
