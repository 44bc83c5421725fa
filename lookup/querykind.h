// What a query is taken for, by the rules every lookup follows.
#pragma once

enum class QueryKind {
    Name,         // a host name: its IPv4 addresses are asked, and its IPv6 ones beside them
    Ipv4Address,  // text the C library reads as an IPv4 address, in any of its spellings: its name is asked
    Ipv6Address,  // an IPv6 address, which is no name: its registered name is asked
    NotAName,     // empty, or starts with a blank or control character: nothing is asked
};

QueryKind KindOf(const char* query);

// No name or address begins or ends with these, bytes of the text as typed.
bool IsBlank(unsigned char byte);
