// A middleware double in the monitor's table with one participant that announces nothing (so
// it runs in the process shown with the defaults), its writer and its reader, and one query
// made to fail, for the tests of the failure lines.
#pragma once

#include "FakeParticipant.h"
#include "MonitorFixture.h"

#include <QString>
#include <mutex>
#include <string>

// `failing` names the failing query as FakeParticipant::Failures does ("participants",
// "publications", "publicationData", ...); any other text makes none fail.
inline FakeParticipant& addFailingDomain(MonitorFixture& fixture, uint32_t domainId,
                                         const QString& failing,
                                         const std::string& writerTopic = "F",
                                         const std::string& readerTopic = "F")
{
    std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
    FakeParticipant& fake = fixture.addDomainLocked(domainId);
    ZORVAN::ParticipantBuiltinTopicData p;
    p.key = FakeParticipant::key(0x01);
    fake.addParticipant(p);
    ZORVAN::PublicationBuiltinTopicData w;
    w.key = FakeParticipant::key(0x10);
    w.participant_key = p.key;
    w.topic_name = writerTopic;
    fake.addPublication(w);
    ZORVAN::SubscriptionBuiltinTopicData r;
    r.key = FakeParticipant::key(0x20);
    r.participant_key = p.key;
    r.topic_name = readerTopic;
    fake.addSubscription(r);
    FakeParticipant::Failures& f = fake.failures;
    f.participants = failing == QLatin1String("participants");
    f.participantData = failing == QLatin1String("participantData");
    f.publications = failing == QLatin1String("publications");
    f.publicationData = failing == QLatin1String("publicationData");
    f.subscriptions = failing == QLatin1String("subscriptions");
    f.subscriptionData = failing == QLatin1String("subscriptionData");
    return fake;
}
