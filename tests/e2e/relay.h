// A UDP relay in front of the test DNS server, to play a slow server or one that never answers.
// The harness points the namespace's resolv.conf at it (127.0.0.2:53); it forwards to dnsmasq (127.0.0.1:53).
// One thread does all the relaying, so a burst of queries costs the process under test no more threads
// than a server on another machine would. At most kMaxInFlight queries wait at the server at once, the
// rest in the relay's own queue: dnsmasq keeps the system's default socket buffer, which a burst of
// thousands of queries would overflow, and the resolver does not ask twice.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

class UdpRelay {
public:
    UdpRelay();
    ~UdpRelay();
    UdpRelay(const UdpRelay&) = delete;
    UdpRelay& operator=(const UdpRelay&) = delete;

    bool Listening() const { return m_listener.joinable(); }
    // Each answer is held back this long; a query is never forwarded while dropping.
    void SetDelay(std::chrono::milliseconds delay) { m_delayMs = static_cast<int>(delay.count()); }
    void SetDropping(bool dropping) { m_dropping = dropping; }
    // Like a server behind an old firewall: questions for IPv6 addresses are never answered.
    void SetDroppingIpv6(bool dropping) { m_droppingIpv6 = dropping; }
    // Questions for IPv6 addresses are held back this much longer, as by a resolver that has only the
    // IPv4 answer cached.
    void SetIpv6Delay(std::chrono::milliseconds delay) { m_ipv6DelayMs = static_cast<int>(delay.count()); }
    // Queries for one name, of any type ("1.100.51.198.in-addr.arpa" for an address's name), so that
    // a test counts only what it caused.
    int Queries(const std::string& name) const;
    // Forgets every count, so that the names of a long run are not kept to its end.
    void ForgetQueries();

private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        sockaddr_in address;
        uint16_t queryId;  // the client's own id, given back with the answer
        Clock::time_point sent;
    };
    struct HeldQuery {
        std::string query;
        sockaddr_in client;
    };

    void Relay();
    void TakeQueries();
    void ForwardDue();
    void Forward(std::string query, const sockaddr_in& client);
    void SendUpstream();
    void ForgetUnanswered();
    void PassAnswers();

    static constexpr size_t kMaxInFlight = 64;

    int m_socket = -1;    // clients' side
    int m_upstream = -1;  // dnsmasq's side
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_delayMs{0};
    std::atomic<int> m_ipv6DelayMs{0};
    std::atomic<bool> m_dropping{false};
    std::atomic<bool> m_droppingIpv6{false};
    mutable std::mutex m_countsMutex;
    std::map<std::string, int> m_queriesByName;
    // Owned by the relaying thread alone.
    std::multimap<Clock::time_point, HeldQuery> m_held;  // delayed, by when they are due
    std::deque<HeldQuery> m_due;                          // due, waiting for room at the server
    std::deque<std::pair<uint16_t, Clock::time_point>> m_sentOrder;  // upstream ids, oldest first
    // Queries go upstream under ids of the relay's own, so answers to clients that chose the same id stay apart.
    std::unordered_map<uint16_t, Client> m_waiting;
    uint16_t m_nextId = 0;
    std::thread m_listener;
};
