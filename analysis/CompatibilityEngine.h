// Judges a data writer against a data reader under the request-offered rules, as Cyclone DDS
// matches them: the same domain, topic name and type name, every QoS policy the writer offers
// at least what the reader requests, and a partition in common. One engine for the match
// panel, the problems list and the command line.
//
// check() gives the broken rules only: no allocation, cheap enough for every pair of a topic
// with a thousand writers and a thousand readers. judge() adds the reasons with their texts.
// Both depend on their arguments alone and may be called from any thread.
#pragma once

#include "BuiltinTopicData.h"
#include "CompatibilityKey.h"
#include "QosRule.h"
#include "Verdict.h"

#include <cstdint>

class CompatibilityEngine
{
public:
    static QosRuleSet check(const CompatibilityKey& writer, const CompatibilityKey& reader);
    static QosRuleSet check(uint32_t writerDomain,
                            const ZORVAN::PublicationBuiltinTopicData& writer,
                            uint32_t readerDomain,
                            const ZORVAN::SubscriptionBuiltinTopicData& reader);

    static Verdict judge(const CompatibilityKey& writer, const CompatibilityKey& reader);
    static Verdict judge(uint32_t writerDomain, const ZORVAN::PublicationBuiltinTopicData& writer,
                         uint32_t readerDomain, const ZORVAN::SubscriptionBuiltinTopicData& reader);

    // A duration in nanoseconds for comparing; the infinite duration (sec 0x7fffffff with
    // nanosec 0x7fffffff, or 0xffffffff as on the wire) is larger than every finite one.
    static int64_t nanoseconds(const ZORVAN::Duration_t& duration);
};
