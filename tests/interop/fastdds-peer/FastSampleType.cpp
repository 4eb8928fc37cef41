#include "FastSampleType.h"

#include <fastcdr/Cdr.h>
#include <fastcdr/FastBuffer.h>
#include <fastcdr/exceptions/Exception.h>

#include <cstring>

using eprosima::fastcdr::Cdr;
using eprosima::fastcdr::FastBuffer;
using eprosima::fastrtps::rtps::InstanceHandle_t;
using eprosima::fastrtps::rtps::SerializedPayload_t;

namespace {

// Encapsulation header, id, string length and zero terminator, with the text's bytes.
uint32_t serializedSize(size_t textBytes)
{
    return uint32_t(4 + 4 + 4 + textBytes + 1);
}

} // namespace

FastSampleType::FastSampleType(const std::string& typeName)
{
    setName(typeName.c_str());
    m_typeSize = serializedSize(kMaxTextBytes) + 3; // room to pad to a multiple of 4
    m_isGetKeyDefined = true;
    // No XTypes type information: endpoints match on the type name alone, as with the
    // Cyclone peers' sample type.
    auto_fill_type_object(false);
    auto_fill_type_information(false);
}

bool FastSampleType::serialize(void* data, SerializedPayload_t* payload)
{
    const auto* sample = static_cast<const FastSample*>(data);
    if (sample->text.size() > kMaxTextBytes) {
        return false;
    }
    FastBuffer buffer(reinterpret_cast<char*>(payload->data), payload->max_size);
    Cdr cdr(buffer, Cdr::DEFAULT_ENDIAN, Cdr::DDS_CDR);
    payload->encapsulation = cdr.endianness() == Cdr::BIG_ENDIANNESS ? CDR_BE : CDR_LE;
    try {
        cdr.serialize_encapsulation();
        cdr << sample->id << sample->text;
    } catch (const eprosima::fastcdr::exception::Exception&) {
        return false;
    }
    payload->length = uint32_t(cdr.getSerializedDataLength());
    return true;
}

bool FastSampleType::deserialize(SerializedPayload_t* payload, void* data)
{
    auto* sample = static_cast<FastSample*>(data);
    FastBuffer buffer(reinterpret_cast<char*>(payload->data), payload->length);
    Cdr cdr(buffer, Cdr::DEFAULT_ENDIAN, Cdr::DDS_CDR);
    try {
        cdr.read_encapsulation();
        payload->encapsulation = cdr.endianness() == Cdr::BIG_ENDIANNESS ? CDR_BE : CDR_LE;
        cdr >> sample->id >> sample->text;
    } catch (const eprosima::fastcdr::exception::Exception&) {
        return false;
    }
    return true;
}

std::function<uint32_t()> FastSampleType::getSerializedSizeProvider(void* data)
{
    const auto* sample = static_cast<const FastSample*>(data);
    return [sample] { return serializedSize(sample->text.size()) + 3; };
}

// Fast DDS owns the samples it asks for here and hands each back to deleteData.
void* FastSampleType::createData()
{
    return new FastSample();
}

void FastSampleType::deleteData(void* data)
{
    delete static_cast<FastSample*>(data);
}

bool FastSampleType::getKey(void* data, InstanceHandle_t* handle, bool)
{
    const auto* sample = static_cast<const FastSample*>(data);
    const uint32_t id = uint32_t(sample->id);
    std::memset(handle->value, 0, sizeof(handle->value));
    handle->value[0] = uint8_t(id >> 24);
    handle->value[1] = uint8_t(id >> 16);
    handle->value[2] = uint8_t(id >> 8);
    handle->value[3] = uint8_t(id);
    return true;
}
