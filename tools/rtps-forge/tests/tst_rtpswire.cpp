// rtps-forge's wire format without a DDS stack: the bytes of parameter lists and submessages,
// the reading of the peers' acknowledgements and announcements, the refusal to send anywhere
// but 127.0.0.1, and fragmentation.
#include "Announcement.h"
#include "CommandLine.h"
#include "DatagramBatch.h"
#include "IncomingMessage.h"
#include "LoopbackSocket.h"
#include "ParameterId.h"
#include "ParameterList.h"
#include "RtpsMessage.h"
#include "Scenario.h"
#include "SedpWriter.h"

#include <QtTest>
#include <map>
#include <random>
#include <set>

namespace {

QByteArray bytes(const std::string& s)
{
    return QByteArray(s.data(), int(s.size()));
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

const GuidPrefix ours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
const GuidPrefix theirs{0x01, 0x10, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff, 0, 1, 2, 3};

// A message from `theirs` naming `ours`, with `submessage` after INFO_DST.
std::string fromPeer(const QByteArray& submessage)
{
    RtpsMessage message(theirs);
    message.infoDestination(ours);
    message.raw(submessage.toStdString());
    return message.bytes();
}

} // namespace

class TestRtpsWire : public QObject
{
    Q_OBJECT

private slots:
    void parameterListBytes()
    {
        ParameterList list;
        list.addString(Pid::topicName, "ab");
        list.addProperties({{"n", "v"}});
        list.addLoopbackLocator(Pid::metatrafficUnicastLocator, 0x1234);
        QCOMPARE(bytes(list.finish()),
                 hex("00030000" // PL_CDR_LE
                     "05000800"
                     "03000000"
                     "61620000" // topic "ab"
                     "59001800"
                     "01000000" // one property
                     "02000000"
                     "6e000000"
                     "02000000"
                     "76000000"
                     "00000000"
                     "32001800"
                     "01000000"
                     "34120000"
                     "000000000000000000000000"
                     "7f000001"
                     "01000000")); // sentinel
        QCOMPARE(bytes(list.finish(false)).right(4), hex("7f000001"));
    }

    void valuesLongerThanAParameter()
    {
        const std::string value(70000, 'x');
        ParameterList refused;
        QVERIFY_EXCEPTION_THROWN(refused.add(Pid::userData, value), std::length_error);

        ParameterList wrapped(ParameterList::LongValue::Wrap);
        wrapped.add(Pid::userData, value);
        QCOMPARE(bytes(wrapped.finish()).mid(4, 4), hex("2c007011")); // 70000 & 0xffff

        ParameterList extended(ParameterList::LongValue::Extended);
        extended.add(Pid::userData, value);
        QCOMPARE(bytes(extended.finish()).mid(4, 12), hex("013f0800"
                                                          "2c000000"
                                                          "70110100"));
        QCOMPARE(extended.finish().size(), size_t(4 + 12 + 70000 + 4));
    }

    void dataAndHeartbeatBytes()
    {
        RtpsMessage message(ours);
        message.data(EntityId::sedpPublicationsReader, EntityId::sedpPublicationsWriter,
                     0x100000002LL, std::string(), std::string("\0\3\0\0", 4));
        message.heartbeat(EntityId::unknown, EntityId::sedpPublicationsWriter, 1, 7, 3, true);
        QCOMPARE(bytes(message.bytes()), hex("52545053"
                                             "02017f7f"
                                             "0102030405060708090a0b0c"
                                             "15051800"
                                             "00001000"
                                             "000003c7"
                                             "000003c2"
                                             "01000000"
                                             "02000000"
                                             "00030000"
                                             "07031c00"
                                             "00000000"
                                             "000003c2"
                                             "00000000"
                                             "01000000"
                                             "00000000"
                                             "07000000"
                                             "03000000"));
    }

