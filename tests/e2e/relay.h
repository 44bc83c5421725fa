// A UDP relay in front of the test DNS server, to play a slow server or one that never answers.
// The harness points the namespace's resolv.conf at it (127.0.0.2:53); it forwards to dnsmasq (127.0.0.1:53).
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

class UdpRelay {
public:
    UdpRelay();
    ~UdpRelay();
    UdpRelay(const UdpRelay&) = delete;
    UdpRelay& operator=(const UdpRelay&) = delete;

    bool Listening() const { return m_socket >= 0; }
    // Each answer is held back this long; a query is never forwarded while dropping.
    void SetDelay(std::chrono::milliseconds delay) { m_delayMs = static_cast<int>(delay.count()); }
    void SetDropping(bool dropping) { m_dropping = dropping; }
    int Queries() const { return m_queries; }

private:
    void Listen();
    void Forward(std::string query, struct sockaddr_in client);

    int m_socket = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_delayMs{0};
    std::atomic<bool> m_dropping{false};
    std::atomic<int> m_queries{0};
    std::atomic<int> m_inFlight{0};
    std::thread m_listener;
};
