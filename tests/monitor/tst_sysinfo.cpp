// Reading where a participant runs from the properties it announces.
#include "ParticipantSysInfo.h"

#include <QTextCodec>
#include <QtTest>

using ZORVAN::ParticipantBuiltinTopicData;
using ZORVAN::Property_t;

namespace {

ParticipantBuiltinTopicData
withProperties(const std::vector<std::pair<std::string, std::string>>& props)
{
    ParticipantBuiltinTopicData data;
    for (const auto& p : props) {
        Property_t property;
        property.name = p.first;
        property.value = p.second;
        data.property.value.push_back(property);
    }
    return data;
}

ParticipantSysInfo read(const ParticipantBuiltinTopicData& data)
{
    ParticipantSysInfo info;
    readSysInfo(data, info);
    return info;
}

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWhenNothingIsAnnounced()
    {
        ParticipantBuiltinTopicData data;
        data.key.value[0] = 0xab;
        data.key.value[15] = 0x01;
        data.user_data.value = {'u', 0, 'd'};
        data.property.value.push_back({"__Hostname", "other-tool-host", true});
        const ParticipantSysInfo info = read(data);
        QCOMPARE(info.hostName, std::string("RodedUZI"));
        QCOMPARE(info.pid, 1u);
        QCOMPARE(info.ips, std::string("127.0.0.1"));
        QCOMPARE(info.processName, std::string("/path/to/exe"));
        QCOMPARE(info.executablePath, std::string("Other"));
        QCOMPARE(info.userName, std::string("OtherUser"));
        QCOMPARE(info.target, std::string("target"));
        QVERIFY(info.creationTimestamp.empty());
        QVERIFY(info.executionTimestamp.empty());
        QCOMPARE(int(info.key[0]), 0xab);
        QCOMPARE(int(info.key[15]), 0x01);
        QCOMPARE(info.userData, (std::vector<uint8_t>{'u', 0, 'd'}));
    }

    void everyField()
    {
        const ParticipantSysInfo info = read(withProperties({
            {"dds.sys_info.hostname", "radar-01"},
            {"dds.sys_info.process_id", "4242"},
            {"dds.sys_info.username", "ops"},
            {"dds.sys_info.executable_filepath", "/opt/radar/bin/tracker"},
            {"dds.sys_info.target", "x86_64-linux"},
            {"dds.sys_info.creation_timestamp", "2026-12-07 05:00:00"},
            {"dds.sys_info.execution_timestamp", "2026-12-07 04:59:58"},
            {"dds.sys_info.unknown", "ignored"},
        }));
        QCOMPARE(info.hostName, std::string("radar-01"));
        QCOMPARE(info.pid, 4242u);
        QCOMPARE(info.userName, std::string("ops"));
        QCOMPARE(info.executablePath, std::string("/opt/radar/bin/tracker"));
        QCOMPARE(info.processName, std::string("tracker"));
        QCOMPARE(info.target, std::string("x86_64-linux"));
        QCOMPARE(info.creationTimestamp, std::string("2026-12-07 05:00:00"));
        QCOMPARE(info.executionTimestamp, std::string("2026-12-07 04:59:58"));
        QCOMPARE(info.ips, std::string("127.0.0.1"));
    }

    void ipAccumulation_data()
    {
        QTest::addColumn<QStringList>("ips");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << QStringList{"10.0.0.1"} << "10.0.0.1";
        QTest::newRow("two in order") << QStringList{"10.0.0.1", "10.0.0.2"} << "10.0.0.1,10.0.0.2";
        QTest::newRow("announced loopback first is kept")
            << QStringList{"127.0.0.1", "10.0.0.1"} << "127.0.0.1,10.0.0.1";
        QTest::newRow("announced loopback twice")
            << QStringList{"127.0.0.1", "127.0.0.1"} << "127.0.0.1,127.0.0.1";
        QTest::newRow("loopback later is kept")
            << QStringList{"10.0.0.1", "127.0.0.1"} << "10.0.0.1,127.0.0.1";
        QTest::newRow("empty first value is replaced") << QStringList{"", "10.0.0.3"} << "10.0.0.3";
    }

    void ipAccumulation()
    {
        QFETCH(QStringList, ips);
        QFETCH(QString, expected);
        std::vector<std::pair<std::string, std::string>> props;
        for (const QString& ip : ips) {
            props.push_back({"dds.sys_info.ip", ip.toStdString()});
        }
        QCOMPARE(QString::fromStdString(read(withProperties(props)).ips), expected);
    }

