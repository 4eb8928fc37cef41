// Placeholder until the Cyclone-backed factory lands: creates no participant.
#include "DomainParticipantFactory.h"

namespace ZORVAN {

const DomainParticipantQos PARTICIPANT_QOS_DEFAULT{};

namespace {
class NullFactory : public DomainParticipantFactory
{
public:
    DomainParticipant* create_participant(DomainId_t, const DomainParticipantQos&,
                                          DomainParticipantListener*, StatusMask) override
    {
        return nullptr;
    }
    ReturnCode_t delete_participant(DomainParticipant* participant) override
    {
        delete participant;
        return RETCODE_OK;
    }
};
DomainParticipantFactory* g_override = nullptr;
} // namespace

DomainParticipantFactory* DomainParticipantFactory::get_instance()
{
    static NullFactory factory;
    return g_override ? g_override : &factory;
}

void DomainParticipantFactory::set_instance(DomainParticipantFactory* factory)
{
    g_override = factory;
}

} // namespace ZORVAN
