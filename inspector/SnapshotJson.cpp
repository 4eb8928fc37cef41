#include "SnapshotJson.h"

#include "HandleText.h"
#include "JsonWriter.h"
#include "ProblemsJson.h"
#include "QosJson.h"
#include "TopicIndex.h"

#include <QCoreApplication>

using namespace ZORVAN;

namespace SnapshotJson {

namespace {

// The address list as the physical view knows it ("a,b"), as an array.
void addresses(JsonWriter& json, const std::string& ips)
{
    json.beginArray();
    size_t start = 0;
    while (start < ips.size()) {
        const size_t comma = std::min(ips.find(',', start), ips.size());
        if (comma > start) {
            json.string(ips.substr(start, comma - start));
        }
        start = comma + 1;
    }
    json.endArray();
}

void participant(JsonWriter& json, const SnapshotParticipant& p)
{
    json.beginObject();
    json.key("handle").string(handleText(p.handle));
    const ParticipantSysInfo& info = p.info;
    json.key("system_information").beginObject();
    json.key("host_name").string(info.hostName);
    json.key("ips");
    addresses(json, info.ips);
    json.key("process_name").string(info.processName);
    json.key("pid").number(info.pid);
    json.key("executable_path").string(info.executablePath);
    json.key("user_name").string(info.userName);
    json.key("target").string(info.target);
    json.key("creation_timestamp").string(info.creationTimestamp);
    json.key("execution_timestamp").string(info.executionTimestamp);
    json.endObject();
    json.key("user_data").string(QosJson::base64(p.record.user_data.value));
    json.key("properties").beginArray();
    for (const Property_t& property : p.record.property.value) {
        json.beginObject();
        json.key("name").string(property.name);
        json.key("value").string(property.value);
        json.key("propagate").boolean(property.propagate);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

template <class Record> void endpoint(JsonWriter& json, const DiscoveredEndpoint<Record>& e)
{
    json.beginObject();
    json.key("handle").string(handleText(e.handle));
    json.key("participant").string(handleText(e.record.participant_key));
    json.key("topic").string(e.record.topic_name);
    json.key("type").string(e.record.type_name);
    json.key("qos");
    QosJson::write(json, e.record);
    json.endObject();
}

void domain(JsonWriter& json, const SnapshotDomain& d)
{
    const TopicIndex topics = indexTopics(d);
    json.beginObject();
    json.key("domain").number(d.id);
    json.key("complete").boolean(d.complete);
    json.key("counts").beginObject();
    json.key("participants").number(int64_t(d.participants.size()));
    json.key("writers").number(int64_t(d.writers.size()));
    json.key("readers").number(int64_t(d.readers.size()));
    json.key("topics").number(int64_t(topics.size()));
    json.endObject();
    json.key("participants").beginArray();
    for (const SnapshotParticipant& p : d.participants) {
        participant(json, p);
    }
    json.endArray();
    json.key("writers").beginArray();
    for (const DiscoveredWriter& w : d.writers) {
        endpoint(json, w);
    }
    json.endArray();
    json.key("readers").beginArray();
    for (const DiscoveredReader& r : d.readers) {
        endpoint(json, r);
    }
    json.endArray();
    json.key("topics").beginArray();
    for (const auto& topic : topics) {
        json.beginObject();
        json.key("name").string(topic.first);
        json.key("types").beginArray();
        for (const std::string& type : topic.second.types) {
            json.string(type);
        }
        json.endArray();
        json.key("writers").number(int64_t(topic.second.writers.size()));
        json.key("readers").number(int64_t(topic.second.readers.size()));
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

} // namespace

std::string handleText(const InstanceHandle_t& handle)
{
    return HandleText::text(HandleText::keyOf(handle)).toStdString();
}

std::string handleText(const BuiltinTopicKey_t& key)
{
    return HandleText::text(HandleText::keyOf(key)).toStdString();
}

void writeHeader(JsonWriter& json, const DocumentHeader& header)
{
    json.key("command").string(header.command);
    json.key("version").string(QCoreApplication::applicationVersion());
    json.key("taken_at").string(header.takenAt.toUTC().toString(Qt::ISODateWithMs));
    json.key("settled").boolean(header.settled);
}

std::string document(const DocumentHeader& header, const Snapshot& snapshot,
                     const ProblemReport& problems)
{
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    writeHeader(json, header);
    json.key("domains").beginArray();
    for (const SnapshotDomain& d : snapshot.domains) {
        domain(json, d);
    }
    json.endArray();
    ProblemsJson::writeProblems(json, problems);
    json.endObject();
    out += '\n';
    return out;
}

} // namespace SnapshotJson
