// The socket name service in its own namespace, so it never collides with the C library's calls.
// Results are kept per calling thread: valid until the same thread's next call, untouched by others.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace winsock {

using in_addr = ::in_addr;

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
};

struct hostent {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;
};

constexpr int SOCKET_ERROR = -1;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

int WSAStartup(WORD version, WSADATA* data);
int WSACleanup();
int WSAGetLastError();
// The C library's reason (an EAI_ code of <netdb.h>, 0 for none) behind this thread's last failed
// lookup: finer than its WSA number, which folds several reasons into one.
int LastAddrInfoError();
int gethostname(char* name, int length);
hostent* gethostbyname(const char* name);
hostent* gethostbyaddr(const char* address, int length, int family);
// Reads text as the C library does, in every spelling it takes (dotted, hexadecimal, octal, fewer
// parts, a trailing blank); nonzero when it is an IPv4 address.
int inet_aton(const char* text, in_addr* address);
char* inet_ntoa(in_addr address);

// Whether text is an IPv6 address, in any form the C library reads.
bool IsIpv6Address(const char* text);

// What the calls above ask of the system. The real one uses the C library's resolver;
// a test may put a scripted one in its place. Addresses are text in their short form.
class NameResolver {
public:
    virtual ~NameResolver() = default;
    // 0, or the WSA error number the start-up fails with.
    virtual int Startup() { return 0; }
    // 0 with the canonical name and the addresses of `family` (AF_INET or AF_INET6) in the service's
    // order, or the C library's EAI_ error code.
    virtual int Forward(int family, const char* name, std::string& canonicalName, std::vector<std::string>& addresses) = 0;
    // 0 with the registered name of an IPv4 or IPv6 address, or an EAI_ error code.
    virtual int Reverse(const char* address, std::string& name) = 0;
    // 0 with the machine's host name, or an EAI_ error code.
    virtual int HostName(std::string& name) = 0;
    // This computer's own addresses of `family` (AF_INET, AF_INET6): its interfaces', loopback ones among them.
    virtual std::vector<std::string> OwnAddresses(int family) = 0;
};

// The resolver in use; the C library's unless a test set another. Each call holds the one it asks,
// so a resolver replaced meanwhile lives on until its last call has returned.
std::shared_ptr<NameResolver> CurrentResolver();
// nullptr restores the C library's. Never waits for calls in flight.
void SetResolver(std::shared_ptr<NameResolver> resolver);
// From now on the calls above on this thread ask `resolver`, whichever one is put in use meanwhile;
// nullptr makes them ask the one in use again.
void UseOnThisThread(std::shared_ptr<NameResolver> resolver);

}  // namespace winsock
