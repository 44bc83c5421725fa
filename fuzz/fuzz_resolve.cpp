// ResolveQuery against a name service that answers whatever the input says: any query bytes, any
// names (0 to 10,000 bytes), any address lists, any error.
#include <arpa/inet.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lookup/lookuprequest.h"
#include "lookup/resolvequery.h"
#include "platform/winsock.h"

namespace {

struct Script {
    int error = 0;
    std::string name;
    std::vector<std::uint32_t> addresses;
};

class ScriptResolver final : public winsock::NameResolver {
public:
    Script script;
    int Forward(const char*, std::string& canonicalName, std::vector<std::uint32_t>& addresses) override {
        canonicalName = script.name;
        addresses = script.addresses;
        return script.error;
    }
    int Reverse(std::uint32_t, std::string& name) override {
        name = script.name;
        return script.error;
    }
    int HostName(std::string& name) override {
        name = "fuzz-host";
        return 0;
    }
};

bool IsDotted(const CString& line) {
    in_addr address;
    return inet_pton(AF_INET, line, &address) == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScriptResolver resolver;
    winsock::SetResolver(&resolver);
    if (size < 4)
        return 0;
    const std::size_t queryLength = std::min<std::size_t>(data[0], size - 4);
    const std::string query(reinterpret_cast<const char*>(data + 4), queryLength);
    const std::uint8_t* rest = data + 4 + queryLength;
    const std::size_t restSize = size - 4 - queryLength;
    resolver.script = {};
    resolver.script.error = data[1] % 4 == 0 ? -1 - data[1] % 105 : 0;  // one of the C library's EAI_ codes, or another
    const std::size_t nameLength = std::min<std::size_t>(restSize, (std::size_t(data[2]) << 8 | data[3]) % 10001);
    resolver.script.name.assign(reinterpret_cast<const char*>(rest), nameLength);
    for (std::size_t at = nameLength; at + 4 <= restSize; at += 4) {
        std::uint32_t address;
        std::memcpy(&address, rest + at, 4);
        resolver.script.addresses.push_back(address);
    }

    std::vector<CString> answers{"a line from before"};
    ResolveQuery(query.c_str(), answers);
    // Every answer is a dotted address, the registered name whole (up to its first NUL), or the failure line.
    const std::string registered = resolver.script.name.c_str();
    for (const CString& line : answers)
        if (!(line == CANT_RESOLVE) && !IsDotted(line) && line.str() != registered)
            std::abort();
    if (answers.empty() && (resolver.script.error != 0 || !resolver.script.addresses.empty()))
        std::abort();
    return 0;
}
