// The tool's only way onto the network: a UDP socket bound to 127.0.0.1 that sends to
// 127.0.0.1 and nowhere else.
#pragma once

#include <cstdint>
#include <string>

class LoopbackSocket
{
public:
    // Binds to 127.0.0.1 on an ephemeral port; throws std::runtime_error on failure.
    LoopbackSocket();
    ~LoopbackSocket();
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    uint16_t port() const { return m_port; }

    // Sends one datagram to `address`:`port`. Any address other than 127.0.0.1 is refused
    // (returns false, nothing is sent); so is a port outside 1..65535.
    bool sendTo(uint32_t address, uint32_t port, const std::string& datagram);
    bool send(uint32_t port, const std::string& datagram);

    // Waits up to `timeoutMs` for a datagram; false on timeout.
    bool receive(std::string& datagram, int timeoutMs);

    uint64_t sentDatagrams() const { return m_sent; }
    uint64_t failedSends() const { return m_failed; }

    static constexpr uint32_t loopbackAddress = 0x7f000001; // 127.0.0.1, host order

private:
    int m_fd = -1;
    uint16_t m_port = 0;
    uint64_t m_sent = 0;
    uint64_t m_failed = 0;
};
