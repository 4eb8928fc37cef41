// Double of the middleware's participant factory: records what was created and deleted, and
// can refuse domains. Installed for the lifetime of the object.
#pragma once

#include "DomainParticipantFactory.h"
#include "FakeParticipant.h"

#include <set>
#include <vector>

class FakeFactory : public ZORVAN::DomainParticipantFactory
{
public:
    FakeFactory() { set_instance(this); }
    ~FakeFactory() override { set_instance(nullptr); }

    ZORVAN::DomainParticipant* create_participant(ZORVAN::DomainId_t domainId,
                                                  const ZORVAN::DomainParticipantQos&,
                                                  ZORVAN::DomainParticipantListener*,
                                                  ZORVAN::StatusMask) override
    {
        created.push_back(domainId);
        if (refused.count(domainId)) {
            return nullptr;
        }
        return new FakeParticipant(domainId);
    }

    ZORVAN::ReturnCode_t delete_participant(ZORVAN::DomainParticipant* participant) override
    {
        deleted.push_back(participant ? participant->get_domain_id() : ~0u);
        delete participant;
        return ZORVAN::RETCODE_OK;
    }

    std::vector<ZORVAN::DomainId_t> created; // in call order
    std::vector<ZORVAN::DomainId_t> deleted;
    std::set<ZORVAN::DomainId_t> refused;
};
