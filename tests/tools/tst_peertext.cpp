// The compact QoS and system-information texts of the peer tools: what well-formed texts set,
// and that malformed ones are refused with a message.
#include "peerkit/QosLine.h"
#include "peerkit/SysInfoLine.h"

#include <QtTest>

namespace {

QString durationText(dds_duration_t d)
{
    return d == DDS_INFINITY ? QStringLiteral("inf") : QString::number(d);
}

// One policy of `qos` as "value[:value...]", or "unset".
QString describe(const dds_qos_t* qos, const QString& policy)
{
    const QString unset = QStringLiteral("unset");
    dds_duration_t d = 0;
    if (policy == QLatin1String("reliability")) {
        dds_reliability_kind_t kind;
        if (!dds_qget_reliability(qos, &kind, &d)) {
            return unset;
        }
        return (kind == DDS_RELIABILITY_RELIABLE ? QStringLiteral("reliable:")
                                                 : QStringLiteral("best_effort:")) +
               durationText(d);
    }
    if (policy == QLatin1String("durability")) {
        dds_durability_kind_t kind;
        const char* names[] = {"volatile", "transient_local", "transient", "persistent"};
        return dds_qget_durability(qos, &kind) ? QString::fromLatin1(names[kind]) : unset;
    }
    if (policy == QLatin1String("deadline")) {
        return dds_qget_deadline(qos, &d) ? durationText(d) : unset;
    }
    if (policy == QLatin1String("latency")) {
        return dds_qget_latency_budget(qos, &d) ? durationText(d) : unset;
    }
    if (policy == QLatin1String("lifespan")) {
        return dds_qget_lifespan(qos, &d) ? durationText(d) : unset;
    }
    if (policy == QLatin1String("timebasedfilter")) {
        return dds_qget_time_based_filter(qos, &d) ? durationText(d) : unset;
    }
    if (policy == QLatin1String("liveliness")) {
        dds_liveliness_kind_t kind;
        const char* names[] = {"automatic", "manual_by_participant", "manual_by_topic"};
        return dds_qget_liveliness(qos, &kind, &d)
                   ? QString::fromLatin1(names[kind]) + QLatin1Char(':') + durationText(d)
                   : unset;
    }
    if (policy == QLatin1String("ownership")) {
        dds_ownership_kind_t kind;
        int32_t strength = 0;
        if (!dds_qget_ownership(qos, &kind)) {
            return unset;
        }
        QString text = kind == DDS_OWNERSHIP_EXCLUSIVE ? QStringLiteral("exclusive")
                                                       : QStringLiteral("shared");
        if (dds_qget_ownership_strength(qos, &strength)) {
            text += QLatin1Char(':') + QString::number(strength);
        }
        return text;
    }
    if (policy == QLatin1String("destination")) {
        dds_destination_order_kind_t kind;
        return !dds_qget_destination_order(qos, &kind)            ? unset
               : kind == DDS_DESTINATIONORDER_BY_SOURCE_TIMESTAMP ? QStringLiteral("source")
                                                                  : QStringLiteral("reception");
    }
    if (policy == QLatin1String("presentation")) {
        dds_presentation_access_scope_kind_t scope;
        bool coherent = false;
        bool ordered = false;
        const char* names[] = {"instance", "topic", "group"};
        return dds_qget_presentation(qos, &scope, &coherent, &ordered)
                   ? QStringLiteral("%1:%2:%3")
                         .arg(QString::fromLatin1(names[scope]))
                         .arg(int(coherent))
                         .arg(int(ordered))
                   : unset;
    }
    if (policy == QLatin1String("partition")) {
        uint32_t n = 0;
        char** names = nullptr;
        if (!dds_qget_partition(qos, &n, &names)) {
            return unset;
        }
        QString text;
        for (uint32_t i = 0; i < n; ++i) {
            text += QLatin1Char('[') + QString::fromUtf8(names[i]) + QLatin1Char(']');
            dds_free(names[i]);
        }
        dds_free(names);
        return text;
    }
    if (policy == QLatin1String("userdata") || policy == QLatin1String("topicdata") ||
        policy == QLatin1String("groupdata")) {
        void* value = nullptr;
        size_t size = 0;
        const bool set = policy == QLatin1String("userdata") ? dds_qget_userdata(qos, &value, &size)
                         : policy == QLatin1String("topicdata")
                             ? dds_qget_topicdata(qos, &value, &size)
                             : dds_qget_groupdata(qos, &value, &size);
        const QString text = QString::fromUtf8(static_cast<const char*>(value), int(size));
        dds_free(value);
        return set ? text : unset;
    }
    if (policy == QLatin1String("history")) {
        dds_history_kind_t kind;
        int32_t depth = 0;
        if (!dds_qget_history(qos, &kind, &depth)) {
            return unset;
        }
        return kind == DDS_HISTORY_KEEP_ALL ? QStringLiteral("keep_all")
                                            : QStringLiteral("keep_last:") + QString::number(depth);
    }
    if (policy == QLatin1String("durability_service")) {
        dds_history_kind_t kind;
        int32_t depth = 0, samples = 0, instances = 0, perInstance = 0;
        if (!dds_qget_durability_service(qos, &d, &kind, &depth, &samples, &instances,
                                         &perInstance)) {
            return unset;
        }
        return QStringLiteral("%1:%2:%3:%4:%5:%6")
            .arg(durationText(d), kind == DDS_HISTORY_KEEP_ALL ? QStringLiteral("keep_all")
                                                               : QStringLiteral("keep_last"))
            .arg(depth)
            .arg(samples)
            .arg(instances)
            .arg(perInstance);
    }
    return QStringLiteral("no such policy in the test");
}

} // namespace

