#include "QosJson.h"

#include "JsonWriter.h"
#include "QosText.h"

#include <QByteArray>

using namespace ZORVAN;

namespace QosJson {

namespace {

void duration(JsonWriter& json, const char* name, const Duration_t& value)
{
    json.key(name).beginObject();
    json.key("sec").number(value.sec);
    json.key("nanosec").number(value.nanosec);
    json.endObject();
}

void octets(JsonWriter& json, const char* policy, const OctetSeq& value)
{
    json.key(policy).beginObject().key("value").string(base64(value)).endObject();
}

void kind(JsonWriter& json, const char* policy, const QString& text)
{
    json.key(policy).beginObject().key("kind").string(text).endObject();
}

void durability(JsonWriter& json, const DurabilityQosPolicy& policy)
{
    kind(json, "durability", durabilityKindText(policy.kind));
}

void deadline(JsonWriter& json, const DeadlineQosPolicy& policy)
{
    json.key("deadline").beginObject();
    duration(json, "period", policy.period);
    json.endObject();
}

void latencyBudget(JsonWriter& json, const LatencyBudgetQosPolicy& policy)
{
    json.key("latency_budget").beginObject();
    duration(json, "duration", policy.duration);
    json.endObject();
}

void liveliness(JsonWriter& json, const LivelinessQosPolicy& policy)
{
    json.key("liveliness").beginObject();
    json.key("kind").string(livelinessKindText(policy.kind));
    duration(json, "lease_duration", policy.lease_duration);
    json.endObject();
}

void presentation(JsonWriter& json, const PresentationQosPolicy& policy)
{
    json.key("presentation").beginObject();
    json.key("access_scope").string(presentationScopeText(policy.access_scope));
    json.key("coherent_access").boolean(policy.coherent_access);
    json.key("ordered_access").boolean(policy.ordered_access);
    json.endObject();
}

void partition(JsonWriter& json, const PartitionQosPolicy& policy)
{
    json.key("partition").beginObject().key("name").beginArray();
    for (const std::string& name : policy.name) {
        json.string(name);
    }
    json.endArray().endObject();
}

} // namespace

std::string base64(const OctetSeq& octets)
{
    const QByteArray raw =
        QByteArray::fromRawData(reinterpret_cast<const char*>(octets.data()), int(octets.size()));
    return raw.toBase64().toStdString();
}

void write(JsonWriter& json, const PublicationBuiltinTopicData& writer)
{
    json.beginObject();
    durability(json, writer.durability);
    const DurabilityServiceQosPolicy& service = writer.durability_service;
    json.key("durability_service").beginObject();
    duration(json, "service_cleanup_delay", service.service_cleanup_delay);
    json.key("history_kind").string(historyKindText(service.history_kind));
    json.key("history_depth").number(service.history_depth);
    json.key("max_samples").number(service.max_samples);
    json.key("max_instances").number(service.max_instances);
    json.key("max_samples_per_instance").number(service.max_samples_per_instance);
    json.endObject();
    deadline(json, writer.deadline);
    latencyBudget(json, writer.latency_budget);
    liveliness(json, writer.liveliness);
    json.key("reliability").beginObject();
    json.key("kind").string(reliabilityKindText(writer.reliability.kind));
    duration(json, "max_blocking_time", writer.reliability.max_blocking_time);
    json.endObject();
    json.key("lifespan").beginObject();
    duration(json, "duration", writer.lifespan.duration);
    json.endObject();
    octets(json, "user_data", writer.user_data.value);
    kind(json, "ownership", ownershipKindText(writer.ownership.kind));
    json.key("ownership_strength").beginObject();
    json.key("value").number(writer.ownership_strength.value);
    json.endObject();
    kind(json, "destination_order", destinationOrderKindText(writer.destination_order.kind));
    presentation(json, writer.presentation);
    partition(json, writer.partition);
    octets(json, "topic_data", writer.topic_data.value);
    octets(json, "group_data", writer.group_data.value);
    json.endObject();
}

void write(JsonWriter& json, const SubscriptionBuiltinTopicData& reader)
{
    json.beginObject();
    octets(json, "user_data", reader.user_data.value);
    octets(json, "group_data", reader.group_data.value);
    octets(json, "topic_data", reader.topic_data.value);
    durability(json, reader.durability);
    json.key("time_based_filter").beginObject();
    duration(json, "minimum_separation", reader.time_based_filter.minimum_separation);
    json.endObject();
    deadline(json, reader.deadline);
    latencyBudget(json, reader.latency_budget);
    liveliness(json, reader.liveliness);
    kind(json, "reliability", reliabilityKindText(reader.reliability.kind));
    kind(json, "destination_order", destinationOrderKindText(reader.destination_order.kind));
    kind(json, "ownership", ownershipKindText(reader.ownership.kind));
    presentation(json, reader.presentation);
    partition(json, reader.partition);
    json.endObject();
}

} // namespace QosJson
