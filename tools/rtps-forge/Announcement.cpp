#include "Announcement.h"

#include "ByteWriter.h"
#include "ParameterId.h"

namespace Announcement {

namespace {
const uint8_t protocolMajor = 2;
const uint8_t protocolMinor = 1;
const uint8_t vendor[2] = {0x7f, 0x7f};

std::string twoBytes(const uint8_t a, const uint8_t b)
{
    return std::string{char(a), char(b)};
}
} // namespace

std::string participant(const ParticipantPlan& plan, const AnnouncementContext& context)
{
    if (!plan.spdpPayload.empty()) {
        return plan.spdpPayload;
    }
    ParameterList list(context.longValue);
    list.add(Pid::protocolVersion, twoBytes(protocolMajor, protocolMinor));
    list.add(Pid::vendorId, twoBytes(vendor[0], vendor[1]));
    list.addU32(Pid::domainId, context.domain);
    list.addGuid(Pid::participantGuid, Guid{plan.prefix, EntityId::participant});
    list.addU32(Pid::builtinEndpointSet, builtinEndpoints);
    list.addLoopbackLocator(Pid::metatrafficUnicastLocator, context.locatorPort);
    list.addLoopbackLocator(Pid::defaultUnicastLocator, context.locatorPort);
    list.addDuration(Pid::participantLeaseDuration, context.leaseSeconds);
    if (!plan.properties.empty()) {
        list.addProperties(plan.properties);
    }
    if (!plan.userData.empty()) {
        list.addOctets(Pid::userData, plan.userData);
    }
    return list.finish();
}

std::string endpoint(const GuidPrefix& participant, const EndpointPlan& plan,
                     const AnnouncementContext& context)
{
    if (!plan.payload.empty()) {
        return plan.payload;
    }
    ParameterList list(context.longValue);
    list.addGuid(Pid::endpointGuid, Guid{participant, plan.entityId});
    list.addGuid(Pid::participantGuid, Guid{participant, EntityId::participant});
    list.addString(Pid::topicName, plan.topic);
    list.addString(Pid::typeName, plan.type);
    ByteWriter reliability;
    reliability.u32(plan.reliable ? 2 : 1); // wire values: 1 best effort, 2 reliable
    reliability.i32(0);
    reliability.u32(0x19999999); // 100 ms max blocking time
    list.add(Pid::reliability, reliability.bytes());
    list.addU32(Pid::durability, plan.durability);
    if (plan.deadlineSeconds > 0) {
        list.addDuration(Pid::deadline, plan.deadlineSeconds);
    }
    if (plan.livelinessSeconds > 0) {
        ByteWriter liveliness;
        liveliness.u32(0); // automatic
        liveliness.i32(plan.livelinessSeconds);
        liveliness.u32(0);
        list.add(Pid::liveliness, liveliness.bytes());
    }
    if (plan.bySourceTimestamp) {
        list.addU32(Pid::destinationOrder, 1);
    }
    if (!plan.partitions.empty()) {
        ByteWriter partition;
        partition.u32(uint32_t(plan.partitions.size()));
        for (const std::string& name : plan.partitions) {
            partition.cdrString(name);
            partition.align(4);
        }
        list.add(Pid::partition, partition.bytes());
    }
    return list.finish();
}

std::string inlineQos(const Guid& key, bool disposed)
{
    ParameterList list;
    list.add(Pid::keyHash, key.bytes());
    if (disposed) {
        const char status[4] = {0, 0, 0, 0x03};
        list.add(Pid::statusInfo, std::string(status, sizeof(status)));
    }
    return list.inlineQos();
}

std::string keyOnly(uint16_t pid, const Guid& key)
{
    ParameterList list;
    list.addGuid(pid, key);
    return list.finish();
}

} // namespace Announcement
