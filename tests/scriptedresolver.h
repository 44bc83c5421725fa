// A name service that answers from a script, for the tests, the benchmarks and the fuzz targets.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/winsock.h"

namespace testing_support {

// Answers from a script, counts calls, and may hold lookups until released. Its errors are the C
// library's EAI_ codes; an unknown name or address is EAI_NONAME unless every question has one answer.
// Its script is the resolver in use while it lives; a call still inside the script when it goes keeps
// the script, and is let go at once.
class ScriptedResolver {
public:
    ScriptedResolver();
    ~ScriptedResolver();
    ScriptedResolver(const ScriptedResolver&) = delete;
    ScriptedResolver& operator=(const ScriptedResolver&) = delete;

    struct Answer {
        int error = 0;
        std::string name{};
        std::vector<std::uint32_t> addresses{};
        std::vector<std::string> ipv6{};
        int ipv6Error = 0;  // the IPv6 question's own, where the IPv4 one is answered
    };

    void AddName(const std::string& name, std::vector<std::string> dotted, int error = 0, std::vector<std::string> ipv6 = {},
                 int ipv6Error = 0);
    // An IPv4 or IPv6 address, as the text the reverse question gives.
    void AddAddress(const std::string& address, std::string name, int error = 0);
    // Every name and every address is answered with this, whatever was added.
    void AnswerEverything(Answer answer);
    // Each lookup takes this long before it answers.
    void SetDelay(std::chrono::milliseconds delay);
    void SetStartupError(int error);
    // Lookups of a held name, or all lookups while everything is held, wait until released.
    void HoldName(const std::string& name);
    void ReleaseName(const std::string& name);
    // Lets one lookup of a held name go, now or when it comes.
    void ReleaseOne(const std::string& name);
    void Hold();
    // IPv6 questions wait until released, as behind a server that answers them late.
    void HoldIpv6();
    void ReleaseIpv6();
    void Release();
    // IPv4 and reverse questions asked, waiting while held, and answered.
    int Calls() const;
    int Waiting() const;
    int Finished() const;
    // The names whose IPv6 addresses were asked for, in the order asked, and how many of those wait.
    std::vector<std::string> Ipv6Asked() const;
    int Ipv6Waiting() const;
    // The thread that asked the last IPv6 question, as the system numbers it.
    int LastIpv6Thread() const;

private:
    class Script;
    const std::shared_ptr<Script> m_script;
};

// The address of dotted text, in network order.
std::uint32_t Address(const std::string& dotted);

}  // namespace testing_support
