// The name service: per-thread results, inet_addr as the C library has it, the machine's own addresses.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <barrier>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/winsock.h"
#include "tests/support.h"

namespace {

std::vector<std::string> AddressLines(const winsock::hostent* entry) {
    std::vector<std::string> lines;
    for (char** address = entry->h_addr_list; *address; ++address) {
        winsock::in_addr value;
        std::memcpy(&value, *address, 4);
        lines.emplace_back(winsock::inet_ntoa(value));
    }
    return lines;
}

}  // namespace

TEST(NameService, EachThreadKeepsItsOwnHostEntry) {
    testing_support::ScriptedResolver resolver;
    constexpr int threads = 8;
    for (int i = 0; i < threads; ++i)
        resolver.AddName("host" + std::to_string(i), {"10.0.0." + std::to_string(i), "10.0.1." + std::to_string(i)});
    std::barrier allResolved(threads);
    std::vector<int> mismatches(threads, 0);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&, i] {
            const winsock::hostent* entry = winsock::gethostbyname(("host" + std::to_string(i)).c_str());
            allResolved.arrive_and_wait();  // every other thread has made its own call meanwhile
            const std::vector<std::string> expected{"10.0.0." + std::to_string(i), "10.0.1." + std::to_string(i)};
            if (!entry || entry->h_name != "host" + std::to_string(i) || AddressLines(entry) != expected)
                ++mismatches[i];
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(mismatches, std::vector<int>(threads, 0));
}

TEST(NameService, InetAddrMatchesTheCLibrary) {
    for (const char* text : {"1.2.3.4", "1.2.3", "0x7f.1", "", "x", "255.255.255.255", "1.2.3.4.5", "256.1.1.1", "010.1.1.1"})
        EXPECT_EQ(winsock::inet_addr(text), ::inet_addr(text)) << '"' << text << '"';
}

TEST(NameService, InetNtoaGivesDottedText) {
    winsock::in_addr address;
    address.s_addr = ::inet_addr("192.0.2.33");
    EXPECT_STREQ(winsock::inet_ntoa(address), "192.0.2.33");
}

TEST(NameService, FailuresGiveNullAndTheirError) {
    testing_support::ScriptedResolver resolver;
    resolver.AddName("temporary", {}, winsock::WSATRY_AGAIN);
    EXPECT_EQ(winsock::gethostbyname("unknown"), nullptr);
    EXPECT_EQ(winsock::WSAGetLastError(), winsock::WSAHOST_NOT_FOUND);
    EXPECT_EQ(winsock::gethostbyname("temporary"), nullptr);
    EXPECT_EQ(winsock::WSAGetLastError(), winsock::WSATRY_AGAIN);
    const std::uint32_t address = ::inet_addr("192.0.2.1");
    EXPECT_EQ(winsock::gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET), nullptr);
    EXPECT_EQ(winsock::gethostbyaddr(reinterpret_cast<const char*>(&address), 16, AF_INET6), nullptr);
    resolver.SetStartupError(winsock::WSASYSNOTREADY);
    winsock::WSADATA data;
    EXPECT_EQ(winsock::WSAStartup(0x0202, &data), winsock::WSASYSNOTREADY);
    EXPECT_EQ(winsock::WSAGetLastError(), winsock::WSASYSNOTREADY);
}

TEST(NameService, TheMachinesOwnNameGivesItsInterfaceAddresses) {
    std::vector<std::string> outside, loopback;
    ifaddrs* list = nullptr;
    ASSERT_EQ(getifaddrs(&list), 0);
    for (ifaddrs* each = list; each; each = each->ifa_next) {
        if (!each->ifa_addr || each->ifa_addr->sa_family != AF_INET || !(each->ifa_flags & IFF_UP))
            continue;
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(each->ifa_addr)->sin_addr, text, sizeof text);
        auto& into = (each->ifa_flags & IFF_LOOPBACK) ? loopback : outside;
        if (std::find(into.begin(), into.end(), text) == into.end())
            into.emplace_back(text);
    }
    freeifaddrs(list);
    char name[74] = {};
    ASSERT_EQ(winsock::gethostname(name, sizeof name), 0);
    const winsock::hostent* entry = winsock::gethostbyname(name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(AddressLines(entry), outside.empty() ? loopback : outside);
}

TEST(NameService, AHostNameThatDoesNotFitFails) {
    char tiny[2] = {};
    EXPECT_EQ(winsock::gethostname(tiny, sizeof tiny), winsock::SOCKET_ERROR);
}