    void processNameFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("processName");
        QTest::newRow("absolute") << "/usr/bin/app"
                                  << "app";
        QTest::newRow("bare name") << "app"
                                   << "app";
        QTest::newRow("trailing slash") << "/opt/x/"
                                        << "";
        QTest::newRow("relative") << "bin/tool"
                                  << "tool";
        QTest::newRow("windows path has no slash") << "C:\\Tools\\gw.exe"
                                                   << "C:\\Tools\\gw.exe";
    }

    void processNameFromPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, processName);
        const ParticipantSysInfo info =
            read(withProperties({{"dds.sys_info.executable_filepath", path.toStdString()}}));
        QCOMPARE(QString::fromStdString(info.processName), processName);
        QCOMPARE(QString::fromStdString(info.executablePath), path);
    }

    void processId_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("pid");
        QTest::newRow("plain") << "123" << 123u;
        QTest::newRow("leading blanks and plus") << "  +77" << 77u;
        QTest::newRow("stops at first non-digit") << "42abc" << 42u;
        QTest::newRow("2^32+1 keeps low 32 bits") << "4294967297" << 1u;
        QTest::newRow("2^32-1") << "4294967295" << 4294967295u;
        QTest::newRow("minus one wraps as the standard conversion does") << "-1" << 4294967295u;
        QTest::newRow("not a number keeps default") << "abc" << 1u;
        QTest::newRow("empty keeps default") << "" << 1u;
        QTest::newRow("beyond 64 bits keeps default") << "18446744073709551616" << 1u;
    }

    void processId()
    {
        QFETCH(QString, text);
        QFETCH(uint, pid);
        const ParticipantSysInfo info =
            read(withProperties({{"dds.sys_info.process_id", text.toStdString()}}));
        QCOMPARE(info.pid, uint32_t(pid));
    }

    void unusablePidKeepsEarlierValue()
    {
        const ParticipantSysInfo info = read(
            withProperties({{"dds.sys_info.process_id", "300"}, {"dds.sys_info.process_id", "x"}}));
        QCOMPARE(info.pid, 300u);
    }

    void laterPropertyOverwrites()
    {
        const ParticipantSysInfo info =
            read(withProperties({{"dds.sys_info.hostname", "a"}, {"dds.sys_info.hostname", "b"}}));
        QCOMPARE(info.hostName, std::string("b"));
    }

    void namesAreCaseSensitive()
    {
        const ParticipantSysInfo info = read(withProperties({{"DDS.SYS_INFO.HOSTNAME", "upper"}}));
        QCOMPARE(info.hostName, std::string("RodedUZI"));
    }

    void gbkUserName()
    {
        QTextCodec* gbk = QTextCodec::codecForName("GBK");
        if (!gbk) {
            QSKIP("no GBK codec on this platform");
        }
        const QString name = QString::fromUtf8("张三");
        const QByteArray gbkBytes = gbk->fromUnicode(name);
        QVERIFY(QString::fromUtf8(gbkBytes) != name); // not valid UTF-8
        const ParticipantSysInfo info =
            read(withProperties({{"dds.sys_info.username",
                                  std::string(gbkBytes.constData(), size_t(gbkBytes.size()))}}));
        QCOMPARE(QString::fromStdString(info.userName), name);
    }

    void toUtf8Text_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii unchanged") << QByteArray("operator") << "operator";
        QTest::newRow("utf-8 unchanged")
            << QString::fromUtf8("操作员").toUtf8() << QString::fromUtf8("操作员");
        QTest::newRow("stops at zero byte") << QByteArray("ab\0cd", 5) << "ab";
        QTest::newRow("empty") << QByteArray() << "";
    }

    void toUtf8Text()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const std::string out = ::toUtf8Text(bytes.constData(), size_t(bytes.size()));
        QCOMPARE(QString::fromStdString(out), expected);
    }

    void invalidUtf8AlwaysComesOutValid()
    {
        const QByteArray bytes("\xff\xfe\x80", 3);
        const std::string out = ::toUtf8Text(bytes.constData(), size_t(bytes.size()));
        QVERIFY(!out.empty());
        QCOMPARE(QString::fromUtf8(out.data(), int(out.size())).toUtf8(),
                 QByteArray(out.data(), int(out.size())));
    }
};

QTEST_APPLESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
