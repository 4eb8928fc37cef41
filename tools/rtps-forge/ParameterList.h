// Builder of a PL_CDR_LE parameter list, the payload of every discovery DATA. Parameters are
// appended in call order; `raw` writes a parameter exactly as given, wrong length included,
// for the announcements that are meant to be malformed.
#pragma once

#include "ByteWriter.h"
#include "Guid.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct Property
{
    std::string name;
    std::string value;
};

class ParameterList
{
public:
    // What to do with a value longer than the 16-bit parameter length can describe.
    enum class LongValue
    {
        Refuse,
        Extended,
        Wrap
    };
    static constexpr size_t maxValueSize = 65532; // largest length that is a multiple of 4

    explicit ParameterList(LongValue longValue = LongValue::Refuse) : m_longValue(longValue) {}

    // Appends the value padded to a multiple of 4. A value over maxValueSize is written
    // according to LongValue; Refuse throws std::length_error.
    void add(uint16_t pid, const std::string& value);
    // Header with `lengthField` as the length, then `value` unpadded.
    void raw(uint16_t pid, uint16_t lengthField, const std::string& value);

    void addU32(uint16_t pid, uint32_t value);
    void addString(uint16_t pid, const std::string& text);
    void addOctets(uint16_t pid, const std::string& bytes);
    void addGuid(uint16_t pid, const Guid& guid);
    // A UDPv4 locator on 127.0.0.1.
    void addLoopbackLocator(uint16_t pid, uint32_t port);
    void addDuration(uint16_t pid, int32_t seconds, uint32_t fraction = 0);
    void addProperties(const std::vector<Property>& properties);

    // The encoded value of a property list parameter (also used to size one in advance).
    static std::string propertiesValue(const std::vector<Property>& properties);

    // Encapsulation header, the parameters, and the sentinel unless left out.
    std::string finish(bool withSentinel = true) const;
    // The parameters alone (for inline QoS, which has no encapsulation header).
    std::string inlineQos() const;
    size_t size() const { return m_params.size(); }

private:
    LongValue m_longValue;
    ByteWriter m_params;
};
