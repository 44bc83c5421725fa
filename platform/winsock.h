// The socket name service in its own namespace, so it never collides with the C library's calls.
// Results are kept per calling thread: valid until the same thread's next call, untouched by others.
#pragma once

#include <netinet/in.h>

#include <cstdint>
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
std::uint32_t inet_addr(const char* text);
char* inet_ntoa(in_addr address);

// What the calls above ask of the system. The real one uses the C library's resolver;
// a test may put a scripted one in its place. Addresses are in network byte order.
class NameResolver {
public:
    virtual ~NameResolver() = default;
    // 0, or the WSA error number the start-up fails with.
    virtual int Startup() { return 0; }
    // 0 with the canonical name and the IPv4 addresses in the service's order, or the C library's
    // EAI_ error code.
    virtual int Forward(const char* name, std::string& canonicalName, std::vector<std::uint32_t>& addresses) = 0;
    // 0 with the registered name of the address, or an EAI_ error code.
    virtual int Reverse(std::uint32_t address, std::string& name) = 0;
    // 0 with the machine's host name, or an EAI_ error code.
    virtual int HostName(std::string& name) = 0;
};

// The resolver in use; the C library's unless a test set another. Not owned.
NameResolver& CurrentResolver();
void SetResolver(NameResolver* resolver);  // nullptr restores the C library's

}  // namespace winsock
