// The name service: per-thread results, inet_addr as the C library has it, the machine's own addresses.
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(NameService, InetAtonMatchesTheCLibrary) {
    for (const char* text : {"1.2.3.4", "1.2.3", "0x7f.1", "", "x", "255.255.255.255", "1.2.3.4.5", "256.1.1.1", "010.1.1.1"}) {
        in_addr ours{}, theirs{};
        EXPECT_EQ(winsock::inet_aton(text, &ours), ::inet_aton(text, &theirs)) << '"' << text << '"';
        EXPECT_EQ(ours.s_addr, theirs.s_addr) << '"' << text << '"';
    }
}

TEST(NameService, InetNtoaGivesDottedText) {
    winsock::in_addr address;
    address.s_addr = ::inet_addr("192.0.2.33");
    EXPECT_STREQ(winsock::inet_ntoa(address), "192.0.2.33");
}

TEST(NameService, FailuresGiveNullTheirErrorAndTheCLibrarysReason) {
    testing_support::ScriptedResolver resolver;
    const std::pair<int, int> reasons[] = {{EAI_NONAME, winsock::WSAHOST_NOT_FOUND}, {EAI_AGAIN, winsock::WSATRY_AGAIN},
                                           {EAI_FAIL, winsock::WSANO_RECOVERY},      {EAI_SYSTEM, winsock::WSASYSNOTREADY},
                                           {EAI_MEMORY, winsock::WSANO_RECOVERY},    {EAI_IDN_ENCODE, winsock::WSANO_RECOVERY}};
    for (const auto& [reason, error] : reasons) {
        resolver.AddName("failing", {}, reason);
        EXPECT_EQ(winsock::gethostbyname("failing"), nullptr);
        EXPECT_EQ(winsock::WSAGetLastError(), error) << reason;
        EXPECT_EQ(winsock::LastAddrInfoError(), reason);
    }
    const std::uint32_t address = ::inet_addr("192.0.2.1");
    EXPECT_EQ(winsock::gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET), nullptr);
    EXPECT_EQ(winsock::gethostbyaddr(reinterpret_cast<const char*>(&address), 16, AF_INET6), nullptr);
    resolver.SetStartupError(winsock::WSASYSNOTREADY);
    winsock::WSADATA data;
    EXPECT_EQ(winsock::WSAStartup(0x0202, &data), winsock::WSASYSNOTREADY);
    EXPECT_EQ(winsock::WSAGetLastError(), winsock::WSASYSNOTREADY);
}

namespace {

bool IsLoopback(const std::string& dotted) { return dotted.starts_with("127."); }

// Whether a socket can be bound to the address: only an address of this machine's own can be.
bool IsOwnAddress(const std::string& dotted) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, dotted.c_str(), &local.sin_addr);
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    close(fd);
    return bound;
}

// The address this machine would send from to reach the outside; connecting a UDP socket sends
// nothing. Empty without a route.
std::string OutgoingAddress() {
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(9);
    inet_pton(AF_INET, "192.0.2.1", &remote.sin_addr);
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    socklen_t length = sizeof local;
    std::string dotted;
    if (connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        char text[INET_ADDRSTRLEN];
        dotted = inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
    }
    close(fd);
    return dotted;
}

}  // namespace

TEST(NameService, TheMachinesOwnNameGivesItsInterfaceAddresses) {
    char name[74] = {};
    ASSERT_EQ(winsock::gethostname(name, sizeof name), 0);
    const winsock::hostent* entry = winsock::gethostbyname(name);
    ASSERT_NE(entry, nullptr);
    const std::vector<std::string> lines = AddressLines(entry);
    ASSERT_FALSE(lines.empty());
    const bool anyOutside = std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return !IsLoopback(line); });
    for (const std::string& line : lines) {
        in_addr parsed{};
        char again[INET_ADDRSTRLEN] = {};
        ASSERT_EQ(inet_pton(AF_INET, line.c_str(), &parsed), 1) << line;
        EXPECT_EQ(line, inet_ntop(AF_INET, &parsed, again, sizeof again)) << "dotted form";
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line << " listed once";
        EXPECT_TRUE(IsOwnAddress(line)) << line;
        EXPECT_FALSE(anyOutside && IsLoopback(line)) << line << ": no loopback address beside another";
    }
    const std::string outgoing = OutgoingAddress();
    if (!outgoing.empty()) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), outgoing), 1) << outgoing << " reaches the outside";
    }
}

TEST(NameService, AHostNameThatDoesNotFitFails) {
    char tiny[2] = {};
    EXPECT_EQ(winsock::gethostname(tiny, sizeof tiny), winsock::SOCKET_ERROR);
}
