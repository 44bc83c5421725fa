#include "tests/scriptedresolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace testing_support {

std::uint32_t Address(const std::string& dotted) { return ::inet_addr(dotted.c_str()); }

// The script itself, shared with the calls inside it.
class ScriptedResolver::Script final : public winsock::NameResolver {
public:
    using Answer = ScriptedResolver::Answer;

    // Changes what is held, and lets go of the questions it no longer holds.
    template <typename Change>
    void Holding(Change change) {
        std::lock_guard lock(mutex);
        change();
        released.notify_all();
    }

    int Startup() override { return startupError; }
    int Forward(int family, const char* name, std::string& canonicalName, std::vector<std::string>& addresses) override {
        if (family == AF_INET6)
            return ForwardIpv6(name, addresses);
        const Answer answer = Ask(name, names, std::string(name));
        if (answer.error)
            return answer.error;
        canonicalName = answer.name;
        for (const std::uint32_t address : answer.addresses) {
            char dotted[INET_ADDRSTRLEN];
            addresses.emplace_back(inet_ntop(AF_INET, &address, dotted, sizeof dotted));
        }
        return 0;
    }
    int Reverse(const char* address, std::string& name) override {
        const Answer answer = Ask("", addressNames, std::string(address));
        if (!answer.error)
            name = answer.name;
        return answer.error;
    }
    int HostName(std::string& name) override {
        name = "scripted-host";
        return 0;
    }
    std::vector<std::string> OwnAddresses(int) override { return {}; }  // the loopback ones alone

    std::mutex mutex;
    std::condition_variable released;
    bool held = false;
    bool ipv6Held = false;
    std::set<std::string> heldNames;
    std::map<std::string, int> passes;  // lookups of a held name that may go, one each
    std::map<std::string, Answer> names;
    std::map<std::string, Answer> addressNames;  // by the address's text, IPv4 or IPv6
    std::optional<Answer> everything;
    std::vector<std::string> ipv6Asked;
    int ipv6Waiting = 0;
    int lastIpv6Thread = 0;
    std::atomic<std::chrono::milliseconds> delay{std::chrono::milliseconds(0)};
    std::atomic<int> startupError{0};
    std::atomic<int> calls{0};
    std::atomic<int> waiting{0};
    std::atomic<int> finished{0};

private:
    // Waits while held, then the answer to `question` among `answers`.
    Answer Ask(const std::string& name, const std::map<std::string, Answer>& answers, const std::string& question) {
        ++calls;
        if (delay.load().count())
            std::this_thread::sleep_for(delay.load());  // a name service that takes its time
        std::unique_lock lock(mutex);
        ++waiting;
        released.wait(lock, [&] {
            if (held || (heldNames.count(name) && passes[name] == 0))
                return false;
            passes[name] -= heldNames.count(name) ? 1 : 0;
            return true;
        });
        --waiting;
        ++finished;
        if (everything)
            return *everything;
        const auto found = answers.find(question);
        return found == answers.end() ? Answer{EAI_NONAME} : found->second;
    }

    // Not counted among the calls, and held only by HoldIpv6: a name's IPv6 question goes beside its IPv4 one.
    int ForwardIpv6(const char* name, std::vector<std::string>& addresses) {
        std::unique_lock lock(mutex);
        ipv6Asked.emplace_back(name);
        lastIpv6Thread = gettid();
        ++ipv6Waiting;
        released.wait(lock, [&] { return !ipv6Held; });
        --ipv6Waiting;
        const auto found = names.find(name);
        const Answer* answer = everything ? &*everything : found == names.end() ? nullptr : &found->second;
        if (!answer)
            return EAI_NONAME;
        if (answer->ipv6Error)
            return answer->ipv6Error;
        if (answer->error || answer->ipv6.empty())
            return answer->error ? answer->error : EAI_NODATA;  // as the C library tells a name without them
        addresses = answer->ipv6;
        return 0;
    }
};

ScriptedResolver::ScriptedResolver() : m_script(std::make_shared<Script>()) { winsock::SetResolver(m_script); }

ScriptedResolver::~ScriptedResolver() {
    Release();
    winsock::SetResolver(nullptr);
}

void ScriptedResolver::AddName(const std::string& name, std::vector<std::string> dotted, int error, std::vector<std::string> ipv6,
                               int ipv6Error) {
    Answer answer{error, name, {}, std::move(ipv6), ipv6Error};
    for (const std::string& each : dotted)
        answer.addresses.push_back(Address(each));
    m_script->Holding([&] { m_script->names[name] = answer; });
}

void ScriptedResolver::AddAddress(const std::string& address, std::string name, int error) {
    m_script->Holding([&] { m_script->addressNames[address] = Answer{error, std::move(name)}; });
}

void ScriptedResolver::AnswerEverything(Answer answer) {
    m_script->Holding([&] { m_script->everything = std::move(answer); });
}

void ScriptedResolver::SetDelay(std::chrono::milliseconds delay) { m_script->delay = delay; }
void ScriptedResolver::SetStartupError(int error) { m_script->startupError = error; }
void ScriptedResolver::HoldName(const std::string& name) { m_script->Holding([&] { m_script->heldNames.insert(name); }); }
void ScriptedResolver::ReleaseName(const std::string& name) { m_script->Holding([&] { m_script->heldNames.erase(name); }); }
void ScriptedResolver::ReleaseOne(const std::string& name) { m_script->Holding([&] { ++m_script->passes[name]; }); }
void ScriptedResolver::Hold() { m_script->Holding([&] { m_script->held = true; }); }
void ScriptedResolver::HoldIpv6() { m_script->Holding([&] { m_script->ipv6Held = true; }); }
void ScriptedResolver::ReleaseIpv6() { m_script->Holding([&] { m_script->ipv6Held = false; }); }

void ScriptedResolver::Release() {
    m_script->Holding([&] {
        m_script->held = false;
        m_script->ipv6Held = false;
        m_script->heldNames.clear();
        m_script->passes.clear();
    });
}

int ScriptedResolver::Calls() const { return m_script->calls; }
int ScriptedResolver::Waiting() const { return m_script->waiting; }
int ScriptedResolver::Finished() const { return m_script->finished; }

std::vector<std::string> ScriptedResolver::Ipv6Asked() const {
    std::lock_guard lock(m_script->mutex);
    return m_script->ipv6Asked;
}

int ScriptedResolver::LastIpv6Thread() const {
    std::lock_guard lock(m_script->mutex);
    return m_script->lastIpv6Thread;
}

int ScriptedResolver::Ipv6Waiting() const {
    std::lock_guard lock(m_script->mutex);
    return m_script->ipv6Waiting;
}

}  // namespace testing_support
