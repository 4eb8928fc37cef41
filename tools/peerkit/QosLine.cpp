#include "QosLine.h"

#include "EscapedText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace peerkit {

namespace {

bool parseDuration(const std::string& text, dds_duration_t& out, std::string& error)
{
    const std::string t = trimmed(text);
    if (t == "inf") {
        out = DDS_INFINITY;
        return true;
    }
    char* end = nullptr;
    errno = 0;
    const double seconds = t.empty() ? -1.0 : std::strtod(t.c_str(), &end);
    // 9.2e9 s is the largest duration that fits in 64-bit nanoseconds.
    if (t.empty() || errno != 0 || *end != '\0' || !std::isfinite(seconds) || seconds < 0.0 ||
        seconds > 9.2e9) {
        error = "'" + t + "' is not a duration (seconds >= 0 or inf)";
        return false;
    }
    out = dds_duration_t(std::llround(seconds * 1e9));
    return true;
}

bool parseInt(const std::string& text, long minimum, int32_t& out, std::string& error)
{
    const std::string t = trimmed(text);
    char* end = nullptr;
    errno = 0;
    const long value = t.empty() ? 0 : std::strtol(t.c_str(), &end, 10);
    if (t.empty() || errno != 0 || *end != '\0' || value < minimum || value > INT32_MAX) {
        error = "'" + t + "' is not an integer >= " + std::to_string(minimum);
        return false;
    }
    out = int32_t(value);
    return true;
}

template <typename Kind> struct KindName
{
    const char* name;
    Kind kind;
};

template <typename Kind, size_t N>
bool parseKind(const std::string& text, const KindName<Kind> (&table)[N], Kind& out,
               std::string& error)
{
    const std::string t = trimmed(text);
    std::string names;
    for (const KindName<Kind>& entry : table) {
        if (t == entry.name) {
            out = entry.kind;
            return true;
        }
        names += names.empty() ? "" : ", ";
        names += entry.name;
    }
    error = "'" + t + "' is not one of " + names;
    return false;
}

const KindName<dds_durability_kind_t> durabilityKinds[] = {
    {"volatile", DDS_DURABILITY_VOLATILE},
    {"transient_local", DDS_DURABILITY_TRANSIENT_LOCAL},
    {"transient", DDS_DURABILITY_TRANSIENT},
    {"persistent", DDS_DURABILITY_PERSISTENT}};
const KindName<dds_liveliness_kind_t> livelinessKinds[] = {
    {"automatic", DDS_LIVELINESS_AUTOMATIC},
    {"manual_by_participant", DDS_LIVELINESS_MANUAL_BY_PARTICIPANT},
    {"manual_by_topic", DDS_LIVELINESS_MANUAL_BY_TOPIC}};
const KindName<dds_destination_order_kind_t> destinationKinds[] = {
    {"reception", DDS_DESTINATIONORDER_BY_RECEPTION_TIMESTAMP},
    {"source", DDS_DESTINATIONORDER_BY_SOURCE_TIMESTAMP}};
const KindName<dds_presentation_access_scope_kind_t> presentationKinds[] = {
    {"instance", DDS_PRESENTATION_INSTANCE},
    {"topic", DDS_PRESENTATION_TOPIC},
    {"group", DDS_PRESENTATION_GROUP}};
const KindName<dds_history_kind_t> historyKinds[] = {{"keep_last", DDS_HISTORY_KEEP_LAST},
                                                     {"keep_all", DDS_HISTORY_KEEP_ALL}};

bool expectParts(const std::vector<std::string>& parts, size_t minimum, size_t maximum,
                 std::string& error)
{
    if (parts.size() < minimum || parts.size() > maximum) {
        error = minimum == maximum ? "expects " + std::to_string(minimum) + " ':'-separated part(s)"
                                   : "expects " + std::to_string(minimum) + " to " +
                                         std::to_string(maximum) + " ':'-separated parts";
        return false;
    }
    return true;
}

} // namespace

QosLine::QosLine() : m_qos(dds_create_qos(), &dds_delete_qos) {}

bool QosLine::parse(const std::string& text, std::string& error)
{
    m_qos.reset(dds_create_qos());
    std::vector<std::string> fields;
    if (!splitEscaped(text, ';', fields)) {
        error = "the QoS text ends in a lone backslash";
        return false;
    }
    std::set<std::string> seen;
    for (const std::string& field : fields) {
        if (trimmed(field).empty()) {
            continue;
        }
        const size_t eq = field.find('=');
        if (eq == std::string::npos) {
            error = "'" + trimmed(field) + "' has no '='";
            m_qos.reset(dds_create_qos());
            return false;
        }
        const std::string name = trimmed(field.substr(0, eq));
        std::string fieldError;
        if (!seen.insert(name).second) {
            fieldError = "is given twice";
        } else {
            parseField(name, field.substr(eq + 1), fieldError);
        }
        if (!fieldError.empty()) {
            error = name + ": " + fieldError;
            m_qos.reset(dds_create_qos());
            return false;
        }
    }
    return true;
}

