// Entry point of the ZORVAN middleware: creates and deletes domain participants.
#pragma once

#include "DomainParticipant.h"

namespace ZORVAN {

class DomainParticipantListener;

extern const DomainParticipantQos PARTICIPANT_QOS_DEFAULT;

class DomainParticipantFactory
{
public:
    // The process-wide factory. It stays usable until the process ends, so participants can
    // be deleted from exit-time destructors.
    static DomainParticipantFactory* get_instance();

    // Replaces the factory get_instance() returns; tests use it to put a double in place.
    // Passing nullptr restores the middleware's own factory.
    static void set_instance(DomainParticipantFactory* factory);

    // Returns nullptr when the participant cannot be created (for example a domain id the
    // middleware cannot use). The participant announces this process's system information.
    virtual DomainParticipant* create_participant(DomainId_t domain_id,
                                                  const DomainParticipantQos& qos,
                                                  DomainParticipantListener* listener,
                                                  StatusMask mask) = 0;
    virtual ReturnCode_t delete_participant(DomainParticipant* participant) = 0;

protected:
    DomainParticipantFactory() = default;
    virtual ~DomainParticipantFactory() = default;
};

} // namespace ZORVAN
