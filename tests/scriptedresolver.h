// A name service that answers from a script, for the tests, the benchmarks and the fuzz targets.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/winsock.h"

namespace testing_support {

// Answers from a script, counts calls, and may hold lookups until released. Its errors are the C
// library's EAI_ codes; an unknown name or address is EAI_NONAME unless every question has one answer.
// It is the resolver in use while it lives.
class ScriptedResolver final : public winsock::NameResolver {
public:
    ScriptedResolver() { winsock::SetResolver(this); }
    ~ScriptedResolver() override;

    struct Answer {
        int error = 0;
        std::string name{};
        std::vector<std::uint32_t> addresses{};
        std::vector<std::string> ipv6{};
        int ipv6Error = 0;  // the IPv6 question's own, where the IPv4 one is answered
    };

    void AddName(const std::string& name, std::vector<std::string> dotted, int error = 0, std::vector<std::string> ipv6 = {},
                 int ipv6Error = 0);
    void AddAddress(const std::string& dotted, std::string name, int error = 0);
    void AddIpv6Address(const std::string& address, std::string name, int error = 0);
    // Every name and every address is answered with this, whatever was added.
    void AnswerEverything(Answer answer);
    // Each lookup takes this long before it answers.
    void SetDelay(std::chrono::milliseconds delay) { m_delay = delay; }
    void SetStartupError(int error) { m_startupError = error; }
    // Lookups of a held name, or all lookups while everything is held, wait until released.
    void HoldName(const std::string& name) { Holding([&] { m_heldNames.insert(name); }); }
    void ReleaseName(const std::string& name) { Holding([&] { m_heldNames.erase(name); }); }
    void Hold() { Holding([&] { m_held = true; }); }
    // IPv6 questions wait until released, as behind a server that answers them late.
    void HoldIpv6() { Holding([&] { m_ipv6Held = true; }); }
    void ReleaseIpv6() { Holding([&] { m_ipv6Held = false; }); }
    void Release() {
        Holding([&] {
            m_held = false;
            m_ipv6Held = false;
            m_heldNames.clear();
        });
    }
    int Calls() const { return m_calls; }
    int Waiting() const { return m_waiting; }
    int Finished() const { return m_finished; }

    int Startup() override { return m_startupError; }
    int Forward(const char* name, std::string& canonicalName, std::vector<std::uint32_t>& addresses) override;
    int Reverse(std::uint32_t address, std::string& name) override;
    // Not counted, and held only by HoldIpv6: a name's IPv6 question goes beside its IPv4 one.
    int ForwardIpv6(const char* name, std::vector<std::string>& addresses) override;
    int ReverseIpv6(const char* address, std::string& name) override;
    int HostName(std::string& name) override {
        name = "scripted-host";
        return 0;
    }

private:
    // Changes what is held, and lets go of the lookups it no longer holds.
    template <typename Change>
    void Holding(Change change) {
        std::lock_guard lock(m_mutex);
        change();
        m_released.notify_all();
    }
    // Waits while held, then the answer to `question` among `answers`.
    template <typename Key>
    Answer Ask(const std::string& name, const std::map<Key, Answer>& answers, const Key& question);

    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_held = false;
    bool m_ipv6Held = false;
    std::set<std::string> m_heldNames;
    std::map<std::string, Answer> m_names;
    std::map<std::uint32_t, Answer> m_addresses;
    std::map<std::string, Answer> m_ipv6Addresses;
    std::optional<Answer> m_everything;
    std::chrono::milliseconds m_delay{0};
    std::atomic<int> m_startupError{0};
    std::atomic<int> m_calls{0};
    std::atomic<int> m_waiting{0};
    std::atomic<int> m_finished{0};
};

// The address of dotted text, in network order.
std::uint32_t Address(const std::string& dotted);

}  // namespace testing_support
