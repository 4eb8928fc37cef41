// Announcements that break the wire format one way each: parameter lengths, strings and
// sequences, encapsulation, submessage lengths, fragment numbering. Each broken participant
// has its own GUID; a well-formed canary comes last.
#include "Announcement.h"
#include "ByteWriter.h"
#include "ParameterId.h"
#include "RtpsMessage.h"
#include "Scenario.h"

#include <functional>
#include <tuple>

namespace Scenarios {

namespace {

using Defect = std::function<void(ParameterList&)>;

// An otherwise complete SPDP parameter list with `defect` in place of the property list.
// Locators name a port nobody listens on: nothing is meant to come back to these.
std::string spdp(const GuidPrefix& prefix, const ForgeOptions& options, const Defect& defect,
                 bool sentinel = true)
{
    ParameterList list;
    list.add(Pid::protocolVersion, std::string{2, 1});
    list.add(Pid::vendorId, std::string{0x7f, 0x7f});
    list.addGuid(Pid::participantGuid, Guid{prefix, EntityId::participant});
    list.addU32(Pid::builtinEndpointSet, Announcement::builtinEndpoints);
    const uint32_t deadPort = 7400 + 250 * options.domain + 9;
    list.addLoopbackLocator(Pid::metatrafficUnicastLocator, deadPort);
    list.addLoopbackLocator(Pid::defaultUnicastLocator, deadPort);
    list.addDuration(Pid::participantLeaseDuration, options.leaseSeconds);
    defect(list);
    return list.finish(sentinel);
}

std::string cdrString(const std::string& text)
{
    ByteWriter w;
    w.cdrString(text);
    w.align(4);
    return w.take();
}

// A property list value whose first name claims `nameLength` bytes.
std::string propertiesWithNameLength(uint32_t count, uint32_t nameLength)
{
    ByteWriter w;
    w.u32(count);
    w.u32(nameLength);
    w.append("dds.sys_info.hostname", 22);
    w.align(4);
    w.append(cdrString("forge-broken"));
    w.u32(0);
    return w.take();
}

struct SpdpCase
{
    const char* label;
    Defect defect;
    bool sentinel;
    std::string tail = std::string(); // appended after the list
};

std::vector<SpdpCase> spdpCases()
{
    const std::string properties =
        ParameterList::propertiesValue({{"dds.sys_info.hostname", "forge-broken"}});
    return {
        {"length past the end",
         [=](ParameterList& l) { l.raw(Pid::propertyList, 0xfff0, properties); }, true},
        {"length not a multiple of 4",
         [](ParameterList& l) { l.raw(Pid::userData, 7, std::string("\3\0\0\0abc", 7)); }, true},
        {"no sentinel", [=](ParameterList& l) { l.add(Pid::propertyList, properties); }, false},
        {"cut inside a parameter header",
         [=](ParameterList& l) { l.add(Pid::propertyList, properties); }, false,
         std::string("\x2c\x00", 2)},
        {"string length 0xfffffff0",
         [](ParameterList& l) {
             l.add(Pid::propertyList, propertiesWithNameLength(1, 0xfffffff0));
         },
         true},
        {"string length 0",
         [](ParameterList& l) { l.add(Pid::propertyList, propertiesWithNameLength(1, 0)); }, true},
        {"property count 0x7fffffff",
         [](ParameterList& l) {
             l.add(Pid::propertyList, propertiesWithNameLength(0x7fffffff, 22));
         },
         true},
        {"string without terminator",
         [](ParameterList& l) {
             ByteWriter w;
             w.u32(1);
             w.append(cdrString("dds.sys_info.hostname"));
             w.u32(4);
             w.append("abcd", 4);
             w.u32(0);
             l.add(Pid::propertyList, w.bytes());
         },
         true},
        {"property list cut in a string",
         [=](ParameterList& l) { l.add(Pid::propertyList, properties.substr(0, 18)); }, true},
        {"user data length 0xffffffff",
         [](ParameterList& l) {
             l.add(Pid::userData, std::string("\xff\xff\xff\xff"
                                              "ab",
                                              6));
         },
         true},
        {"second participant GUID",
         [](ParameterList& l) {
             l.addGuid(Pid::participantGuid, Guid{prefix(999), EntityId::participant});
         },
         true},
        {"second lease duration, negative",
         [](ParameterList& l) { l.addDuration(Pid::participantLeaseDuration, -5); }, true},
        {"locator kind and port out of range",
         [](ParameterList& l) {
             ByteWriter w;
             w.u32(0x7fffffff);
             w.u32(0xffffffff);
             w.append(std::string(16, '\x7f'));
             l.add(Pid::metatrafficUnicastLocator, w.bytes());
         },
         true},
        {"zero-length GUID", [](ParameterList& l) { l.raw(Pid::participantGuid, 0, ""); }, true},
    };
}

// Endpoint records of a valid participant, each broken in one way.
std::vector<EndpointPlan> brokenEndpoints(const GuidPrefix& owner)
{
    std::vector<EndpointPlan> endpoints;
    uint32_t number = 1;
    auto broken = [&](const Defect& defect, bool withTopic, bool withType) {
        EndpointPlan plan;
        plan.entityId = entityId(number++, true);
        ParameterList list;
        list.addGuid(Pid::endpointGuid, Guid{owner, plan.entityId});
        list.addGuid(Pid::participantGuid, Guid{owner, EntityId::participant});
        if (withTopic) {
            list.addString(Pid::topicName, "ForgeBroken");
        }
        if (withType) {
            list.addString(Pid::typeName, "forge::Sample");
        }
        defect(list);
        plan.payload = list.finish();
        endpoints.push_back(plan);
    };
    const Defect none = [](ParameterList&) {};
    broken(none, false, true); // no topic name
    broken(none, true, false); // no type name
    broken(
        [](ParameterList& l) {
            l.add(Pid::topicName, std::string("\xf0\xff\xff\xff"
                                              "ab",
                                              6));
        },
        false, true);
    broken(
        [](ParameterList& l) {
            ByteWriter w;
            w.u32(99);
            w.u32(0);
            w.u32(0);
            l.add(Pid::reliability, w.bytes());
        },
        true, true);
    broken([](ParameterList& l) { l.add(Pid::partition, std::string("\xff\xff\xff\x7f", 4)); },
           true, true);
    broken([](ParameterList& l) { l.raw(Pid::durability, 0, ""); }, true, true);
    broken([](ParameterList& l) { l.raw(Pid::history, 4, std::string("\1\0\0\0", 4)); }, true,
           true);
    // Claims to belong to a participant nobody announced.
    EndpointPlan stray;
    stray.entityId = entityId(number++, true);
    stray.topic = "ForgeBroken";
    stray.type = "forge::Sample";
    ParameterList list;
    list.addGuid(Pid::endpointGuid, Guid{prefix(998), stray.entityId});
    list.addString(Pid::topicName, stray.topic);
    list.addString(Pid::typeName, stray.type);
    stray.payload = list.finish();
    endpoints.push_back(stray);
    return endpoints;
}

// Whole datagrams with broken submessages, sent by an unannounced participant.
std::vector<std::string> brokenDatagrams(const ForgeOptions& options)
{
    const GuidPrefix source = prefix(997);
    const std::string valid = spdp(source, options, [](ParameterList&) {});
    std::vector<std::string> datagrams;
    auto withSubmessage = [&](const std::string& submessage) {
        RtpsMessage message(source);
        message.raw(submessage);
        datagrams.push_back(message.bytes());
    };
    ByteWriter w;
    // DATA whose length runs past the end of the datagram.
    w.u8(0x15);
    w.u8(0x05);
    w.u16(0xfff0);
    w.append(std::string(24, '\0'));
    withSubmessage(w.take());
    // DATA whose inline QoS offset points past the submessage.
    w.u8(0x15);
    w.u8(0x07);
    w.u16(20);
    w.u16(0);
    w.u16(0xfff0);
    w.append(std::string("\0\1\0\xc7\0\1\0\xc2", 8));
    w.u32(0);
    w.u32(1);
    withSubmessage(w.take());
    // DATA_FRAG: fragment size 0, fragment 0, and a sample size of 0xffffffff.
    for (const auto& frag : {std::make_tuple(1u, 0u, 0xffffffffu), std::make_tuple(0u, 512u, 1024u),
                             std::make_tuple(1u, 512u, 0x40000000u)}) {
        RtpsMessage message(source);
        message.dataFrag(EntityId::spdpReader, EntityId::spdpWriter, 7, std::get<0>(frag),
                         uint16_t(std::get<1>(frag)), std::get<2>(frag), std::string(),
                         valid.substr(0, 512));
        datagrams.push_back(message.bytes());
    }
    // HEARTBEAT with first far past last, and negative sequence numbers.
    {
        RtpsMessage message(source);
        message.heartbeat(EntityId::sedpPublicationsReader, EntityId::sedpPublicationsWriter, 1000,
                          5, 1, false);
        message.heartbeat(EntityId::sedpPublicationsReader, EntityId::sedpPublicationsWriter, -4,
                          -1, 2, false);
        datagrams.push_back(message.bytes());
    }
    // A header cut short, and a header followed by a submessage header cut short.
    datagrams.push_back(std::string("RTPS\2\1\x7f\x7f", 8));
    datagrams.push_back(RtpsMessage(source).bytes() + std::string("\x15\x01", 2));
    return datagrams;
}

} // namespace

Scenario malformed(const ForgeOptions& options)
{
    Scenario scenario;
    uint32_t index = 10;
    for (const SpdpCase& c : spdpCases()) {
        ParticipantPlan plan;
        plan.label = c.label;
        plan.prefix = prefix(index++);
        plan.spdpPayload = spdp(plan.prefix, options, c.defect, c.sentinel) + c.tail;
        scenario.participants.push_back(plan);
    }
    ParticipantPlan owner;
    owner.label = "broken endpoints";
    owner.prefix = prefix(index++);
    owner.properties = sysInfo("forge-broken-endpoints", "4248");
    owner.endpoints = brokenEndpoints(owner.prefix);
    scenario.participants.push_back(owner);
    scenario.rawDatagrams = brokenDatagrams(options);
    scenario.participants.push_back(canary(index));
    return scenario;
}

} // namespace Scenarios
