// Questions asked of a resolver on a few shared threads, so that whoever asks never waits for the
// answer and a burst of questions costs a bounded number of threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/winsock.h"

// A name's addresses of one family (AF_INET, AF_INET6), or with AF_UNSPEC an address's registered name.
struct Question {
    int family = AF_UNSPEC;
    std::string text;
    auto operator<=>(const Question&) const = default;
};

struct QuestionAnswer {
    int error = 0;  // the resolver's EAI_ code, 0 for an answer; EAI_SYSTEM when no thread could ask it
    std::string name{};  // the canonical name, or the registered one
    std::vector<std::string> addresses{};
    // Not asked: the questions of its family before it got no answer from its resolver, several in a row.
    bool leftUnasked = false;
};

class QuestionPool {
public:
    static constexpr std::size_t MAX_THREADS = 8;
    // After this many questions of one family in a row got no answer from a resolver, it is asked one
    // more at a time until it answers, and the others are told at once that they were left unasked.
    static constexpr int SILENT_RUN = 4;

    using Told = std::function<void(const QuestionAnswer&)>;
    using Wanted = std::function<bool()>;

    // Threads are kept `idle` after their last question, as starting one costs more than a question to
    // a nearby server. Of the questions waiting, the one asked last goes first, as it is what the user
    // looks at, unless one has waited `longestWait`.
    explicit QuestionPool(std::size_t maxThreads = MAX_THREADS, std::chrono::milliseconds idle = std::chrono::seconds(2),
                          std::chrono::milliseconds longestWait = std::chrono::seconds(10));
    // Ends its threads as soon as no question waits, and waits for them.
    ~QuestionPool();

    // Asks `resolver` on a pool thread, or joins the same question still out to it. `told` gets the
    // answer once, on a pool thread or at once; an asker no longer `wanted` when a thread takes the
    // question is dropped untold, and a question nobody wants is never asked.
    void Ask(const Question& question, std::shared_ptr<winsock::NameResolver> resolver, Told told, Wanted wanted);

    // The program's. Never destroyed: its threads may outlive main.
    static QuestionPool& Shared();

private:
    friend class QuestionThread;
    struct Out;
    using Clock = std::chrono::steady_clock;
    using Key = std::pair<const winsock::NameResolver*, Question>;
    using Tellings = std::vector<std::pair<Told, QuestionAnswer>>;

    // A question thread's whole life: questions until none has come for a while.
    void Serve();
    std::shared_ptr<Out> TakeNext();
    void Heard(const Out& out, const QuestionAnswer& answer, Tellings& tellings);
    // How many questions of its family to its resolver got no answer in a row.
    int& RunOfNoAnswers(const Out& out);

    const std::size_t m_maxThreads;
    const std::chrono::milliseconds m_idleTime;
    const std::chrono::milliseconds m_longestWait;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<std::uint64_t, std::shared_ptr<Out>> m_waiting;  // by the order asked
    std::map<Key, std::shared_ptr<Out>> m_out;                // waiting or being asked: joined, not asked again
    // Runs of no answers by resolver, not held (one that goes takes its runs along), then by family.
    std::map<std::weak_ptr<winsock::NameResolver>, std::map<int, int>, std::owner_less<>> m_silence;
    std::uint64_t m_asked = 0;
    std::size_t m_threads = 0;
    std::size_t m_idle = 0;
    bool m_ending = false;
};