class TestPeerText : public QObject
{
    Q_OBJECT

private slots:
    void wellFormed_data();
    void wellFormed();
    void malformed_data();
    void malformed();
    void sysInfo_data();
    void sysInfo();
    void sysInfoMalformed_data();
    void sysInfoMalformed();
};

void TestPeerText::wellFormed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("policy");
    QTest::addColumn<QString>("expected");

    QTest::newRow("reliable, default blocking") << "reliability=reliable"
                                                << "reliability"
                                                << "reliable:100000000";
    QTest::newRow("reliable with blocking") << "reliability=reliable:0.5"
                                            << "reliability"
                                            << "reliable:500000000";
    QTest::newRow("best effort, blanks") << "  reliability = best_effort  "
                                         << "reliability"
                                         << "best_effort:100000000";
    QTest::newRow("transient local") << "durability=transient_local"
                                     << "durability"
                                     << "transient_local";
    QTest::newRow("persistent") << "durability=persistent"
                                << "durability"
                                << "persistent";
    QTest::newRow("deadline inf") << "deadline=inf"
                                  << "deadline"
                                  << "inf";
    QTest::newRow("deadline fraction") << "deadline=2.5"
                                       << "deadline"
                                       << "2500000000";
    QTest::newRow("latency ms") << "latency=0.001"
                                << "latency"
                                << "1000000";
    QTest::newRow("lifespan") << "lifespan=3"
                              << "lifespan"
                              << "3000000000";
    QTest::newRow("time based filter") << "timebasedfilter=0.25"
                                       << "timebasedfilter"
                                       << "250000000";
    QTest::newRow("liveliness with lease") << "liveliness=manual_by_topic:4"
                                           << "liveliness"
                                           << "manual_by_topic:4000000000";
    QTest::newRow("liveliness default lease") << "liveliness=automatic"
                                              << "liveliness"
                                              << "automatic:inf";
    QTest::newRow("exclusive with strength") << "ownership=exclusive:7"
                                             << "ownership"
                                             << "exclusive:7";
    QTest::newRow("exclusive negative strength") << "ownership=exclusive:-3"
                                                 << "ownership"
                                                 << "exclusive:-3";
    QTest::newRow("shared") << "ownership=shared"
                            << "ownership"
                            << "shared";
    QTest::newRow("by source") << "destination=source"
                               << "destination"
                               << "source";
    QTest::newRow("group coherent ordered, any order") << "presentation=group:ordered:coherent"
                                                       << "presentation"
                                                       << "group:1:1";
    QTest::newRow("topic scope only") << "presentation=topic"
                                      << "presentation"
                                      << "topic:0:0";
    QTest::newRow("two partitions") << "partition=A|B"
                                    << "partition"
                                    << "[A][B]";
    QTest::newRow("escaped bar") << "partition=x\\|y"
                                 << "partition"
                                 << "[x|y]";
    QTest::newRow("user data with comma and =") << "userdata=k=v, w"
                                                << "userdata"
                                                << "k=v, w";
    QTest::newRow("user data with escaped ;") << "userdata=a\\;b;durability=volatile"
                                              << "userdata"
                                              << "a;b";
    QTest::newRow("empty user data") << "userdata="
                                     << "userdata"
                                     << "";
    QTest::newRow("topic data") << "topicdata=td"
                                << "topicdata"
                                << "td";
    QTest::newRow("group data") << "groupdata=gd"
                                << "groupdata"
                                << "gd";
    QTest::newRow("keep last") << "history=keep_last:5"
                               << "history"
                               << "keep_last:5";
    QTest::newRow("keep all") << "history=keep_all"
                              << "history"
                              << "keep_all";
    QTest::newRow("durability service") << "durability_service=1:keep_last:2:100:10:-1"
                                        << "durability_service"
                                        << "1000000000:keep_last:2:100:10:-1";
    QTest::newRow("second of several, trailing ;") << "reliability=reliable;durability=transient;"
                                                   << "durability"
                                                   << "transient";
    QTest::newRow("policy not named stays unset") << "durability=volatile"
                                                  << "reliability"
                                                  << "unset";
    QTest::newRow("empty text") << ""
                                << "deadline"
                                << "unset";
}