    void gapBytes()
    {
        RtpsMessage message(ours);
        message.gap(EntityId::sedpPublicationsReader, EntityId::sedpPublicationsWriter,
                    0x100000002LL);
        QCOMPARE(bytes(message.bytes()).mid(RtpsMessage::headerSize), hex("08011c00"
                                                                          "000003c7"
                                                                          "000003c2"
                                                                          "01000000"
                                                                          "02000000"
                                                                          "01000000"
                                                                          "03000000"
                                                                          "00000000"));
    }

    // An endpoint announced again supersedes its earlier samples, a disposal included, and
    // counts once.
    void historyOfAnEndpointAnnouncedAgain()
    {
        SedpWriter writer(EntityId::sedpPublicationsWriter, EntityId::sedpPublicationsReader);
        const Guid first{ours, 0x102};
        const Guid second{ours, 0x202};
        writer.add(first, "a");
        writer.add(second, "b");
        QCOMPARE(writer.replace(first, "c", "dispose"), int64_t(4));
        QCOMPARE(writer.live(), int64_t(2));
        QVERIFY(writer.sample(1).superseded && writer.sample(1).payload.empty());
        QVERIFY(!writer.sample(2).superseded);
        QVERIFY(writer.sample(3).disposal && !writer.sample(3).superseded);
        QCOMPARE(writer.sample(3).payload, std::string("dispose"));
        QCOMPARE(writer.sample(4).payload, std::string("c"));
        QCOMPARE(writer.replace(first, "d"), int64_t(5));
        QVERIFY(writer.sample(3).superseded && writer.sample(4).superseded);
        QVERIFY(!writer.sample(5).disposal);
        QCOMPARE(writer.live(), int64_t(2));
        // Withdrawn: what it announced becomes GAPs, its disposal stays.
        QCOMPARE(writer.withdraw(second, "gone"), int64_t(6));
        QVERIFY(writer.sample(2).superseded);
        QVERIFY(writer.sample(6).disposal && !writer.sample(6).superseded);
        QCOMPARE(writer.live(), int64_t(1));
    }

    // The benchmark's system split over two forges: together they announce each participant
    // and endpoint of the plan once, under GUIDs of their own, with the plan's system
    // information and the QoS of each topic's shape on the wire.
    void systemScenarioPlaysTheBenchmarksPlan()
    {
        ForgeOptions options;
        options.scenario = "system";
        std::string error;
        QVERIFY(options.system.parse({"--participants", "7", "--writers", "13", "--readers", "11",
                                      "--topics", "5", "--processes", "2", "--hot-percent", "10"},
                                     error));
        std::map<std::string, std::pair<int, int>> byTopic; // writers, readers
        std::set<std::string> hosts;
        size_t participants = 0;
        AnnouncementContext context;
        for (uint32_t index = 0; index < 2; ++index) {
            options.system.processIndex = index;
            const Scenario built = Scenarios::build(options);
            QVERIFY(built.rawDatagrams.empty());
            std::set<uint32_t> entities;
            QCOMPARE(built.participants.size(),
                     size_t(options.system.lastParticipant() - options.system.firstParticipant()));
            uint32_t p = options.system.firstParticipant();
            for (const ParticipantPlan& plan : built.participants) {
                QCOMPARE(plan.properties.size(), LoadPlan::sysInfo(p).size());
                QCOMPARE(plan.properties[0].value, LoadPlan::sysInfo(p)[0].value);
                QCOMPARE(plan.properties[1].value, std::to_string(20000 + p));
                hosts.insert(plan.properties[0].value);
                ++participants;
                ++p;
                entities.clear();
                for (const EndpointPlan& endpoint : plan.endpoints) {
                    QVERIFY(entities.insert(endpoint.entityId).second);
                    QCOMPARE(int(endpoint.entityId & 0xff),
                             int(endpoint.writer ? EntityId::userWriterWithKey
                                                 : EntityId::userReaderWithKey));
                    auto& count = byTopic[endpoint.topic];
                    ++(endpoint.writer ? count.first : count.second);
                    const QByteArray wire =
                        bytes(Announcement::endpoint(plan.prefix, endpoint, context));
                    const uint32_t topic = uint32_t(std::stoul(endpoint.topic.substr(12)));
                    const uint32_t shape = LoadPlan::qosShape(topic, endpoint.writer);
                    // Parameter headers: deadline, liveliness, partition, destination order.
                    QCOMPARE(wire.contains(hex("23000800")), shape == 2);
                    QCOMPARE(wire.contains(hex("1b000c00")), shape == 2);
                    QCOMPARE(wire.contains(hex("29001c00")), shape == 3);
                    QCOMPARE(wire.contains(hex("25000400")), shape == 3);
                    // Reliability: reliable for writers and shape 1, best effort for the rest.
                    const bool reliable = shape == 1 || (endpoint.writer && shape != 2);
                    QVERIFY(wire.contains(hex(reliable ? "1a000c0002000000" : "1a000c0001000000")));
                }
            }
        }
        QCOMPARE(participants, size_t(7));
        QCOMPARE(hosts, (std::set<std::string>{"bench-host-000"}));
        // 10 % of 13 writers and of 11 readers: one each on the hot topic; 12 and 10 spread
        // over the four others.
        QCOMPARE(byTopic.size(), size_t(5));
        QCOMPARE(byTopic["bench/topic/00000"], std::make_pair(1, 1));
        int writers = 0;
        int readers = 0;
        for (const auto& topic : byTopic) {
            writers += topic.second.first;
            readers += topic.second.second;
        }
        QCOMPARE(writers, 13);
        QCOMPARE(readers, 11);
    }

