// A host name's IPv6 question, asked beside its IPv4 one on one of a few shared question threads, so
// that its answer never holds back the IPv4 lines and a burst of lookups costs a bounded number of threads.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lookup/ipv6answer.h"
#include "platform/winsock.h"

class Ipv6Question {
public:
    using Listener = std::function<void(const Ipv6Answer&)>;
    // At most this many question threads run at once; further questions wait their turn.
    static constexpr int MAX_THREADS = 8;

    // Asks the resolver in use now, or joins the same question still out to the same resolver.
    static std::shared_ptr<Ipv6Question> Ask(const std::string& name);

    Ipv6Question(std::string name, std::shared_ptr<winsock::NameResolver> resolver)
        : m_name(std::move(name)), m_resolver(std::move(resolver)) {}

    // The answer when it is in; Asking while the question is out.
    Ipv6Answer Answer() const;
    // `listener` gets the answer once: at once when it is in, otherwise on the question thread as it comes.
    void WhenAnswered(Listener listener);

    // The question threads' side: asks the resolver (blocking), then tells the answer.
    Ipv6Answer AskNow();
    void Finish(Ipv6Answer answer);
    const std::string& Name() const { return m_name; }
    const winsock::NameResolver* Resolver() const { return m_resolver.get(); }

private:
    const std::string m_name;
    std::shared_ptr<winsock::NameResolver> m_resolver;  // a lease, let go as soon as it has answered
    mutable std::mutex m_mutex;
    Ipv6Answer m_answer{Ipv6Answer::State::Asking};
    std::vector<Listener> m_listeners;
};