bool QosLine::parseField(const std::string& name, const std::string& value, std::string& error)
{
    dds_qos_t* q = m_qos.get();
    std::vector<std::string> parts;
    if (name == "userdata" || name == "topicdata" || name == "groupdata") {
        const std::string bytes = unescape(trimmed(value));
        if (name == "userdata") {
            dds_qset_userdata(q, bytes.data(), bytes.size());
        } else if (name == "topicdata") {
            dds_qset_topicdata(q, bytes.data(), bytes.size());
        } else {
            dds_qset_groupdata(q, bytes.data(), bytes.size());
        }
        return true;
    }
    if (name == "partition") {
        if (!splitEscaped(trimmed(value), '|', parts)) {
            error = "ends in a lone backslash";
            return false;
        }
        std::vector<std::string> names;
        std::vector<const char*> pointers;
        for (const std::string& part : parts) {
            names.push_back(unescape(trimmed(part)));
        }
        for (const std::string& n : names) {
            pointers.push_back(n.c_str());
        }
        dds_qset_partition(q, uint32_t(pointers.size()), pointers.data());
        return true;
    }
    if (!splitEscaped(trimmed(value), ':', parts)) {
        error = "ends in a lone backslash";
        return false;
    }
    for (std::string& part : parts) {
        part = unescape(trimmed(part));
    }
    const std::string& head = parts.front();
    dds_duration_t d = 0;
    int32_t n = 0;
    if (name == "reliability") {
        if (head == "best_effort") {
            if (!expectParts(parts, 1, 1, error)) {
                return false;
            }
            dds_qset_reliability(q, DDS_RELIABILITY_BEST_EFFORT, DDS_MSECS(100));
            return true;
        }
        if (head != "reliable") {
            error = "'" + head + "' is not best_effort or reliable[:max_blocking]";
            return false;
        }
        d = DDS_MSECS(100);
        if (!expectParts(parts, 1, 2, error) ||
            (parts.size() == 2 && !parseDuration(parts[1], d, error))) {
            return false;
        }
        dds_qset_reliability(q, DDS_RELIABILITY_RELIABLE, d);
        return true;
    }
    if (name == "durability") {
        dds_durability_kind_t kind;
        if (!expectParts(parts, 1, 1, error) || !parseKind(head, durabilityKinds, kind, error)) {
            return false;
        }
        dds_qset_durability(q, kind);
        return true;
    }
    if (name == "deadline" || name == "latency" || name == "lifespan" ||
        name == "timebasedfilter") {
        if (!expectParts(parts, 1, 1, error) || !parseDuration(head, d, error)) {
            return false;
        }
        if (name == "deadline") {
            dds_qset_deadline(q, d);
        } else if (name == "latency") {
            dds_qset_latency_budget(q, d);
        } else if (name == "lifespan") {
            dds_qset_lifespan(q, d);
        } else {
            dds_qset_time_based_filter(q, d);
        }
        return true;
    }
    if (name == "liveliness") {
        dds_liveliness_kind_t kind;
        d = DDS_INFINITY;
        if (!expectParts(parts, 1, 2, error) || !parseKind(head, livelinessKinds, kind, error) ||
            (parts.size() == 2 && !parseDuration(parts[1], d, error))) {
            return false;
        }
        dds_qset_liveliness(q, kind, d);
        return true;
    }
    if (name == "ownership") {
        if (head == "shared") {
            if (!expectParts(parts, 1, 1, error)) {
                return false;
            }
            dds_qset_ownership(q, DDS_OWNERSHIP_SHARED);
            return true;
        }
        if (head != "exclusive") {
            error = "'" + head + "' is not shared or exclusive[:strength]";
            return false;
        }
        if (!expectParts(parts, 1, 2, error) ||
            (parts.size() == 2 && !parseInt(parts[1], INT32_MIN, n, error))) {
            return false;
        }
        dds_qset_ownership(q, DDS_OWNERSHIP_EXCLUSIVE);
        if (parts.size() == 2) {
            dds_qset_ownership_strength(q, n);
        }
        return true;
    }
    if (name == "destination") {
        dds_destination_order_kind_t kind;
        if (!expectParts(parts, 1, 1, error) || !parseKind(head, destinationKinds, kind, error)) {
            return false;
        }
        dds_qset_destination_order(q, kind);
        return true;
    }
    if (name == "presentation") {
        dds_presentation_access_scope_kind_t kind;
        if (!expectParts(parts, 1, 3, error) || !parseKind(head, presentationKinds, kind, error)) {
            return false;
        }
        bool coherent = false;
        bool ordered = false;
        for (size_t i = 1; i < parts.size(); ++i) {
            bool& flag = parts[i] == "coherent" ? coherent : ordered;
            if ((parts[i] != "coherent" && parts[i] != "ordered") || flag) {
                error = "'" + parts[i] + "' is not coherent or ordered (each at most once)";
                return false;
            }
            flag = true;
        }
        dds_qset_presentation(q, kind, coherent, ordered);
        return true;
    }
    if (name == "history") {
        dds_history_kind_t kind;
        if (!parseKind(head, historyKinds, kind, error)) {
            return false;
        }
        n = 1;
        if (kind == DDS_HISTORY_KEEP_ALL
                ? !expectParts(parts, 1, 1, error)
                : (!expectParts(parts, 2, 2, error) || !parseInt(parts[1], 1, n, error))) {
            return false;
        }
        dds_qset_history(q, kind, n);
        return true;
    }
    if (name == "durability_service") {
        dds_history_kind_t kind;
        int32_t limits[3] = {0, 0, 0};
        if (!expectParts(parts, 6, 6, error) || !parseDuration(parts[0], d, error) ||
            !parseKind(parts[1], historyKinds, kind, error) || !parseInt(parts[2], 1, n, error)) {
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            if (!parseInt(parts[size_t(3 + i)], -1, limits[i], error)) {
                return false;
            }
        }
        dds_qset_durability_service(q, d, kind, n, limits[0], limits[1], limits[2]);
        return true;
    }
    if (name == "transport_priority") {
        if (!expectParts(parts, 1, 1, error) || !parseInt(head, INT32_MIN, n, error)) {
            return false;
        }
        dds_qset_transport_priority(q, n);
        return true;
    }
    error = "is not a known policy";
    return false;
}

} // namespace peerkit
