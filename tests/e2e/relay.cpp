#include "tests/e2e/relay.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

sockaddr_in Endpoint(const char* address, int port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, address, &endpoint.sin_addr);
    return endpoint;
}

// A burst of thousands of queries must not overflow a socket: the resolver does not ask twice.
int RoomySocket() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    const int buffer = 32 << 20;
    if (fd >= 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer);
    return fd;
}

constexpr size_t kHeaderSize = 12;  // a DNS message starts with a 12-byte header, its id first

uint16_t MessageId(const std::string& message) {
    return static_cast<uint16_t>(uint8_t(message[0]) << 8 | uint8_t(message[1]));
}

void SetMessageId(std::string& message, uint16_t id) {
    message[0] = static_cast<char>(id >> 8);
    message[1] = static_cast<char>(id & 0xFF);
}

// Every datagram waiting on `fd`, one at a time, until none is left.
template <typename Handle>
void ReceiveAll(int fd, Handle handle) {
    char buffer[4096];
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t size = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (size < 0)
            return;
        if (size_t(size) >= kHeaderSize)
            handle(std::string(buffer, size_t(size)), from);
    }
}

}  // namespace

UdpRelay::UdpRelay() {
    m_socket = RoomySocket();
    m_upstream = RoomySocket();
    const sockaddr_in listen = Endpoint("127.0.0.2", 53);
    const sockaddr_in server = Endpoint("127.0.0.1", 53);
    if (m_socket < 0 || m_upstream < 0 || bind(m_socket, reinterpret_cast<const sockaddr*>(&listen), sizeof listen) != 0 ||
        connect(m_upstream, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0)
        return;
    m_listener = std::thread([this] { Relay(); });
}

UdpRelay::~UdpRelay() {
    m_stop = true;
    if (m_listener.joinable())
        m_listener.join();
    for (const int fd : {m_socket, m_upstream})
        if (fd >= 0)
            close(fd);
}

void UdpRelay::Relay() {
    while (!m_stop) {
        int waitMs = 50;  // how soon a stop is noticed
        if (!m_held.empty()) {
            const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(m_held.begin()->first - Clock::now());
            waitMs = std::clamp(static_cast<int>(untilDue.count()), 0, waitMs);
        }
        pollfd ready[] = {{m_socket, POLLIN, 0}, {m_upstream, POLLIN, 0}};
        poll(ready, 2, waitMs);
        // Any event, an error too, is read away; an error left pending would wake poll at once forever.
        if (ready[0].revents)
            TakeQueries();
        ForwardDue();
        if (ready[1].revents)
            PassAnswers();
        ForgetUnanswered();
        SendUpstream();
    }
}

namespace {

// Where the question's name ends: it follows the header as labels, each after its length.
size_t NameEnd(const std::string& query) {
    size_t at = kHeaderSize;
    while (at < query.size() && query[at] != 0)
        at += 1 + static_cast<unsigned char>(query[at]);
    return at;
}

// Whether a query asks for IPv6 addresses (type AAAA, 28): the type follows the name.
bool IsIpv6Question(const std::string& query) {
    const size_t at = NameEnd(query);
    return at + 2 < query.size() && query[at + 1] == 0 && query[at + 2] == 28;
}

std::string QuestionName(const std::string& query) {
    std::string name;
    for (size_t at = kHeaderSize; at < query.size() && query[at] != 0; at += 1 + static_cast<unsigned char>(query[at]))
        name += (name.empty() ? "" : ".") + query.substr(at + 1, static_cast<unsigned char>(query[at]));
    return name;
}

}  // namespace

void UdpRelay::TakeQueries() {
    ReceiveAll(m_socket, [this](std::string query, const sockaddr_in& client) {
        {
            std::lock_guard lock(m_countsMutex);
            ++m_queriesByName[QuestionName(query)];
        }
        if (m_dropping || (m_droppingIpv6 && IsIpv6Question(query)))
            return;
        const int delayMs = m_delayMs + (IsIpv6Question(query) ? m_ipv6DelayMs.load() : 0);
        if (delayMs == 0)
            Forward(std::move(query), client);
        else
            m_held.emplace(Clock::now() + std::chrono::milliseconds(delayMs), HeldQuery{std::move(query), client});
    });
}

int UdpRelay::Queries(const std::string& name) const {
    std::lock_guard lock(m_countsMutex);
    const auto found = m_queriesByName.find(name);
    return found == m_queriesByName.end() ? 0 : found->second;
}

void UdpRelay::ForgetQueries() {
    std::lock_guard lock(m_countsMutex);
    m_queriesByName.clear();
}

void UdpRelay::ForwardDue() {
    const auto now = Clock::now();
    while (!m_held.empty() && m_held.begin()->first <= now) {
        HeldQuery held = std::move(m_held.begin()->second);
        m_held.erase(m_held.begin());
        Forward(std::move(held.query), held.client);
    }
}

void UdpRelay::Forward(std::string query, const sockaddr_in& client) {
    m_due.push_back(HeldQuery{std::move(query), client});
    SendUpstream();
}

void UdpRelay::SendUpstream() {
    while (!m_due.empty() && m_waiting.size() < kMaxInFlight) {
        HeldQuery& next = m_due.front();
        const uint16_t id = m_nextId++;
        const auto now = Clock::now();
        m_waiting[id] = Client{next.client, MessageId(next.query), now};
        m_sentOrder.emplace_back(id, now);
        SetMessageId(next.query, id);
        send(m_upstream, next.query.data(), next.query.size(), 0);
        m_due.pop_front();
    }
}

// A query the server has not answered within a second is given up, so that it holds no room for ever.
void UdpRelay::ForgetUnanswered() {
    const auto giveUp = Clock::now() - std::chrono::seconds(1);
    while (!m_sentOrder.empty()) {
        const auto [id, sent] = m_sentOrder.front();
        const auto waiting = m_waiting.find(id);
        const bool answered = waiting == m_waiting.end() || waiting->second.sent != sent;
        if (!answered && sent > giveUp)
            return;
        if (!answered)
            m_waiting.erase(waiting);
        m_sentOrder.pop_front();
    }
}

void UdpRelay::PassAnswers() {
    ReceiveAll(m_upstream, [this](std::string answer, const sockaddr_in&) {
        const auto waiting = m_waiting.find(MessageId(answer));
        if (waiting == m_waiting.end())
            return;
        SetMessageId(answer, waiting->second.queryId);
        sendto(m_socket, answer.data(), answer.size(), 0, reinterpret_cast<const sockaddr*>(&waiting->second.address),
               sizeof waiting->second.address);
        m_waiting.erase(waiting);
    });
}
