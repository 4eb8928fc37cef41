#include "CycloneDiscoveryWaitSet.h"

#include "CycloneDomainParticipant.h"

#include <array>
#include <new>

namespace ZORVAN {

namespace {

// The attachment value that marks the guard condition; read conditions carry 0.
constexpr dds_attach_t guardMark = 1;

dds_duration_t nanoseconds(const Duration_t& d)
{
    if (d.sec < 0) {
        return 0;
    }
    if (d.sec == DURATION_INFINITE_SEC && d.nanosec == DURATION_INFINITE_NSEC) {
        return DDS_INFINITY;
    }
    return DDS_SECS(int64_t(d.sec)) + int64_t(d.nanosec);
}

} // namespace

std::unique_ptr<DiscoveryWaitSet> DiscoveryWaitSet::create()
{
    return CycloneDiscoveryWaitSet::make();
}

std::unique_ptr<CycloneDiscoveryWaitSet> CycloneDiscoveryWaitSet::make()
{
    // Owned by the library itself rather than by a participant, so that conditions of every
    // domain may be attached.
    const dds_entity_t waitset = dds_create_waitset(DDS_CYCLONEDDS_HANDLE);
    if (waitset < 0) {
        return nullptr;
    }
    const dds_entity_t guard = dds_create_guardcondition(DDS_CYCLONEDDS_HANDLE);
    if (guard < 0 || dds_waitset_attach(waitset, guard, guardMark) != DDS_RETCODE_OK) {
        if (guard > 0) {
            dds_delete(guard);
        }
        dds_delete(waitset);
        return nullptr;
    }
    CycloneDiscoveryWaitSet* made = new (std::nothrow) CycloneDiscoveryWaitSet(waitset, guard);
    if (made == nullptr) {
        dds_delete(guard);
        dds_delete(waitset);
    }
    return std::unique_ptr<CycloneDiscoveryWaitSet>(made);
}

CycloneDiscoveryWaitSet::CycloneDiscoveryWaitSet(dds_entity_t waitset, dds_entity_t guard)
    : m_waitset(waitset), m_guard(guard)
{
}

CycloneDiscoveryWaitSet::~CycloneDiscoveryWaitSet()
{
    // The read conditions belong to their readers; deleting the waitset detaches them.
    dds_delete(m_waitset);
    dds_delete(m_guard);
}

ReturnCode_t CycloneDiscoveryWaitSet::attach(DomainParticipant& participant)
{
    auto* cyclone = dynamic_cast<CycloneDomainParticipant*>(&participant);
    GuidKey key;
    if (cyclone == nullptr || !GuidKey::fromHandle(cyclone->get_instance_handle(), key)) {
        return RETCODE_BAD_PARAMETER;
    }
    try {
        if (m_attached.count(key) != 0) {
            return RETCODE_PRECONDITION_NOT_MET;
        }
        std::vector<dds_entity_t> conditions;
        const ReturnCode_t attached = cyclone->attachReadConditions(m_waitset, conditions);
        if (attached != RETCODE_OK) {
            return attached;
        }
        m_attached.emplace(key, std::move(conditions));
        return RETCODE_OK;
    } catch (const std::bad_alloc&) {
        return RETCODE_OUT_OF_RESOURCES;
    }
}

ReturnCode_t CycloneDiscoveryWaitSet::detach(const InstanceHandle_t& participant)
{
    GuidKey key;
    if (!GuidKey::fromHandle(participant, key)) {
        return RETCODE_BAD_PARAMETER;
    }
    const auto found = m_attached.find(key);
    if (found == m_attached.end()) {
        return RETCODE_PRECONDITION_NOT_MET;
    }
    for (dds_entity_t condition : found->second) {
        // Only a condition still attached here is ours to delete: once its participant is
        // gone the number may name another entity.
        if (dds_waitset_detach(m_waitset, condition) == DDS_RETCODE_OK) {
            dds_delete(condition);
        }
    }
    m_attached.erase(found);
    return RETCODE_OK;
}

DiscoveryWaitSet::WaitResult CycloneDiscoveryWaitSet::wait(const Duration_t& timeout)
{
    std::array<dds_attach_t, 8> triggered{};
    const dds_return_t count =
        dds_waitset_wait(m_waitset, triggered.data(), triggered.size(), nanoseconds(timeout));
    bool woken = false;
    if (dds_take_guardcondition(m_guard, &woken) == DDS_RETCODE_OK && woken) {
        return WAIT_WOKEN;
    }
    return count > 0 ? WAIT_DISCOVERY : WAIT_TIMEOUT;
}

void CycloneDiscoveryWaitSet::wake()
{
    dds_set_guardcondition(m_guard, true);
}

} // namespace ZORVAN
