// Owners for memory that Cyclone allocates on the layer's behalf (QoS objects, and the
// copies its dds_qget_* functions return), so that no early return leaks them.
#pragma once

#include <dds/dds.h>

#include <memory>

namespace ZORVAN {

struct CycloneQosDeleter
{
    void operator()(dds_qos_t* qos) const { dds_delete_qos(qos); }
};
using CycloneQosPtr = std::unique_ptr<dds_qos_t, CycloneQosDeleter>;

struct CycloneFree
{
    void operator()(void* memory) const { dds_free(memory); }
};
template <typename T> using CyclonePtr = std::unique_ptr<T, CycloneFree>;

} // namespace ZORVAN