    void acknowledgementsFromBitmaps_data()
    {
        QTest::addColumn<QByteArray>("submessage");
        QTest::addColumn<QVector<qlonglong>>("missing");
        // Base 5, 40 bits: offsets 0, 2 and 32 set; a bit past numBits is ignored.
        QTest::newRow("little endian") << hex("06012000"
                                              "000003c7"
                                              "000003c2"
                                              "00000000"
                                              "05000000"
                                              "28000000"
                                              "000000a0"
                                              "00002080"
                                              "09000000")
                                       << QVector<qlonglong>{5, 7, 37};
        QTest::newRow("big endian") << hex("06000020"
                                           "000003c7"
                                           "000003c2"
                                           "00000000"
                                           "00000005"
                                           "00000028"
                                           "a0000000"
                                           "80200000"
                                           "00000009")
                                    << QVector<qlonglong>{5, 7, 37};
        QTest::newRow("nothing missing") << hex("06011800"
                                                "000003c7"
                                                "000003c2"
                                                "00000000"
                                                "0b000000"
                                                "00000000"
                                                "01000000")
                                         << QVector<qlonglong>{};
    }

    void acknowledgementsFromBitmaps()
    {
        QFETCH(QByteArray, submessage);
        QFETCH(QVector<qlonglong>, missing);
        IncomingMessage message;
        QVERIFY(message.parse(fromPeer(submessage)));
        QCOMPARE(message.source, theirs);
        QCOMPARE(message.ackNacks.size(), size_t(1));
        const AckNack& ack = message.ackNacks.front();
        QCOMPARE(ack.destination, ours);
        QCOMPARE(ack.writer, EntityId::sedpPublicationsWriter);
        QCOMPARE(qlonglong(ack.base), missing.isEmpty() ? 11LL : 5LL);
        QCOMPARE(QVector<qlonglong>(ack.missing.begin(), ack.missing.end()), missing);
    }

    void fragmentRequests()
    {
        IncomingMessage message;
        QVERIFY(message.parse(fromPeer(hex("12012000"
                                           "000003c7"
                                           "000003c2"
                                           "00000000"
                                           "09000000"
                                           "03000000"
                                           "08000000"
                                           "00000040"
                                           "02000000"))));
        QCOMPARE(message.nackFrags.size(), size_t(1));
        QCOMPARE(message.nackFrags.front().sequence, int64_t(9));
        QCOMPARE(message.nackFrags.front().missing, std::vector<uint32_t>{4});
    }