void TestPeerText::wellFormed()
{
    QFETCH(QString, text);
    QFETCH(QString, policy);
    QFETCH(QString, expected);

    peerkit::QosLine qos;
    std::string error;
    QVERIFY2(qos.parse(text.toStdString(), error), error.c_str());
    QCOMPARE(describe(qos.qos(), policy), expected);
}

void TestPeerText::malformed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("no =") << "reliability"
                          << "'reliability' has no '='";
    QTest::newRow("unknown policy") << "colour=red"
                                    << "colour: is not a known policy";
    QTest::newRow("unknown kind") << "reliability=sometimes"
                                  << "'sometimes' is not";
    QTest::newRow("best effort with blocking") << "reliability=best_effort:1"
                                               << "reliability: expects 1";
    QTest::newRow("bad blocking") << "reliability=reliable:fast"
                                  << "'fast' is not a duration";
    QTest::newRow("negative duration") << "deadline=-1"
                                       << "'-1' is not a duration";
    QTest::newRow("huge duration") << "deadline=1e300"
                                   << "is not a duration";
    QTest::newRow("duration with unit") << "lifespan=3s"
                                        << "'3s' is not a duration";
    QTest::newRow("empty duration") << "latency="
                                    << "is not a duration";
    QTest::newRow("twice") << "durability=volatile;durability=transient_local"
                           << "durability: is given twice";
    QTest::newRow("durability with extra") << "durability=volatile:1"
                                           << "durability: expects 1";
    QTest::newRow("keep last without depth") << "history=keep_last"
                                             << "history: expects 2";
    QTest::newRow("keep last zero") << "history=keep_last:0"
                                    << "'0' is not an integer >= 1";
    QTest::newRow("keep all with depth") << "history=keep_all:3"
                                         << "history: expects 1";
    QTest::newRow("repeated flag") << "presentation=group:coherent:coherent"
                                   << "at most once";
    QTest::newRow("unknown flag") << "presentation=group:fast"
                                  << "'fast' is not coherent";
    QTest::newRow("short durability service") << "durability_service=1:keep_last:2"
                                              << "durability_service: expects 6";
    QTest::newRow("limit below -1") << "durability_service=1:keep_last:2:-2:1:1"
                                    << "'-2' is not an integer >= -1";
    QTest::newRow("bad strength") << "ownership=exclusive:strong"
                                  << "'strong' is not an integer";
    QTest::newRow("strength out of range") << "ownership=exclusive:4294967296"
                                           << "is not an integer";
    QTest::newRow("shared with strength") << "ownership=shared:3"
                                          << "ownership: expects 1";
    QTest::newRow("bad liveliness") << "liveliness=sometimes:3"
                                    << "'sometimes' is not one of";
    QTest::newRow("lone backslash") << "userdata=abc\\"
                                    << "lone backslash";
    QTest::newRow("no name") << "=reliable"
                             << "is not a known policy";
}

