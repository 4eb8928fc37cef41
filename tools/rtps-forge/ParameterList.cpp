#include "ParameterList.h"

#include "ParameterId.h"

#include <stdexcept>

namespace {
// Encapsulation identifier of a little-endian parameter list, written most significant first.
const char plCdrLe[4] = {0x00, 0x03, 0x00, 0x00};

std::string padded(std::string value)
{
    value.resize((value.size() + 3) / 4 * 4, '\0');
    return value;
}
} // namespace

void ParameterList::add(uint16_t pid, const std::string& value)
{
    const std::string body = padded(value);
    if (body.size() <= maxValueSize) {
        raw(pid, uint16_t(body.size()), body);
        return;
    }
    switch (m_longValue) {
    case LongValue::Refuse:
        throw std::length_error("parameter value longer than a parameter list can hold");
    case LongValue::Extended: {
        ByteWriter header;
        header.u32(pid);
        header.u32(uint32_t(body.size()));
        raw(Pid::extended, 8, header.bytes());
        m_params.append(body);
        break;
    }
    case LongValue::Wrap:
        // The length field keeps only the low 16 bits, as a careless sender would write it.
        raw(pid, uint16_t(body.size() & 0xffff), body);
        break;
    }
}

void ParameterList::raw(uint16_t pid, uint16_t lengthField, const std::string& value)
{
    m_params.u16(pid);
    m_params.u16(lengthField);
    m_params.append(value);
}

void ParameterList::addU32(uint16_t pid, uint32_t value)
{
    ByteWriter w;
    w.u32(value);
    add(pid, w.bytes());
}

void ParameterList::addString(uint16_t pid, const std::string& text)
{
    ByteWriter w;
    w.cdrString(text);
    add(pid, w.bytes());
}

void ParameterList::addOctets(uint16_t pid, const std::string& bytes)
{
    ByteWriter w;
    w.octets(bytes);
    add(pid, w.bytes());
}

void ParameterList::addGuid(uint16_t pid, const Guid& guid)
{
    add(pid, guid.bytes());
}

void ParameterList::addLoopbackLocator(uint16_t pid, uint32_t port)
{
    ByteWriter w;
    w.i32(1); // LOCATOR_KIND_UDPv4
    w.u32(port);
    const uint8_t address[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 127, 0, 0, 1};
    w.append(address, sizeof(address));
    add(pid, w.bytes());
}

void ParameterList::addDuration(uint16_t pid, int32_t seconds, uint32_t fraction)
{
    ByteWriter w;
    w.i32(seconds);
    w.u32(fraction);
    add(pid, w.bytes());
}

std::string ParameterList::propertiesValue(const std::vector<Property>& properties)
{
    ByteWriter w;
    w.u32(uint32_t(properties.size()));
    for (const Property& property : properties) {
        w.cdrString(property.name);
        w.align(4);
        w.cdrString(property.value);
        w.align(4);
    }
    w.u32(0); // no binary properties
    return w.take();
}

void ParameterList::addProperties(const std::vector<Property>& properties)
{
    add(Pid::propertyList, propertiesValue(properties));
}

std::string ParameterList::finish(bool withSentinel) const
{
    std::string result(plCdrLe, sizeof(plCdrLe));
    result += m_params.bytes();
    if (withSentinel) {
        const char sentinel[4] = {0x01, 0x00, 0x00, 0x00};
        result.append(sentinel, sizeof(sentinel));
    }
    return result;
}

std::string ParameterList::inlineQos() const
{
    std::string result = m_params.bytes();
    const char sentinel[4] = {0x01, 0x00, 0x00, 0x00};
    result.append(sentinel, sizeof(sentinel));
    return result;
}
