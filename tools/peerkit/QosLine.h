// A data writer's or data reader's QoS written as one compact line, so that test peers and the
// demo can state exactly what they announce.
//
// Grammar (fields separated by ";", blanks around fields and values ignored, each policy at
// most once, policies not named keep the middleware's defaults):
//
//   text       := field { ";" field }
//   field      := name "=" value
//   reliability=best_effort | reliable[:<max_blocking>]       (max_blocking 0.1 s if not given)
//   durability=volatile | transient_local | transient | persistent
//   deadline=<duration>               latency=<duration>
//   lifespan=<duration>               timebasedfilter=<duration>
//   liveliness=automatic | manual_by_participant | manual_by_topic  [:<lease duration>]
//                                                             (lease inf if not given)
//   ownership=shared | exclusive[:<strength>]
//   destination=reception | source
//   presentation=instance | topic | group  [:coherent] [:ordered]
//   partition=<name>{"|"<name>}       e.g. partition=A|B gives the two partitions A and B
//   userdata=<text>  topicdata=<text>  groupdata=<text>     (the bytes of the text)
//   history=keep_last:<depth> | keep_all
//   transport_priority=<integer>      (a policy the builtin-topic records do not carry)
//   durability_service=<cleanup>:<keep_last|keep_all>:<depth>:<max_samples>:<max_instances>
//                      :<max_samples_per_instance>     (limits may be -1 for unlimited)
//   <duration> := seconds as a decimal number ("0.25", "3") or "inf"
//
// A backslash makes the next character literal, so "userdata=a\;b" gives the text "a;b" and
// "partition=x\|y" the single partition "x|y".
#pragma once

#include <dds/dds.h>

#include <memory>
#include <string>

namespace peerkit {

class QosLine
{
public:
    QosLine();

    // Replaces the held QoS by the one `text` describes. On a malformed text returns false,
    // leaves the held QoS empty and says what is wrong in `error`.
    bool parse(const std::string& text, std::string& error);

    // The policies set so far; never null.
    const dds_qos_t* qos() const { return m_qos.get(); }

private:
    bool parseField(const std::string& name, const std::string& value, std::string& error);

    std::unique_ptr<dds_qos_t, void (*)(dds_qos_t*)> m_qos;
};

} // namespace peerkit