    void peersAnnounceLoopbackLocatorsOnly()
    {
        AnnouncementContext context;
        context.locatorPort = 17411;
        ParticipantPlan plan;
        plan.prefix = theirs;
        RtpsMessage message(theirs);
        message.data(EntityId::spdpReader, EntityId::spdpWriter, 1,
                     Announcement::inlineQos(Guid{theirs, EntityId::participant}, false),
                     Announcement::participant(plan, context));
        IncomingMessage incoming;
        QVERIFY(incoming.parse(message.bytes()));
        QCOMPARE(incoming.peers.size(), size_t(1));
        QCOMPARE(incoming.peers.front().prefix, theirs);
        QCOMPARE(incoming.peers.front().metatrafficPorts, std::vector<uint32_t>{17411});

        ParameterList elsewhere;
        elsewhere.addGuid(Pid::participantGuid, Guid{theirs, EntityId::participant});
        elsewhere.add(Pid::metatrafficUnicastLocator, hex("01000000"
                                                          "00400000"
                                                          "000000000000000000000000"
                                                          "0a000001")
                                                          .toStdString());
        RtpsMessage remote(theirs);
        remote.data(EntityId::spdpReader, EntityId::spdpWriter, 1, std::string(),
                    elsewhere.finish());
        IncomingMessage ignored;
        QVERIFY(ignored.parse(remote.bytes()));
        QCOMPARE(ignored.peers.size(), size_t(1));
        QVERIFY(ignored.peers.front().metatrafficPorts.empty());
    }

    void cutMessagesAreReadSafely()
    {
        const std::string whole = fromPeer(hex("06012000"
                                               "000003c7"
                                               "000003c2"
                                               "00000000"
                                               "05000000"
                                               "28000000"
                                               "000000a0"
                                               "00002080"
                                               "09000000"));
        for (size_t length = 0; length < whole.size(); ++length) {
            IncomingMessage message;
            QCOMPARE(message.parse(whole.substr(0, length)), length >= 20);
            QVERIFY(message.ackNacks.empty());
        }
        IncomingMessage lying;
        QVERIFY(lying.parse(fromPeer(hex("0601ffff"
                                         "000003c7"))));
        QVERIFY(lying.ackNacks.empty());
    }

    void sendsToLoopbackOnly()
    {
        LoopbackSocket socket;
        QVERIFY(!socket.sendTo(0x08080808, 7410, "x"));
        QVERIFY(!socket.sendTo(0x7f000002, 7410, "x"));
        QVERIFY(!socket.send(0, "x"));
        QVERIFY(!socket.send(65536, "x"));
        QCOMPARE(socket.failedSends(), uint64_t(4));
        QCOMPARE(socket.sentDatagrams(), uint64_t(0));

        LoopbackSocket receiver;
        QVERIFY(socket.send(receiver.port(), "forged"));
        std::string datagram;
        QVERIFY(receiver.receive(datagram, 5000));
        QCOMPARE(datagram, std::string("forged"));
    }

    void largeSamplesTravelInFragments()
    {
        LoopbackSocket sender;
        LoopbackSocket receiver;
        std::string payload(5000, '\0');
        std::mt19937 random(7);
        for (char& c : payload) {
            c = char(random());
        }
        BatchLimits limits;
        limits.datagramBytes = 2000;
        limits.fragmentBytes = 512;
        {
            DatagramBatch batch(sender, ours, {receiver.port()}, limits);
            QVERIFY(batch.needsFragments(payload.size(), 0));
            batch.sample(EntityId::spdpReader, EntityId::spdpWriter, 3, std::string(), payload);
        }
        std::string assembled(payload.size(), '\0');
        std::string datagram;
        int fragments = 0;
        while (receiver.receive(datagram, 2000)) {
            // Header, INFO_TS, then the DATA_FRAG.
            QCOMPARE(int(uint8_t(datagram[32])), 0x16);
            const auto field = [&](size_t at, int size) {
                uint32_t v = 0;
                for (int i = size - 1; i >= 0; --i) {
                    v = (v << 8) | uint8_t(datagram[at + size_t(i)]);
                }
                return v;
            };
            const uint32_t number = field(56, 4);
            QCOMPARE(field(62, 2), 512u);
            QCOMPARE(field(64, 4), uint32_t(payload.size()));
            const size_t start = (number - 1) * 512;
            const std::string piece =
                datagram.substr(68, std::min<size_t>(512, payload.size() - start));
            assembled.replace(start, piece.size(), piece);
            if (++fragments == 10) {
                break;
            }
        }
        QCOMPARE(fragments, 10);
        QVERIFY(assembled == payload);
    }

