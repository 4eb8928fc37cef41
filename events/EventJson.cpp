#include "EventJson.h"

#include "EventTime.h"

namespace {

void appendString(QByteArray& out, const QString& text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static const char hex[] = "0123456789abcdef";
            switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0xf];
            }
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendKey(QByteArray& out, const char* key)
{
    if (out.size() > 1) {
        out += ',';
    }
    out += '"';
    out += key;
    out += "\":";
}

void appendText(QByteArray& out, const char* key, const QString& text, bool known)
{
    appendKey(out, key);
    if (known) {
        appendString(out, text);
    } else {
        out += "null";
    }
}

} // namespace

namespace EventJson {

const char* eventName(DiscoveryEventKind event)
{
    switch (event) {
    case DiscoveryEventKind::Joined:
        return "joined";
    case DiscoveryEventKind::Left:
        return "left";
    case DiscoveryEventKind::QosChanged:
        return "qos_changed";
    }
    return "";
}

const char* kindName(DiscoveredKind kind)
{
    switch (kind) {
    case DiscoveredKind::Participant:
        return "participant";
    case DiscoveredKind::Writer:
        return "writer";
    case DiscoveredKind::Reader:
        return "reader";
    }
    return "";
}

QByteArray line(const DiscoveryEvent& event)
{
    static const EntityDescription nothing;
    const EntityDescription& entity = event.entity ? *event.entity : nothing;
    const bool topicKnown = event.kind != DiscoveredKind::Participant && entity.recordRead;
    QByteArray out;
    out.reserve(320);
    out += '{';
    appendText(out, "time", EventTime::iso(event.time), true);
    appendKey(out, "epoch_ms");
    out += QByteArray::number(qlonglong(event.time.epochMs));
    appendKey(out, "domain");
    out += QByteArray::number(event.domainId);
    appendKey(out, "event");
    out += '"';
    out += eventName(event.event);
    out += '"';
    appendKey(out, "kind");
    out += '"';
    out += kindName(event.kind);
    out += '"';
    appendText(out, "handle", entity.handle, true);
    appendText(out, "topic", entity.topic, topicKnown);
    appendText(out, "type", entity.type, topicKnown);
    appendText(out, "host", entity.host, entity.placed);
    appendText(out, "ips", entity.ips, entity.placed);
    appendText(out, "process", entity.process, entity.placed);
    appendKey(out, "pid");
    out += entity.placed ? QByteArray::number(entity.pid) : QByteArray("null");
    appendKey(out, "policies");
    out += '[';
    for (int i = 0; i < event.policies.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendString(out, event.policies.at(i));
    }
    out += "]}";
    return out;
}

} // namespace EventJson
