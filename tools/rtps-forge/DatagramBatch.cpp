#include "DatagramBatch.h"

namespace {
// Room taken by the submessage headers of a DATA or DATA_FRAG plus the datagram's header,
// INFO_DST and INFO_TS, with a margin.
const size_t overhead = 128;
} // namespace

DatagramBatch::DatagramBatch(LoopbackSocket& socket, const GuidPrefix& source,
                             std::vector<uint32_t> ports, const BatchLimits& limits,
                             const GuidPrefix* destination)
    : m_socket(socket), m_source(source), m_ports(std::move(ports)), m_limits(limits),
      m_haveDestination(destination != nullptr), m_message(source)
{
    if (destination) {
        m_destination = *destination;
    }
    m_message = fresh();
    m_emptySize = m_message.size();
}

RtpsMessage DatagramBatch::fresh() const
{
    RtpsMessage message(m_source);
    if (m_haveDestination) {
        message.infoDestination(m_destination);
    }
    message.infoTimestamp();
    return message;
}

void DatagramBatch::flush()
{
    if (m_message.size() <= m_emptySize) {
        return;
    }
    for (uint32_t port : m_ports) {
        m_socket.send(port, m_message.bytes());
    }
    m_message = fresh();
}

void DatagramBatch::room(size_t bytes)
{
    if (m_message.size() + bytes > m_limits.batchBytes) {
        flush();
    }
}

bool DatagramBatch::needsFragments(size_t payloadBytes, size_t inlineQosBytes) const
{
    return payloadBytes > payloadRoom(m_limits, inlineQosBytes);
}

size_t DatagramBatch::payloadRoom(const BatchLimits& limits, size_t inlineQosBytes)
{
    return limits.datagramBytes - overhead - inlineQosBytes;
}

void DatagramBatch::sample(uint32_t reader, uint32_t writer, int64_t sequence,
                           const std::string& inlineQos, const std::string& payload, bool keyOnly)
{
    if (!needsFragments(payload.size(), inlineQos.size())) {
        room(payload.size() + inlineQos.size() + 40);
        m_message.data(reader, writer, sequence, inlineQos, payload, keyOnly);
        return;
    }
    std::vector<uint32_t> all;
    const size_t count = (payload.size() + m_limits.fragmentBytes - 1) / m_limits.fragmentBytes;
    for (size_t i = 1; i <= count; ++i) {
        all.push_back(uint32_t(i));
    }
    fragments(reader, writer, sequence, inlineQos, payload, all);
}

void DatagramBatch::fragments(uint32_t reader, uint32_t writer, int64_t sequence,
                              const std::string& inlineQos, const std::string& payload,
                              const std::vector<uint32_t>& numbers)
{
    const size_t size = m_limits.fragmentBytes;
    for (uint32_t number : numbers) {
        const size_t start = size_t(number - 1) * size;
        if (number == 0 || start >= payload.size()) {
            continue;
        }
        flush();
        // Inline QoS travel with the first fragment only.
        m_message.dataFrag(reader, writer, sequence, number, uint16_t(size),
                           uint32_t(payload.size()), number == 1 ? inlineQos : std::string(),
                           payload.substr(start, size));
        flush();
    }
}

void DatagramBatch::heartbeat(uint32_t reader, uint32_t writer, int64_t first, int64_t last,
                              int32_t count)
{
    room(40);
    m_message.heartbeat(reader, writer, first, last, count, false);
}

void DatagramBatch::gap(uint32_t reader, uint32_t writer, int64_t sequence)
{
    room(40);
    m_message.gap(reader, writer, sequence);
}
