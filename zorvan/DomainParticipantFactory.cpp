#include "DomainParticipantFactory.h"

#include "CycloneDomainParticipantFactory.h"

#include <atomic>
#include <new>

namespace ZORVAN {

const DomainParticipantQos PARTICIPANT_QOS_DEFAULT{};

namespace {

// Trivially destructible, so it stays valid while exit-time destructors run.
std::atomic<DomainParticipantFactory*> g_override{nullptr};

// The factory is built into static storage and never destroyed: exit-time destructors of
// other objects (the monitor's among them) still delete their participants through it.
DomainParticipantFactory* cycloneFactory()
{
    alignas(CycloneDomainParticipantFactory) static unsigned char
        storage[sizeof(CycloneDomainParticipantFactory)];
    static DomainParticipantFactory* const factory =
        new (storage) CycloneDomainParticipantFactory();
    return factory;
}

} // namespace

DomainParticipantFactory* DomainParticipantFactory::get_instance()
{
    DomainParticipantFactory* const replacement = g_override.load();
    return replacement != nullptr ? replacement : cycloneFactory();
}

void DomainParticipantFactory::set_instance(DomainParticipantFactory* factory)
{
    g_override.store(factory);
}

} // namespace ZORVAN
