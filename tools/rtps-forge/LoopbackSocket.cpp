#include "LoopbackSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(LoopbackSocket::loopbackAddress);
    return address;
}
} // namespace

LoopbackSocket::LoopbackSocket()
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    }
    // Large buffers: a burst of thousands of announcements and the peers' replies to it.
    const int buffer = 8 << 20;
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof(buffer));
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));
    sockaddr_in address = loopback(0);
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(m_fd);
        throw std::runtime_error("bind 127.0.0.1: " + reason);
    }
    socklen_t length = sizeof(address);
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

LoopbackSocket::~LoopbackSocket()
{
    ::close(m_fd);
}

bool LoopbackSocket::sendTo(uint32_t address, uint32_t port, const std::string& datagram)
{
    if (address != loopbackAddress || port == 0 || port > 65535) {
        ++m_failed;
        return false;
    }
    sockaddr_in target = loopback(uint16_t(port));
    if (target.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) {
        ++m_failed;
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const ssize_t sent = ::sendto(m_fd, datagram.data(), datagram.size(), 0,
                                      reinterpret_cast<sockaddr*>(&target), sizeof(target));
        if (sent == ssize_t(datagram.size())) {
            // Bursts of thousands of datagrams overrun a receiver's socket buffer; a short
            // pause now and then costs little and saves most of the retransmissions.
            if (++m_sent % 64 == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            return true;
        }
        // A full send buffer clears quickly on loopback; anything else will not.
        if (sent >= 0 || (errno != ENOBUFS && errno != EAGAIN)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ++m_failed;
    return false;
}

bool LoopbackSocket::send(uint32_t port, const std::string& datagram)
{
    return sendTo(loopbackAddress, port, datagram);
}

bool LoopbackSocket::receive(std::string& datagram, int timeoutMs)
{
    pollfd waiting{m_fd, POLLIN, 0};
    if (::poll(&waiting, 1, timeoutMs) <= 0) {
        return false;
    }
    datagram.resize(65536);
    const ssize_t got = ::recv(m_fd, &datagram[0], datagram.size(), MSG_DONTWAIT);
    if (got < 0) {
        datagram.clear();
        return false;
    }
    datagram.resize(size_t(got));
    return true;
}
