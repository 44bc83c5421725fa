#include "tests/scriptedresolver.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <thread>

namespace testing_support {

std::uint32_t Address(const std::string& dotted) { return ::inet_addr(dotted.c_str()); }

ScriptedResolver::~ScriptedResolver() {
    Release();
    winsock::SetResolver(nullptr);
}

void ScriptedResolver::AddName(const std::string& name, std::vector<std::string> dotted, int error, std::vector<std::string> ipv6,
                               int ipv6Error) {
    Answer answer{error, name, {}, std::move(ipv6), ipv6Error};
    for (const std::string& each : dotted)
        answer.addresses.push_back(Address(each));
    std::lock_guard lock(m_mutex);
    m_names[name] = answer;
}

void ScriptedResolver::AddAddress(const std::string& dotted, std::string name, int error) {
    std::lock_guard lock(m_mutex);
    m_addresses[Address(dotted)] = Answer{error, std::move(name)};
}

void ScriptedResolver::AddIpv6Address(const std::string& address, std::string name, int error) {
    std::lock_guard lock(m_mutex);
    m_ipv6Addresses[address] = Answer{error, std::move(name)};
}

void ScriptedResolver::AnswerEverything(Answer answer) {
    std::lock_guard lock(m_mutex);
    m_everything = std::move(answer);
}

template <typename Key>
ScriptedResolver::Answer ScriptedResolver::Ask(const std::string& name, const std::map<Key, Answer>& answers, const Key& question) {
    ++m_calls;
    if (m_delay.count())
        std::this_thread::sleep_for(m_delay);  // a name service that takes its time
    std::unique_lock lock(m_mutex);
    ++m_waiting;
    m_released.wait(lock, [&] { return !m_held && !m_heldNames.count(name); });
    --m_waiting;
    ++m_finished;
    if (m_everything)
        return *m_everything;
    const auto found = answers.find(question);
    return found == answers.end() ? Answer{EAI_NONAME} : found->second;
}

int ScriptedResolver::Forward(const char* name, std::string& canonicalName, std::vector<std::uint32_t>& addresses) {
    const Answer answer = Ask(name, m_names, std::string(name));
    if (!answer.error) {
        canonicalName = answer.name;
        addresses = answer.addresses;
    }
    return answer.error;
}

int ScriptedResolver::Reverse(std::uint32_t address, std::string& name) {
    const Answer answer = Ask("", m_addresses, address);
    if (!answer.error)
        name = answer.name;
    return answer.error;
}

int ScriptedResolver::ForwardIpv6(const char* name, std::vector<std::string>& addresses) {
    std::unique_lock lock(m_mutex);
    m_released.wait(lock, [&] { return !m_ipv6Held; });
    const auto found = m_names.find(name);
    const Answer* answer = m_everything ? &*m_everything : found == m_names.end() ? nullptr : &found->second;
    if (!answer)
        return EAI_NONAME;
    if (answer->ipv6Error)
        return answer->ipv6Error;
    if (answer->error || answer->ipv6.empty())
        return answer->error ? answer->error : EAI_NODATA;  // as the C library tells a name without them
    addresses = answer->ipv6;
    return 0;
}

int ScriptedResolver::ReverseIpv6(const char* address, std::string& name) {
    const Answer answer = Ask("", m_ipv6Addresses, std::string(address));
    if (!answer.error)
        name = answer.name;
    return answer.error;
}

}  // namespace testing_support
