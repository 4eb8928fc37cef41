#include "ParticipantQosBuilder.h"

#include <dds/ddsi/ddsi_xqos.h>
#include <dds/ddsrt/heap.h>
#include <dds/ddsrt/string.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_set>

namespace ZORVAN {

namespace {
size_t padded(size_t bytes)
{
    return (bytes + 3) & ~size_t(3);
}
} // namespace

CycloneQosPtr ParticipantQosBuilder::build(const DomainParticipantQos& qos,
                                           const std::vector<Property_t>& announced)
{
    std::vector<Property_t> properties = qos.property.value;
    std::unordered_set<std::string> callerNames;
    for (const Property_t& property : qos.property.value) {
        callerNames.insert(property.name);
    }
    for (const Property_t& property : announced) {
        if (callerNames.count(property.name) == 0) {
            properties.push_back(property);
        }
    }
    if (4 + padded(qos.user_data.value.size()) + propertyWireSize(properties) >
        kMaxAnnouncedBytes) {
        throw std::length_error("participant announcement too large");
    }

    CycloneQosPtr result(dds_create_qos());
    if (!result) {
        throw std::bad_alloc();
    }
    if (!qos.user_data.value.empty()) {
        dds_qset_userdata(result.get(), qos.user_data.value.data(), qos.user_data.value.size());
    }
    for (const Property_t& property : properties) {
        appendProperty(result.get(), property);
    }
    return result;
}

size_t ParticipantQosBuilder::propertyWireSize(const std::vector<Property_t>& properties)
{
    size_t size = 4 + 4;
    for (const Property_t& property : properties) {
        if (property.propagate) {
            // Length word, the text up to its first zero, the terminating zero.
            size += padded(4 + std::strlen(property.name.c_str()) + 1);
            size += padded(4 + std::strlen(property.value.c_str()) + 1);
        }
    }
    return size;
}

void ParticipantQosBuilder::appendProperty(dds_qos_t* qos, const Property_t& property)
{
    // Names and values are C strings on the wire: an embedded zero ends them.
    if ((qos->present & QP_PROPERTY_LIST) == 0) {
        // The first property lets Cyclone set up the policy (both of its sequences).
        ddsi_xqos_add_property_if_unset(qos, property.propagate, property.name.c_str(),
                                        property.value.c_str());
        return;
    }
    dds_propertyseq_t& list = qos->property.value;
    char* name = ddsrt_strdup(property.name.c_str());
    char* value = ddsrt_strdup(property.value.c_str());
    auto* grown = static_cast<dds_property_t*>(
        ddsrt_realloc(list.props, (size_t(list.n) + 1) * sizeof(dds_property_t)));
    if (name == nullptr || value == nullptr || grown == nullptr) {
        ddsrt_free(name);
        ddsrt_free(value);
        throw std::bad_alloc();
    }
    list.props = grown;
    list.props[list.n].propagate = property.propagate ? 1 : 0;
    list.props[list.n].name = name;
    list.props[list.n].value = value;
    ++list.n;
}

} // namespace ZORVAN
