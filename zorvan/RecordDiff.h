// Which policies differ between two records of the same discovered entity: the stored one and
// the one a new sample brings. The result is a set of bits, one per DDS policy name.
#pragma once

#include "BuiltinTopicData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ZORVAN {

class RecordDiff
{
public:
    using Policies = uint32_t;

    static Policies between(const ParticipantBuiltinTopicData& stored,
                            const ParticipantBuiltinTopicData& fresh);
    static Policies between(const PublicationBuiltinTopicData& stored,
                            const PublicationBuiltinTopicData& fresh);
    static Policies between(const SubscriptionBuiltinTopicData& stored,
                            const SubscriptionBuiltinTopicData& fresh);

    // The DDS names of the policies in `policies`, in the order of the records.
    static std::vector<std::string> names(Policies policies);
};

} // namespace ZORVAN
