#include "platform/winsock.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <mutex>
#include <utility>

namespace winsock {
namespace {

int FromAddrInfoError(int error) {
    switch (error) {
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_FAIL: return WSANO_RECOVERY;
    case EAI_NODATA: return WSANO_DATA;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_SYSTEM: return WSASYSNOTREADY;  // the system could not run the lookup at all
    case 0: return 0;
    default: return WSANO_RECOVERY;
    }
}

// The short text of a socket address of either family.
std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    const void* bytes = address->sa_family == AF_INET6 ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr)
                                                       : &reinterpret_cast<const sockaddr_in*>(address)->sin_addr;
    inet_ntop(address->sa_family, bytes, text, sizeof text);
    return text;
}

void AddOnce(std::vector<std::string>& addresses, std::string address) {
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
        addresses.push_back(std::move(address));
}

struct InterfaceAddress {
    int family;
    bool loopback;  // of a loopback interface
    std::string text;
};

// The addresses of this computer's interfaces that are up, IPv6 link-local ones aside (they mean nothing
// without their interface), as the system gave them at most a second ago: asking it costs more than a
// whole lookup.
std::vector<InterfaceAddress> Interfaces() {
    struct Kept {
        std::mutex mutex;
        std::chrono::steady_clock::time_point taken = std::chrono::steady_clock::now() - std::chrono::hours(1);
        std::vector<InterfaceAddress> addresses{};
    };
    static Kept* const kept = new Kept;  // never destroyed: resolver threads may ask while the process ends
    std::lock_guard lock(kept->mutex);
    const auto now = std::chrono::steady_clock::now();
    ifaddrs* list = nullptr;
    if (now - kept->taken < std::chrono::seconds(1) || getifaddrs(&list) != 0)
        return kept->addresses;
    kept->taken = now;
    kept->addresses.clear();
    for (ifaddrs* each = list; each; each = each->ifa_next) {
        const sockaddr* address = each->ifa_addr;
        const int family = address && (each->ifa_flags & IFF_UP) ? address->sa_family : AF_UNSPEC;
        if ((family == AF_INET || family == AF_INET6) &&
            !(family == AF_INET6 && IN6_IS_ADDR_LINKLOCAL(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr)))
            kept->addresses.push_back({family, (each->ifa_flags & IFF_LOOPBACK) != 0, AddressText(address)});
    }
    freeifaddrs(list);
    return kept->addresses;
}

// The interface addresses of `family`: those of the other interfaces, then those of loopback ones.
std::pair<std::vector<std::string>, std::vector<std::string>> InterfaceAddresses(int family) {
    std::vector<std::string> outside, loopback;
    for (const InterfaceAddress& each : Interfaces())
        if (each.family == family)
            AddOnce(each.loopback ? loopback : outside, each.text);
    return {outside, loopback};
}

class SystemResolver final : public NameResolver {
public:
    int Forward(int family, const char* name, std::string& canonicalName, std::vector<std::string>& addresses) override {
        std::string ownName;
        if ((family == AF_INET || family == AF_INET6) && *name && HostName(ownName) == 0 && ownName == name) {
            // The machine's own name stands for its interface addresses, loopback only when there is nothing else.
            const auto [outside, loopback] = InterfaceAddresses(family);
            addresses = outside.empty() ? loopback : outside;
            canonicalName = ownName;
            return addresses.empty() ? EAI_NODATA : 0;
        }
        addrinfo hints{};
        hints.ai_family = family;
        hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
        hints.ai_flags = AI_CANONNAME | AI_IDN;
        addrinfo* found = nullptr;
        const int error = getaddrinfo(name, nullptr, &hints, &found);
        if (error != 0)
            return error;
        canonicalName = found->ai_canonname ? found->ai_canonname : name;
        for (addrinfo* each = found; each; each = each->ai_next)
            AddOnce(addresses, AddressText(each->ai_addr));
        freeaddrinfo(found);
        return 0;
    }

    int Reverse(const char* address, std::string& name) override {
        addrinfo hints{};
        hints.ai_flags = AI_NUMERICHOST;  // the address as text, of either family: nothing is asked
        addrinfo* parsed = nullptr;
        if (getaddrinfo(address, nullptr, &hints, &parsed) != 0)
            return EAI_NONAME;
        char host[NI_MAXHOST];
        // Without NI_NAMEREQD an address with no name would come back as its own text.
        const int error = getnameinfo(parsed->ai_addr, parsed->ai_addrlen, host, sizeof host, nullptr, 0, NI_NAMEREQD);
        freeaddrinfo(parsed);
        if (error == 0)
            name = host;
        return error;
    }

    std::vector<std::string> OwnAddresses(int family) override {
        auto [own, loopback] = InterfaceAddresses(family);
        own.insert(own.end(), loopback.begin(), loopback.end());
        return own;
    }

