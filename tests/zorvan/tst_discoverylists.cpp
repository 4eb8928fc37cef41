// The discovery lists of the layer against Cyclone entities this test creates in its own
// process: what is listed, in which order, what leaves, and what is refused.
#include "LayerTest.h"
#include "TestEnv.h"

#include <atomic>
#include <thread>

using namespace ZORVAN;
using namespace LayerTest;

namespace {

// A participant of some other factory, which the layer's factory must not delete.
class ForeignParticipant : public DomainParticipant
{
public:
    ReturnCode_t delete_contained_entities() override { return RETCODE_OK; }
    DomainId_t get_domain_id() const override { return 0; }
    const InstanceHandle_t& get_instance_handle() const override { return m_handle; }
    ReturnCode_t get_discovered_participants(InstanceHandleSeq&) override { return RETCODE_OK; }
    ReturnCode_t get_discovered_participant_data(ParticipantBuiltinTopicData&,
                                                 const InstanceHandle_t&) override
    {
        return RETCODE_ERROR;
    }
    ReturnCode_t get_publications(InstanceHandleSeq&, bool) override { return RETCODE_OK; }
    ReturnCode_t get_publication_data(PublicationBuiltinTopicData&,
                                      const InstanceHandle_t&) override
    {
        return RETCODE_ERROR;
    }
    ReturnCode_t get_subscriptions(InstanceHandleSeq&, bool) override { return RETCODE_OK; }
    ReturnCode_t get_subscription_data(SubscriptionBuiltinTopicData&,
                                       const InstanceHandle_t&) override
    {
        return RETCODE_ERROR;
    }

private:
    InstanceHandle_t m_handle;
};

} // namespace

Q_DECLARE_METATYPE(InstanceHandle_t)

