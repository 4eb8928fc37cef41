// The middleware's own factory: makes Cyclone-backed participants that announce this
// process's system information. It holds no state, so it works for as long as the process runs.
#pragma once

#include "DomainParticipantFactory.h"

namespace ZORVAN {

class CycloneDomainParticipantFactory : public DomainParticipantFactory
{
public:
    CycloneDomainParticipantFactory() = default;
    ~CycloneDomainParticipantFactory() override = default;

    // The listener and mask are not supported and ignored. nullptr when Cyclone refuses the
    // domain id or the QoS, or memory runs out.
    DomainParticipant* create_participant(DomainId_t domain_id, const DomainParticipantQos& qos,
                                          DomainParticipantListener* listener,
                                          StatusMask mask) override;
    // RETCODE_BAD_PARAMETER for nullptr or a participant this factory did not make.
    ReturnCode_t delete_participant(DomainParticipant* participant) override;
};

} // namespace ZORVAN
