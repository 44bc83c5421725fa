#include "platform/winsock.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <cstring>
#include <map>

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

// The machine's own name stands for its interface addresses, loopback only when there is nothing else.
std::vector<std::uint32_t> InterfaceAddresses() {
    std::vector<std::uint32_t> outside, loopback;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    for (ifaddrs* each = list; each; each = each->ifa_next) {
        if (!each->ifa_addr || each->ifa_addr->sa_family != AF_INET || !(each->ifa_flags & IFF_UP))
            continue;
        const std::uint32_t address = reinterpret_cast<sockaddr_in*>(each->ifa_addr)->sin_addr.s_addr;
        auto& into = (each->ifa_flags & IFF_LOOPBACK) ? loopback : outside;
        if (std::find(into.begin(), into.end(), address) == into.end())
            into.push_back(address);
    }
    freeifaddrs(list);
    return outside.empty() ? loopback : outside;
}

class SystemResolver final : public NameResolver {
public:
    int Forward(const char* name, std::string& canonicalName, std::vector<std::uint32_t>& addresses) override {
        std::string ownName;
        if (*name && HostName(ownName) == 0 && ownName == name) {
            addresses = InterfaceAddresses();
            canonicalName = ownName;
            return addresses.empty() ? EAI_NODATA : 0;
        }
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
        hints.ai_flags = AI_CANONNAME | AI_IDN;
        addrinfo* found = nullptr;
        const int error = getaddrinfo(name, nullptr, &hints, &found);
        if (error == EAI_NODATA) {
            canonicalName = name;  // the name exists but has no IPv4 address: an entry without addresses
            return 0;
        }
        if (error != 0)
            return error;
        canonicalName = found->ai_canonname ? found->ai_canonname : name;
        for (addrinfo* each = found; each; each = each->ai_next) {
            const std::uint32_t address = reinterpret_cast<sockaddr_in*>(each->ai_addr)->sin_addr.s_addr;
            if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
                addresses.push_back(address);
        }
        freeaddrinfo(found);
        return 0;
    }

    int Reverse(std::uint32_t address, std::string& name) override {
        sockaddr_in socketAddress{};
        socketAddress.sin_family = AF_INET;
        socketAddress.sin_addr.s_addr = address;
        char host[NI_MAXHOST];
        const int error = getnameinfo(reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress, host,
                                      sizeof host, nullptr, 0, NI_NAMEREQD);
        if (error != 0)
            return error;
        name = host;
        return 0;
    }

    int ForwardIpv6(const char* name, std::vector<std::string>& addresses) override {
        addrinfo hints{};
        hints.ai_family = AF_INET6;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_IDN;
        addrinfo* found = nullptr;
        const int error = getaddrinfo(name, nullptr, &hints, &found);
        if (error != 0)
            return error;
        for (addrinfo* each = found; each; each = each->ai_next) {
            char text[INET6_ADDRSTRLEN];
            inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(each->ai_addr)->sin6_addr, text, sizeof text);
            if (std::find(addresses.begin(), addresses.end(), text) == addresses.end())
                addresses.emplace_back(text);
        }
        freeaddrinfo(found);
        return 0;
    }

    int ReverseIpv6(const char* address, std::string& name) override {
        sockaddr_in6 socketAddress{};
        socketAddress.sin6_family = AF_INET6;
        if (inet_pton(AF_INET6, address, &socketAddress.sin6_addr) != 1)
            return EAI_NONAME;
        char host[NI_MAXHOST];
        const int error = getnameinfo(reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress, host,
                                      sizeof host, nullptr, 0, NI_NAMEREQD);
        if (error == 0)
            name = host;
        return error;
    }

    int HostName(std::string& name) override {
        char host[HOST_NAME_MAX + 1] = {};
        if (::gethostname(host, sizeof host) != 0)
            return EAI_SYSTEM;
        name = host;
        return 0;
    }
};

// Never destroyed: resolver threads may still be inside it while the process ends.
NameResolver* const g_systemResolver = new SystemResolver;
std::atomic<NameResolver*> g_resolver{g_systemResolver};

// One thread's results, kept until that thread's next call.
struct ThreadResults {
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

hostent* Publish(ThreadResults& results) {
    results.addressList.clear();
    for (std::uint32_t& address : results.addresses)
        results.addressList.push_back(reinterpret_cast<char*>(&address));
    results.addressList.push_back(nullptr);
    results.entry = hostent{results.name.data(), results.noAliases, AF_INET, 4, results.addressList.data()};
    return &results.entry;
}

// How many leases each resolver other than the C library's has out.
struct Leases {
    std::mutex mutex;
    std::condition_variable ended;
    std::map<NameResolver*, int> count;
};

Leases& ResolverLeases() {
    static Leases* const leases = new Leases;  // never destroyed: leases may end as the process does
    return *leases;
}

}  // namespace

NameResolver& CurrentResolver() { return *g_resolver.load(); }

void SetResolver(NameResolver* resolver) {
    Leases& leases = ResolverLeases();
    std::unique_lock lock(leases.mutex);
    NameResolver* const replaced = g_resolver.exchange(resolver ? resolver : g_systemResolver);
    leases.ended.wait(lock, [&] { return replaced == g_systemResolver || !leases.count.count(replaced); });
}

std::shared_ptr<NameResolver> LeaseResolver() {
    Leases& leases = ResolverLeases();
    std::lock_guard lock(leases.mutex);
    NameResolver* const resolver = g_resolver.load();
    ++leases.count[resolver];
    return std::shared_ptr<NameResolver>(resolver, [&leases](NameResolver* leased) {
        std::lock_guard lock(leases.mutex);
        if (--leases.count[leased] == 0)
            leases.count.erase(leased);
        leases.ended.notify_all();
    });
}

int WSAStartup(WORD /*version*/, WSADATA* data) {
    const int error = CurrentResolver().Startup();
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
    results.addrInfoError = CurrentResolver().HostName(host);
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
    results.addrInfoError = CurrentResolver().Forward(name ? name : "", results.name, results.addresses);
    results.lastError = FromAddrInfoError(results.addrInfoError);
    return results.lastError == 0 ? Publish(results) : nullptr;
}

hostent* gethostbyaddr(const char* address, int length, int family) {
    ThreadResults& results = Results();
    if (!address || length != 4 || family != AF_INET) {
        results.addrInfoError = EAI_FAMILY;
        results.lastError = WSANO_RECOVERY;
        return nullptr;
    }
    std::uint32_t value;
    std::memcpy(&value, address, 4);
    results.name.clear();
    results.addrInfoError = CurrentResolver().Reverse(value, results.name);
    results.lastError = FromAddrInfoError(results.addrInfoError);
    if (results.lastError != 0)
        return nullptr;
    results.addresses.assign(1, value);
    return Publish(results);
}

std::uint32_t inet_addr(const char* text) { return ::inet_addr(text ? text : ""); }

int inet_aton(const char* text, in_addr* address) { return ::inet_aton(text ? text : "", address); }

bool IsIpv6Address(const char* text) {
    in6_addr address;
    return text && inet_pton(AF_INET6, text, &address) == 1;
}

int Ipv6Name(const char* address, std::string& name) { return CurrentResolver().ReverseIpv6(address, name); }

char* inet_ntoa(in_addr address) {
    char* dotted = Results().dotted;
    ::inet_ntop(AF_INET, &address, dotted, sizeof Results().dotted);
    return dotted;
}

}  // namespace winsock
