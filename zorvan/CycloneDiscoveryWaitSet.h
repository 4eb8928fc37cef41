// The discovery wait set over a Cyclone waitset: read conditions on the builtin readers of
// every attached participant, whatever its domain, and a guard condition for wake().
#pragma once

#include "DiscoveryWaitSet.h"
#include "GuidKey.h"

#include <dds/dds.h>

#include <unordered_map>
#include <vector>

namespace ZORVAN {

class CycloneDiscoveryWaitSet : public DiscoveryWaitSet
{
public:
    // nullptr when Cyclone cannot make the waitset or its guard condition.
    static std::unique_ptr<CycloneDiscoveryWaitSet> make();
    ~CycloneDiscoveryWaitSet() override;

    CycloneDiscoveryWaitSet(const CycloneDiscoveryWaitSet&) = delete;
    CycloneDiscoveryWaitSet& operator=(const CycloneDiscoveryWaitSet&) = delete;

    // attach, detach and wait belong to one thread; wake may be called from any.
    ReturnCode_t attach(DomainParticipant& participant) override;
    ReturnCode_t detach(const InstanceHandle_t& participant) override;
    WaitResult wait(const Duration_t& timeout) override;
    void wake() override;

private:
    CycloneDiscoveryWaitSet(dds_entity_t waitset, dds_entity_t guard);

    const dds_entity_t m_waitset;
    const dds_entity_t m_guard;
    // the read conditions of each attached participant, by its GUID
    std::unordered_map<GuidKey, std::vector<dds_entity_t>, GuidKey::Hash> m_attached;
};

} // namespace ZORVAN
