#include "tests/support.h"

#include <arpa/inet.h>
#include <netdb.h>

namespace testing_support {

std::uint32_t Address(const std::string& dotted) { return ::inet_addr(dotted.c_str()); }

void ScriptedResolver::AddName(const std::string& name, std::vector<std::string> dotted, int error) {
    Answer answer{error, name, {}};
    for (const std::string& each : dotted)
        answer.addresses.push_back(Address(each));
    std::lock_guard lock(m_mutex);
    m_names[name] = answer;
}

void ScriptedResolver::AddAddress(const std::string& dotted, std::string name, int error) {
    std::lock_guard lock(m_mutex);
    m_addresses[Address(dotted)] = Answer{error, std::move(name), {}};
}

void ScriptedResolver::WaitWhileHeld(const std::string& name) {
    std::unique_lock lock(m_mutex);
    ++m_waiting;
    m_released.wait(lock, [&] { return !m_held && !m_heldNames.count(name); });
    --m_waiting;
}

int ScriptedResolver::Forward(const char* name, std::string& canonicalName, std::vector<std::uint32_t>& addresses) {
    ++m_calls;
    WaitWhileHeld(name);
    std::lock_guard lock(m_mutex);
    ++m_finished;
    auto found = m_names.find(name);
    if (found == m_names.end())
        return EAI_NONAME;
    if (found->second.error)
        return found->second.error;
    canonicalName = found->second.name;
    addresses = found->second.addresses;
    return 0;
}

int ScriptedResolver::Reverse(std::uint32_t address, std::string& name) {
    ++m_calls;
    WaitWhileHeld("");
    std::lock_guard lock(m_mutex);
    ++m_finished;
    auto found = m_addresses.find(address);
    if (found == m_addresses.end())
        return EAI_NONAME;
    if (found->second.error)
        return found->second.error;
    name = found->second.name;
    return 0;
}

}  // namespace testing_support
