#include "lookup/querykind.h"

#include "platform/winsock.h"

namespace {
bool IsAsciiLetter(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }
}  // namespace

bool IsBlank(unsigned char byte) { return byte <= ' ' || byte == 0x7F; }

QueryKind KindOf(const char* query) {
    if (winsock::IsIpv6Address(query))
        return QueryKind::Ipv6Address;
    const auto first = static_cast<unsigned char>(query[0]);
    if (IsAsciiLetter(first))
        return QueryKind::Name;
    if (IsBlank(first))  // the empty text ends here too
        return QueryKind::NotAName;
    // Other text may still be a host name, such as one that begins with a digit.
    winsock::in_addr parsed{};
    return winsock::inet_aton(query, &parsed) ? QueryKind::Ipv4Address : QueryKind::Name;
}
