#include "FailureLine.h"

#include <cstdio>

namespace FailureLine {

const char* text(DiscoveryQuery query)
{
    switch (query) {
    case DiscoveryQuery::Participants:
        return "get_discovered_participants failed";
    case DiscoveryQuery::ParticipantData:
        return "get_discovered_participant_data failed";
    case DiscoveryQuery::Publications:
        return "get_publications failed";
    case DiscoveryQuery::PublicationData:
        return "get_publication_data failed";
    case DiscoveryQuery::Subscriptions:
        return "get_subscriptions failed";
    case DiscoveryQuery::SubscriptionData:
        return "get_subscription_data failed";
    }
    return "";
}

void print(DiscoveryQuery query)
{
    std::fputs(text(query), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace FailureLine