    void scenariosFitTheirDatagrams_data()
    {
        QTest::addColumn<QString>("scenario");
        for (const Scenarios::Info& info : Scenarios::list()) {
            QTest::newRow(info.name) << QString::fromLatin1(info.name);
        }
    }

    void scenariosFitTheirDatagrams()
    {
        QFETCH(QString, scenario);
        ForgeOptions options;
        options.scenario = scenario.toStdString();
        options.count = 10;
        const Scenario built = Scenarios::build(options);
        QVERIFY(!built.participants.empty());
        // Everything but the malformed ones is meant to arrive unfragmented.
        AnnouncementContext context;
        const size_t room = DatagramBatch::payloadRoom(options.limits, 24);
        for (const ParticipantPlan& plan : built.participants) {
            QVERIFY(Announcement::participant(plan, context).size() <= room);
            for (const EndpointPlan& endpoint : plan.endpoints) {
                QVERIFY(Announcement::endpoint(plan.prefix, endpoint, context).size() <= room);
            }
        }
        const bool wellFormed = scenario == QLatin1String("basic") ||
                                scenario == QLatin1String("requalify") ||
                                scenario == QLatin1String("system");
        QCOMPARE(built.participants.back().label,
                 wellFormed ? scenario.toStdString() : std::string("canary"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("defaults") << QStringList{} << true;
        QTest::newRow("all") << QStringList{"--scenario", "huge", "--domain",   "231",
                                            "--indices",  "0-5",  "--duration", "3",
                                            "--long",     "wrap", "-v"}
                             << true;
        QTest::newRow("domain too high") << QStringList{"--domain", "232"} << false;
        QTest::newRow("indices reversed") << QStringList{"--indices", "5-3"} << false;
        QTest::newRow("negative count") << QStringList{"--count", "-1"} << false;
        QTest::newRow("unknown long mode") << QStringList{"--long", "cut"} << false;
        QTest::newRow("missing value") << QStringList{"--domain"} << false;
        QTest::newRow("unknown option") << QStringList{"--to", "10.0.0.1"} << false;
        QTest::newRow("changes") << QStringList{"--scenario", "requalify",
                                                "--commands", "--change-after",
                                                "2",          "--change-every",
                                                "3",          "--change-by",
                                                "update"}
                                 << true;
        QTest::newRow("change after zero") << QStringList{"--change-after", "0"} << false;
        QTest::newRow("unknown change mode") << QStringList{"--change-by", "dispose"} << false;
        QTest::newRow("system") << QStringList{"--scenario",    "system", "--participants",   "10",
                                               "--index",       "1",      "--processes",      "2",
                                               "--hot-percent", "1.5",    "--idle-heartbeat", "60"}
                                << true;
        QTest::newRow("index outside the processes")
            << QStringList{"--index", "2", "--processes", "2"} << false;
        QTest::newRow("no idle heartbeat") << QStringList{"--idle-heartbeat", "0"} << false;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, accepted);
        std::vector<QByteArray> storage{"rtps-forge"};
        for (const QString& a : arguments) {
            storage.push_back(a.toUtf8());
        }
        std::vector<char*> argv;
        for (QByteArray& a : storage) {
            argv.push_back(a.data());
        }
        ForgeOptions options;
        std::string error;
        const auto outcome = CommandLine::parse(int(argv.size()), argv.data(), options, error);
        QCOMPARE(outcome == CommandLine::Outcome::Run, accepted);
        QCOMPARE(error.empty(), accepted);
    }
};

QTEST_APPLESS_MAIN(TestRtpsWire)
#include "tst_rtpswire.moc"