    int HostName(std::string& name) override {
        char host[HOST_NAME_MAX + 1] = {};
        if (::gethostname(host, sizeof host) != 0)
            return EAI_SYSTEM;
        name = host;
        return 0;
    }
};

// The C library's resolver and the one in use. Never destroyed: resolver threads may still be inside
// them while the process ends.
struct InUse {
    std::mutex mutex;
    const std::shared_ptr<NameResolver> system = std::make_shared<SystemResolver>();
    std::shared_ptr<NameResolver> resolver = system;
};

InUse& Resolvers() {
    static InUse* const inUse = new InUse;
    return *inUse;
}

// One thread's results, kept until that thread's next call.
struct ThreadResults {
    std::shared_ptr<NameResolver> resolver;  // this thread's own, if any
    int lastError = 0;
    int addrInfoError = 0;
    std::string name;
    std::vector<std::uint32_t> addresses;
    std::vector<char*> addressList;
    char* noAliases[1] = {nullptr};
    hostent entry{};
    char dotted[16] = {};
};

ThreadResults& Results() {
    thread_local ThreadResults results;
    return results;
}

// Keeps the C library's reason and its WSA number; with neither, the host entry of the results.
hostent* Outcome(ThreadResults& results, int addrInfoError) {
    results.addrInfoError = addrInfoError;
    results.lastError = FromAddrInfoError(addrInfoError);
    if (results.lastError != 0)
        return nullptr;
    results.addressList.clear();
    for (std::uint32_t& address : results.addresses)
        results.addressList.push_back(reinterpret_cast<char*>(&address));
    results.addressList.push_back(nullptr);
    results.entry = hostent{results.name.data(), results.noAliases, AF_INET, 4, results.addressList.data()};
    return &results.entry;
}

}  // namespace

std::shared_ptr<NameResolver> CurrentResolver() {
    if (Results().resolver)
        return Results().resolver;
    std::lock_guard lock(Resolvers().mutex);
    return Resolvers().resolver;
}

void SetResolver(std::shared_ptr<NameResolver> resolver) {
    std::shared_ptr<NameResolver> replaced;  // let go outside the lock: it may be the last hold
    std::lock_guard lock(Resolvers().mutex);
    replaced = std::exchange(Resolvers().resolver, resolver ? std::move(resolver) : Resolvers().system);
}

void UseOnThisThread(std::shared_ptr<NameResolver> resolver) { Results().resolver = std::move(resolver); }

int WSAStartup(WORD /*version*/, WSADATA* data) {
    const int error = CurrentResolver()->Startup();
    Results().lastError = error;
    if (error == 0 && data)
        *data = WSADATA{0x0202, 0x0202};
    return error;
}

int WSACleanup() { return 0; }

int WSAGetLastError() { return Results().lastError; }

int LastAddrInfoError() { return Results().addrInfoError; }

int gethostname(char* name, int length) {
    std::string host;
    ThreadResults& results = Results();
    results.addrInfoError = CurrentResolver()->HostName(host);
    results.lastError = FromAddrInfoError(results.addrInfoError);
    if (results.lastError != 0 || length <= 0 || host.size() + 1 > static_cast<size_t>(length))
        return SOCKET_ERROR;
    std::memcpy(name, host.c_str(), host.size() + 1);
    return 0;
}

hostent* gethostbyname(const char* name) {
    ThreadResults& results = Results();
    results.name.clear();
    results.addresses.clear();
    std::vector<std::string> addresses;
    const int error = CurrentResolver()->Forward(AF_INET, name ? name : "", results.name, addresses);
    for (const std::string& address : addresses)
        if (in_addr value; ::inet_pton(AF_INET, address.c_str(), &value) == 1)
            results.addresses.push_back(value.s_addr);
    return Outcome(results, error);
}

hostent* gethostbyaddr(const char* address, int length, int family) {
    ThreadResults& results = Results();
    if (!address || length != 4 || family != AF_INET)
        return Outcome(results, EAI_FAMILY);
    in_addr value;
    std::memcpy(&value, address, 4);
    char dotted[INET_ADDRSTRLEN];
    results.name.clear();
    results.addresses.assign(1, value.s_addr);
    return Outcome(results, CurrentResolver()->Reverse(::inet_ntop(AF_INET, &value, dotted, sizeof dotted), results.name));
}

int inet_aton(const char* text, in_addr* address) { return ::inet_aton(text ? text : "", address); }

bool IsIpv6Address(const char* text) {
    in6_addr address;
    return text && inet_pton(AF_INET6, text, &address) == 1;
}

char* inet_ntoa(in_addr address) {
    char* dotted = Results().dotted;
    ::inet_ntop(AF_INET, &address, dotted, sizeof Results().dotted);
    return dotted;
}

}  // namespace winsock
