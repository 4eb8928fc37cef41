#include "QosText.h"

namespace {

// Enumerator names indexed by the stored value, starting at `first`.
template <size_t N> QString lookup(const char* const (&names)[N], uint8_t value, uint8_t first = 0)
{
    if (value < first || size_t(value - first) >= N) {
        return QString();
    }
    return QString::fromLatin1(names[value - first]);
}

} // namespace

QString durabilityKindText(uint8_t kind)
{
    static const char* const names[] = {
        "VOLATILE_DURABILITY_QOS",
        "TRANSIENT_LOCAL_DURABILITY_QOS",
        "TRANSIENT_DURABILITY_QOS",
        "PERSISTENT_DURABILITY_QOS",
    };
    return lookup(names, kind);
}

QString presentationScopeText(uint8_t scope)
{
    static const char* const names[] = {
        "INSTANCE_PRESENTATION_QOS",
        "TOPIC_PRESENTATION_QOS",
        "GROUP_PRESENTATION_QOS",
    };
    return lookup(names, scope);
}

QString ownershipKindText(uint8_t kind)
{
    static const char* const names[] = {
        "SHARED_OWNERSHIP_QOS",
        "EXCLUSIVE_OWNERSHIP_QOS",
    };
    return lookup(names, kind);
}

QString livelinessKindText(uint8_t kind)
{
    static const char* const names[] = {
        "AUTOMATIC_LIVELINESS_QOS",
        "MANUAL_BY_PARTICIPANT_LIVELINESS_QOS",
        "MANUAL_BY_TOPIC_LIVELINESS_QOS",
    };
    return lookup(names, kind);
}

QString reliabilityKindText(uint8_t kind)
{
    static const char* const names[] = {
        "BEST_EFFORT_RELIABILITY_QOS",
        "RELIABLE_RELIABILITY_QOS",
    };
    return lookup(names, kind, 1);
}

QString destinationOrderKindText(uint8_t kind)
{
    static const char* const names[] = {
        "BY_RECEPTION_TIMESTAMP_DESTINATIONORDER_QOS",
        "BY_SOURCE_TIMESTAMP_DESTINATIONORDER_QOS",
    };
    return lookup(names, kind);
}

QString historyKindText(uint8_t kind)
{
    static const char* const names[] = {
        "KEEP_LAST_HISTORY_QOS",
        "KEEP_ALL_HISTORY_QOS",
    };
    return lookup(names, kind);
}

QString durationText(const ZORVAN::Duration_t& duration)
{
    return QStringLiteral("{%1,%2}").arg(QString::number(duration.sec),
                                         QString::number(duration.nanosec));
}

QString octetsText(const ZORVAN::OctetSeq& octets)
{
    if (octets.empty()) {
        return QStringLiteral("empty");
    }
    QString text;
    text.reserve(int(octets.size()));
    for (uint8_t octet : octets) {
        text.append(QChar(ushort(octet)));
    }
    return text;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
