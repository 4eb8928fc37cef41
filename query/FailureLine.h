// The lines a failed discovery query writes to standard output: one table for every walk over
// the watched domains, so that each query reports its failure in the same words everywhere.
#pragma once

// A discovery query of a domain participant that can fail.
enum class DiscoveryQuery
{
    Participants,     // get_discovered_participants
    ParticipantData,  // get_discovered_participant_data
    Publications,     // get_publications
    PublicationData,  // get_publication_data
    Subscriptions,    // get_subscriptions
    SubscriptionData, // get_subscription_data
};

namespace FailureLine {

// The query's line, without the newline.
const char* text(DiscoveryQuery query);

// Writes the query's line and a newline to standard output and flushes, so the line is out
// before the caller goes on with what it has.
void print(DiscoveryQuery query);

} // namespace FailureLine