void TestPeerText::malformed()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    peerkit::QosLine qos;
    std::string error;
    QVERIFY(qos.parse("deadline=1", error));
    QVERIFY(!qos.parse(text.toStdString(), error));
    QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
    // A refused text leaves nothing half-set, not even what an earlier parse set.
    QCOMPARE(describe(qos.qos(), QStringLiteral("deadline")), QStringLiteral("unset"));
}

void TestPeerText::sysInfo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // name=value, in order

    QTest::newRow("all keys")
        << "host=h-1,pid=42,exe=/usr/bin/app,user=ops,ip=10.0.0.1,target=t,created=c,executed=e"
        << QStringList{"dds.sys_info.hostname=h-1",
                       "dds.sys_info.process_id=42",
                       "dds.sys_info.executable_filepath=/usr/bin/app",
                       "dds.sys_info.username=ops",
                       "dds.sys_info.ip=10.0.0.1",
                       "dds.sys_info.target=t",
                       "dds.sys_info.creation_timestamp=c",
                       "dds.sys_info.execution_timestamp=e"};
    QTest::newRow("repeated ip keeps order")
        << "ip=10.0.0.2, ip=10.0.0.1"
        << QStringList{"dds.sys_info.ip=10.0.0.2", "dds.sys_info.ip=10.0.0.1"};
    QTest::newRow("escaped comma, = in value")
        << "exe=/opt/a\\,b,user=x=y"
        << QStringList{"dds.sys_info.executable_filepath=/opt/a,b", "dds.sys_info.username=x=y"};
    QTest::newRow("empty") << "" << QStringList();
}

void TestPeerText::sysInfo()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    std::vector<peerkit::Property> props = {{"kept", "1"}};
    std::string error;
    QVERIFY2(peerkit::SysInfoLine::parse(text.toStdString(), props, error), error.c_str());
    QStringList got;
    for (size_t i = 1; i < props.size(); ++i) {
        got << QString::fromStdString(props[i].name + "=" + props[i].value);
    }
    QCOMPARE(props.front().name, std::string("kept"));
    QCOMPARE(got, expected);
}

void TestPeerText::sysInfoMalformed_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown key") << "host=a,hostname=b";
    QTest::newRow("no =") << "host";
    QTest::newRow("lone backslash") << "host=a\\";
}

void TestPeerText::sysInfoMalformed()
{
    QFETCH(QString, text);

    std::vector<peerkit::Property> props;
    std::string error;
    QVERIFY(!peerkit::SysInfoLine::parse(text.toStdString(), props, error));
    QVERIFY(!error.empty());
    QVERIFY(props.empty());
}

QTEST_APPLESS_MAIN(TestPeerText)
#include "tst_peertext.moc"