class TestDiscoveryLists : public QObject
{
    Q_OBJECT

private slots:
    void includeContainedEntities()
    {
        const uint32_t domain = TestEnv::domain(0);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        Entity peer(dds_create_participant(domain, nullptr, nullptr));
        const dds_entity_t topic = createTopic(peer.get(), "contained");
        const dds_entity_t writer = dds_create_writer(peer.get(), topic, nullptr, nullptr);
        const dds_entity_t reader = dds_create_reader(peer.get(), topic, nullptr, nullptr);
        QVERIFY(writer > 0 && reader > 0);

        QTRY_VERIFY_WITH_TIMEOUT(contains(publications(*layer, true), handleOf(writer)), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(contains(subscriptions(*layer, true), handleOf(reader)), kTimeout);
        // The layer's own builtin-topic readers are no application's subscriptions.
        QCOMPARE(subscriptions(*layer, true).size(), size_t(1));
        // Every endpoint here belongs to this process.
        InstanceHandleSeq list{InstanceHandle_t{}};
        QCOMPARE(layer->get_publications(list, false), RETCODE_OK);
        QVERIFY(list.empty());
        list.push_back(InstanceHandle_t{});
        QCOMPARE(layer->get_subscriptions(list, false), RETCODE_OK);
        QVERIFY(list.empty());
    }

    void deletedEntitiesLeaveTheLists()
    {
        const uint32_t domain = TestEnv::domain(1);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        Entity peer(dds_create_participant(domain, nullptr, nullptr));
        const dds_entity_t topic = createTopic(peer.get(), "leaving");
        Entity writer(dds_create_writer(peer.get(), topic, nullptr, nullptr));
        const dds_entity_t reader = dds_create_reader(peer.get(), topic, nullptr, nullptr);
        QVERIFY(writer.get() > 0 && reader > 0);
        const InstanceHandle_t peerHandle = handleOf(peer.get());
        const InstanceHandle_t writerHandle = handleOf(writer.get());
        const InstanceHandle_t readerHandle = handleOf(reader);
        QTRY_VERIFY_WITH_TIMEOUT(contains(publications(*layer), writerHandle) &&
                                     contains(subscriptions(*layer), readerHandle) &&
                                     contains(participants(*layer), peerHandle),
                                 kTimeout);

        writer.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!contains(publications(*layer), writerHandle), kTimeout);
        PublicationBuiltinTopicData gone;
        QCOMPARE(layer->get_publication_data(gone, writerHandle), RETCODE_BAD_PARAMETER);
        QVERIFY(contains(subscriptions(*layer), readerHandle));

        peer.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!contains(participants(*layer), peerHandle), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!contains(subscriptions(*layer), readerHandle), kTimeout);
        ParticipantBuiltinTopicData goneParticipant;
        QCOMPARE(layer->get_discovered_participant_data(goneParticipant, peerHandle),
                 RETCODE_BAD_PARAMETER);
        QVERIFY(contains(participants(*layer), layer->get_instance_handle()));
    }

    // More writers than one take returns, created one after another: listed in that order,
    // the order survives removals, and all of them leave again.
    void listKeepsFirstSeenOrder()
    {
        const uint32_t domain = TestEnv::domain(2);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        Entity peer(dds_create_participant(domain, nullptr, nullptr));
        const dds_entity_t topic = createTopic(peer.get(), "ordered");
        InstanceHandleSeq created;
        std::vector<dds_entity_t> writers;
        for (int i = 0; i < 600; ++i) {
            writers.push_back(dds_create_writer(peer.get(), topic, nullptr, nullptr));
            QVERIFY(writers.back() > 0);
            created.push_back(handleOf(writers.back()));
            if (i % 100 == 0) {
                // Seen one at a time now and then, so the order is not only Cyclone's.
                QTRY_VERIFY_WITH_TIMEOUT(contains(publications(*layer), created.back()), kTimeout);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(publications(*layer).size(), created.size(), kTimeout);
        const InstanceHandleSeq first = publications(*layer);
        for (size_t i = 0; i < 600; i += 100) {
            const auto at = std::find(first.begin(), first.end(), created[i]);
            QVERIFY(at != first.end());
            if (i > 0) {
                const auto before = std::find(first.begin(), first.end(), created[i - 100]);
                QVERIFY(before < at);
            }
        }
        QVERIFY(publications(*layer) == first);

        // Two of three leave, enough for the table to squeeze out the gaps.
        for (size_t i = 0; i < writers.size(); ++i) {
            if (i % 3 != 2) {
                dds_delete(writers[i]);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(publications(*layer).size(), created.size() / 3, kTimeout);
        InstanceHandleSeq survivors;
        for (const InstanceHandle_t& handle : first) {
            const size_t index =
                size_t(std::find(created.begin(), created.end(), handle) - created.begin());
            if (index % 3 == 2) {
                survivors.push_back(handle);
            }
        }
        QVERIFY(publications(*layer) == survivors);

        peer.reset();
        QTRY_VERIFY_WITH_TIMEOUT(publications(*layer).empty(), kTimeout);
    }

    void unknownHandlesAreRefused_data()
    {
        QTest::addColumn<InstanceHandle_t>("handle");
        QTest::addColumn<int>("kind"); // 0 participant, 1 publication, 2 subscription

        InstanceHandle_t unknown;
        std::memset(unknown.value, 0x5a, 16);
        unknown.isValid = 1;
        InstanceHandle_t notValid = unknown;
        notValid.isValid = 0;
        InstanceHandle_t shortHandle = unknown;
        shortHandle.length = 8;
        const char* kinds[] = {"participant", "publication", "subscription"};
        for (int kind = 0; kind < 3; ++kind) {
            QTest::addRow("unknown %s", kinds[kind]) << unknown << kind;
            QTest::addRow("not valid %s", kinds[kind]) << notValid << kind;
            QTest::addRow("short %s", kinds[kind]) << shortHandle << kind;
        }
    }

    void unknownHandlesAreRefused()
    {
        QFETCH(InstanceHandle_t, handle);
        QFETCH(int, kind);
        LayerParticipant layer = createLayer(TestEnv::domain(3));
        QVERIFY(layer);
        ParticipantBuiltinTopicData participant;
        PublicationBuiltinTopicData publication;
        SubscriptionBuiltinTopicData subscription;
        const ReturnCode_t code = kind == 0
                                      ? layer->get_discovered_participant_data(participant, handle)
                                  : kind == 1 ? layer->get_publication_data(publication, handle)
                                              : layer->get_subscription_data(subscription, handle);
        QCOMPARE(code, RETCODE_BAD_PARAMETER);
    }

    void handleOfOtherKindIsRefused()
    {
        const uint32_t domain = TestEnv::domain(3);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        Entity peer(dds_create_participant(domain, nullptr, nullptr));
        const dds_entity_t writer =
            dds_create_writer(peer.get(), createTopic(peer.get(), "kinds"), nullptr, nullptr);
        QVERIFY(writer > 0);
        QTRY_VERIFY_WITH_TIMEOUT(contains(publications(*layer), handleOf(writer)), kTimeout);

        SubscriptionBuiltinTopicData subscription;
        QCOMPARE(layer->get_subscription_data(subscription, handleOf(writer)),
                 RETCODE_BAD_PARAMETER);
        PublicationBuiltinTopicData publication;
        QCOMPARE(layer->get_publication_data(publication, layer->get_instance_handle()),
                 RETCODE_BAD_PARAMETER);
    }

    void unusableDomainGivesNoParticipant_data()
    {
        QTest::addColumn<uint>("domain");
        QTest::newRow("300") << 300u;
        QTest::newRow("Cyclone's default-domain marker") << uint(DDS_DOMAIN_DEFAULT);
    }

    void unusableDomainGivesNoParticipant()
    {
        QFETCH(uint, domain);
        DomainParticipantFactory* factory = DomainParticipantFactory::get_instance();
        QVERIFY(factory->create_participant(domain, PARTICIPANT_QOS_DEFAULT, nullptr, 0) ==
                nullptr);
        // The factory is still usable afterwards.
        QVERIFY(createLayer(TestEnv::domain(4)) != nullptr);
    }

    void deletion()
    {
        DomainParticipantFactory* factory = DomainParticipantFactory::get_instance();
        QCOMPARE(factory->delete_participant(nullptr), RETCODE_BAD_PARAMETER);
        ForeignParticipant foreign;
        QCOMPARE(factory->delete_participant(&foreign), RETCODE_BAD_PARAMETER);

        DomainParticipant* participant =
            factory->create_participant(TestEnv::domain(4), PARTICIPANT_QOS_DEFAULT, nullptr, 0);
        QVERIFY(participant);
        QCOMPARE(participant->delete_contained_entities(), RETCODE_OK);
        InstanceHandleSeq list;
        QVERIFY(participant->get_discovered_participants(list) != RETCODE_OK);
        QVERIFY(participant->get_publications(list, true) != RETCODE_OK);
        QVERIFY(participant->get_subscriptions(list, true) != RETCODE_OK);
        QCOMPARE(participant->delete_contained_entities(), RETCODE_OK);
        QCOMPARE(factory->delete_participant(participant), RETCODE_OK);
    }

    // The layer guards itself: queries from several threads while entities come and go
    // never fail other than for a handle that has just left.
    void concurrentQueries()
    {
        const uint32_t domain = TestEnv::domain(5);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        Entity peer(dds_create_participant(domain, nullptr, nullptr));
        const dds_entity_t topic = createTopic(peer.get(), "busy");
        std::atomic<bool> stop{false};
        std::atomic<int> unexpected{0};
        std::atomic<int> found{0};
        auto query = [&] {
            while (!stop) {
                InstanceHandleSeq list;
                if (layer->get_publications(list, true) != RETCODE_OK) {
                    ++unexpected;
                }
                for (const InstanceHandle_t& handle : list) {
                    PublicationBuiltinTopicData data;
                    const ReturnCode_t code = layer->get_publication_data(data, handle);
                    if (code == RETCODE_OK) {
                        ++found;
                    } else if (code != RETCODE_BAD_PARAMETER) {
                        ++unexpected;
                    }
                }
            }
        };
        std::thread first(query);
        std::thread second(query);
        for (int round = 0; round < 50; ++round) {
            dds_entity_t writers[5];
            for (dds_entity_t& writer : writers) {
                writer = dds_create_writer(peer.get(), topic, nullptr, nullptr);
            }
            for (dds_entity_t writer : writers) {
                dds_delete(writer);
            }
        }
        Entity steady(dds_create_writer(peer.get(), topic, nullptr, nullptr));
        QTRY_VERIFY_WITH_TIMEOUT(found > 0, kTimeout);
        stop = true;
        first.join();
        second.join();
        QCOMPARE(unexpected.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDiscoveryLists)
#include "tst_discoverylists.moc"
