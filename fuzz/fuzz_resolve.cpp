// ResolveQuery against a name service that answers whatever the input says: any query bytes, any
// names (0 to 10,000 bytes), any address lists, any error; then the facts of its description told of
// any text.
#include <arpa/inet.h>
#include <netdb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lookup/lookupreport.h"
#include "lookup/lookuprequest.h"
#include "lookup/resolvequery.h"
#include "tests/scriptedresolver.h"

namespace {

bool IsDotted(const CString& line) {
    in_addr address;
    return inet_pton(AF_INET, line, &address) == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testing_support::ScriptedResolver resolver;
    if (size < 4)
        return 0;
    const std::size_t queryLength = std::min<std::size_t>(data[0], size - 4);
    const std::string query(reinterpret_cast<const char*>(data + 4), queryLength);
    const std::uint8_t* rest = data + 4 + queryLength;
    const std::size_t restSize = size - 4 - queryLength;
    testing_support::ScriptedResolver::Answer script;
    script.error = data[1] % 4 == 0 ? -1 - data[1] % 105 : 0;  // one of the C library's EAI_ codes, or another
    const std::size_t nameLength = std::min<std::size_t>(restSize, (std::size_t(data[2]) << 8 | data[3]) % 10001);
    script.name.assign(reinterpret_cast<const char*>(rest), nameLength);
    for (std::size_t at = nameLength; at + 4 <= restSize; at += 4) {
        std::uint32_t address;
        std::memcpy(&address, rest + at, 4);
        script.addresses.push_back(address);
    }
    resolver.AnswerEverything(script);

    std::vector<CString> answers{"a line from before"};
    LookupReport report = ResolveQuery(KindOf(query.c_str()), query.c_str(), answers);
    // Every answer is a dotted address, the registered name whole (up to its first NUL), or the failure line.
    const std::string registered = script.name.c_str();
    for (const CString& line : answers)
        if (!(line == CANT_RESOLVE) && !IsDotted(line) && line.str() != registered)
            std::abort();
    // No lines only for a name without IPv4 addresses, however the service tells it.
    const bool toldNoIpv4 = script.error == EAI_NODATA || script.error == EAI_ADDRFAMILY;
    if (answers.empty() && (script.error != 0 || !script.addresses.empty()) && !toldNoIpv4)
        std::abort();
    // The facts are told of any text: the canonical name is the service's, and the registered name,
    // the IPv6 addresses and the addresses it leads to are the fuzzer's, as text of any bytes.
    if (!report.knownAs.empty() && report.knownAs != registered)
        std::abort();
    const std::vector<std::string> texts{registered, query, script.name};
    report.ipv6 = Ipv6AnswerOf(0, texts, texts);
    report.leadsBack = LeadsBackOf(registered, query, data[1] % 2 ? AF_INET : AF_INET6, script.error, texts);
    report.leadsBack.state = LeadsBack::State(data[1] % 5);
    if (DescribeLookup(query.c_str(), report, answers.size()).find(Describe(report, answers.size())) == std::string::npos)
        std::abort();
    return 0;
}
