// What a participant of the layer announces about this process, as another participant of
// the layer sees it, and how the caller's own participant QoS reaches the network.
#include "LayerTest.h"
#include "ParticipantSysInfo.h"
#include "TestEnv.h"

#include <QtTest>

#include <arpa/inet.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

using namespace ZORVAN;
using namespace LayerTest;

namespace {

bool lists(DomainParticipant& observer, const InstanceHandle_t& handle)
{
    InstanceHandleSeq list;
    return observer.get_discovered_participants(list) == RETCODE_OK &&
           std::find(list.begin(), list.end(), handle) != list.end();
}

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

QDateTime utc(const std::string& value)
{
    return QDateTime::fromString(text(value), Qt::ISODateWithMs);
}

// Deletes its participant while the process exits, after main has returned.
struct ExitTimeOwner
{
    DomainParticipant* participant = nullptr;
    ~ExitTimeOwner()
    {
        if (participant != nullptr) {
            participant->delete_contained_entities();
            DomainParticipantFactory::get_instance()->delete_participant(participant);
        }
    }
};

} // namespace

class TestAnnouncement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_started = QDateTime::currentDateTimeUtc(); }

    void systemInformation()
    {
        const uint32_t domain = TestEnv::domain(0);
        const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
        LayerParticipant announcer = createLayer(domain);
        const QDateTime after = QDateTime::currentDateTimeUtc().addMSecs(1);
        LayerParticipant observer = createLayer(domain);
        QVERIFY(announcer && observer);
        const InstanceHandle_t handle = announcer->get_instance_handle();
        QTRY_VERIFY_WITH_TIMEOUT(lists(*observer, handle), kTimeout);

        ParticipantBuiltinTopicData data;
        QCOMPARE(observer->get_discovered_participant_data(data, handle), RETCODE_OK);
        const std::vector<Property_t>& p = data.property.value;

        const std::vector<std::string> fixedNames{"__ProcessName",
                                                  "__Pid",
                                                  "__Hostname",
                                                  "dds.sys_info.hostname",
                                                  "dds.sys_info.process_id",
                                                  "dds.sys_info.username",
                                                  "dds.sys_info.executable_filepath",
                                                  "dds.sys_info.target",
                                                  "dds.sys_info.creation_timestamp",
                                                  "dds.sys_info.execution_timestamp"};
        QVERIFY(p.size() > fixedNames.size());
        for (size_t i = 0; i < fixedNames.size(); ++i) {
            QCOMPARE(p[i].name, fixedNames[i]);
            QVERIFY(p[i].propagate);
        }
        QStringList ips;
        size_t i = fixedNames.size();
        for (; i < p.size() && p[i].name == "dds.sys_info.ip"; ++i) {
            ips << text(p[i].value);
        }
        // Only what Cyclone adds itself may follow the addresses.
        for (; i < p.size(); ++i) {
            QVERIFY2(p[i].name.rfind("__", 0) == 0, p[i].name.c_str());
        }

        const QString host = QSysInfo::machineHostName();
        const QString pid = QString::number(QCoreApplication::applicationPid());
        const passwd* user = getpwuid(geteuid());
        QVERIFY(user != nullptr);
        utsname machine{};
        QCOMPARE(uname(&machine), 0);
        const QString exe = QCoreApplication::applicationFilePath();

        QCOMPARE(text(p[0].value), QFileInfo(QCoreApplication::arguments().first()).fileName());
        QCOMPARE(text(p[1].value), pid);
        QCOMPARE(text(p[2].value), host);
        QCOMPARE(text(p[3].value), host);
        QCOMPARE(text(p[4].value), pid);
        QCOMPARE(text(p[5].value), QString::fromLocal8Bit(user->pw_name));
        QCOMPARE(text(p[6].value), exe);
        QCOMPARE(text(p[7].value), QString::fromLatin1(machine.machine) + "-linux");

        const QDateTime created = utc(p[8].value);
        QVERIFY2(created.isValid(), p[8].value.c_str());
        QCOMPARE(created.timeSpec(), Qt::UTC);
        QVERIFY(before <= created && created <= after);
        const QDateTime started = utc(p[9].value);
        QVERIFY2(started.isValid(), p[9].value.c_str());
        QVERIFY(started <= created);
        // The process started before this test case, and not long before.
        QVERIFY(started <= m_started.addSecs(1));
        QVERIFY(started >= m_started.addSecs(-600));

        QVERIFY(!ips.isEmpty());
        QCOMPARE(ips.first(), QStringLiteral("127.0.0.1"));
        QCOMPARE(ips.removeDuplicates(), 0);
        for (const QString& ip : ips) {
            in_addr address{};
            QVERIFY2(inet_pton(AF_INET, ip.toLatin1().constData(), &address) == 1, qPrintable(ip));
        }

        // What the physical view makes of it: the host is known by every address it
        // announces, loopback included.
        ParticipantSysInfo info;
        readSysInfo(data, info);
        QCOMPARE(text(info.hostName), host);
        QCOMPARE(info.pid, uint32_t(QCoreApplication::applicationPid()));
        QCOMPARE(text(info.processName), QFileInfo(exe).fileName());
        QCOMPARE(text(info.ips), ips.join(QLatin1Char(',')));
    }

    void callerQosComesFirst()
    {
        const uint32_t domain = TestEnv::domain(1);
        DomainParticipantQos qos;
        qos.user_data.value = {0, 0xff, 7};
        qos.property.value = {{"app.role", "server", true},
                              {"dds.sys_info.hostname", "chosen-name", true},
                              {"local.only", "x", false}};
        LayerParticipant announcer = createLayer(domain, qos);
        LayerParticipant observer = createLayer(domain);
        QVERIFY(announcer && observer);
        QTRY_VERIFY_WITH_TIMEOUT(lists(*observer, announcer->get_instance_handle()), kTimeout);

        ParticipantBuiltinTopicData data;
        QCOMPARE(observer->get_discovered_participant_data(data, announcer->get_instance_handle()),
                 RETCODE_OK);
        QCOMPARE(data.user_data.value, (OctetSeq{0, 0xff, 7}));
        const std::vector<Property_t>& p = data.property.value;
        QVERIFY(p.size() > 3);
        for (size_t i = 0; i < 3; ++i) {
            QCOMPARE(p[i].name, qos.property.value[i].name);
            QCOMPARE(p[i].value, qos.property.value[i].value);
            QCOMPARE(p[i].propagate, qos.property.value[i].propagate);
        }
        // The caller's host name replaces the announced one instead of joining it.
        const auto hostNames = std::count_if(p.begin(), p.end(), [](const Property_t& property) {
            return property.name == "dds.sys_info.hostname";
        });
        QCOMPARE(hostNames, 1);
        QVERIFY(std::any_of(p.begin(), p.end(), [](const Property_t& property) {
            return property.name == "dds.sys_info.process_id";
        }));
    }

    void oversizedAnnouncementIsRefused_data()
    {
        QTest::addColumn<int>("propertyBytes");
        QTest::addColumn<int>("userDataBytes");
        QTest::newRow("property of 70000 bytes") << 70000 << 0;
        QTest::newRow("user data of 70000 bytes") << 0 << 70000;
        QTest::newRow("both 40000 bytes") << 40000 << 40000;
    }

    void oversizedAnnouncementIsRefused()
    {
        QFETCH(int, propertyBytes);
        QFETCH(int, userDataBytes);
        DomainParticipantQos qos;
        if (propertyBytes > 0) {
            qos.property.value.push_back({"big", std::string(size_t(propertyBytes), 'x'), true});
        }
        qos.user_data.value.assign(size_t(userDataBytes), 1);
        QVERIFY(createLayer(TestEnv::domain(2), qos) == nullptr);
        QVERIFY(createLayer(TestEnv::domain(2)) != nullptr);
    }

    // The monitor deletes the participants it still holds from an exit-time destructor;
    // the factory and Cyclone must still be there then. A crash fails the test run.
    void participantDeletedAtExit()
    {
        static ExitTimeOwner owner;
        owner.participant = DomainParticipantFactory::get_instance()->create_participant(
            TestEnv::domain(2), PARTICIPANT_QOS_DEFAULT, nullptr, 0);
        QVERIFY(owner.participant != nullptr);
    }

private:
    QDateTime m_started;
};

QTEST_GUILESS_MAIN(TestAnnouncement)
#include "tst_announcement.moc"
