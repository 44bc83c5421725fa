#include "tests/e2e/relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace {

sockaddr_in Endpoint(const char* address, int port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, address, &endpoint.sin_addr);
    return endpoint;
}

}  // namespace

UdpRelay::UdpRelay() {
    m_socket = socket(AF_INET, SOCK_DGRAM, 0);
    // A burst of thousands of queries must not overflow the socket: the resolver does not ask twice.
    const int buffer = 32 << 20;
    setsockopt(m_socket, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer);
    const sockaddr_in listen = Endpoint("127.0.0.2", 53);
    if (m_socket >= 0 && bind(m_socket, reinterpret_cast<const sockaddr*>(&listen), sizeof listen) != 0) {
        close(m_socket);
        m_socket = -1;
    }
    if (m_socket >= 0)
        m_listener = std::thread([this] { Listen(); });
}

UdpRelay::~UdpRelay() {
    m_stop = true;
    if (m_listener.joinable())
        m_listener.join();
    while (m_inFlight > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (m_socket >= 0)
        close(m_socket);
}

void UdpRelay::Listen() {
    char buffer[4096];
    while (!m_stop) {
        pollfd ready{m_socket, POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0)
            continue;
        sockaddr_in client{};
        socklen_t length = sizeof client;
        const ssize_t size = recvfrom(m_socket, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client), &length);
        if (size <= 0)
            continue;
        ++m_queries;
        if (m_dropping)
            continue;
        ++m_inFlight;
        std::thread([this, query = std::string(buffer, size_t(size)), client] { Forward(query, client); }).detach();
    }
}

// One query: wait, ask dnsmasq from a socket of its own, hand its answer back to the client.
void UdpRelay::Forward(std::string query, sockaddr_in client) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_delayMs.load());
    while (!m_stop && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int upstream = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in server = Endpoint("127.0.0.1", 53);
    char answer[4096];
    if (upstream >= 0 && !m_stop &&
        sendto(upstream, query.data(), query.size(), 0, reinterpret_cast<const sockaddr*>(&server), sizeof server) > 0) {
        pollfd ready{upstream, POLLIN, 0};
        if (poll(&ready, 1, 2000) > 0) {
            const ssize_t size = recv(upstream, answer, sizeof answer, 0);
            if (size > 0)
                sendto(m_socket, answer, size_t(size), 0, reinterpret_cast<const sockaddr*>(&client), sizeof client);
        }
    }
    if (upstream >= 0)
        close(upstream);
    --m_inFlight;
}
