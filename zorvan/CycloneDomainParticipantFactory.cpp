#include "CycloneDomainParticipantFactory.h"

#include "CycloneDomainParticipant.h"
#include "LocalSysInfo.h"
#include "ParticipantQosBuilder.h"

namespace ZORVAN {

DomainParticipant* CycloneDomainParticipantFactory::create_participant(
    DomainId_t domain_id, const DomainParticipantQos& qos, DomainParticipantListener*, StatusMask)
{
    try {
        const CycloneQosPtr cycloneQos =
            ParticipantQosBuilder::build(qos, LocalSysInfo::properties(LocalSysInfo::Clock::now()));
        // The caller takes ownership and hands it back through delete_participant.
        return CycloneDomainParticipant::create(domain_id, cycloneQos.get()).release();
    } catch (...) {
        return nullptr;
    }
}

ReturnCode_t CycloneDomainParticipantFactory::delete_participant(DomainParticipant* participant)
{
    auto* own = dynamic_cast<CycloneDomainParticipant*>(participant);
    if (own == nullptr) {
        return RETCODE_BAD_PARAMETER;
    }
    delete own;
    return RETCODE_OK;
}

} // namespace ZORVAN
