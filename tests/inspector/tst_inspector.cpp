// The command-line inspector `brelvane` as a user runs it, against real peers in other
// processes: the demo system and dds-peer. Every document it prints is checked against its
// JSON Schema in docs/schema with a standard validator. Discovery must stay still for 5 s
// rather than 2 before a picture is taken, so that a busy machine cannot cut it short.
#include "PeerProcess.h"
#include "TestEnv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>
#include <memory>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs brelvane to its end with `arguments`; `environment` entries (NAME=VALUE) replace the
// inherited ones.
Run runInspector(const QStringList& arguments, const QStringList& environment = {},
                 int timeoutMs = 120000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        const int equals = entry.indexOf(QLatin1Char('='));
        env.insert(entry.left(equals), entry.mid(equals + 1));
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(BRELVANE_INSPECTOR), arguments);
    Run run;
    if (!process.waitForStarted(10000) || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// What the validator says about `document` against docs/schema/<schema>; empty when valid.
QString schemaViolations(const QString& schema, const QByteArray& document, bool lines = false)
{
    QTemporaryFile file;
    if (!file.open()) {
        return QStringLiteral("cannot write a temporary file");
    }
    file.write(document);
    file.flush();
    QProcess validator;
    QStringList arguments{QStringLiteral(SCHEMA_VALIDATOR)};
    if (lines) {
        arguments << QStringLiteral("--lines");
    }
    arguments << QStringLiteral(SCHEMA_DIR "/") + schema << file.fileName();
    validator.start(QStringLiteral(SCHEMA_PYTHON), arguments);
    if (!validator.waitForFinished(60000) || validator.exitStatus() != QProcess::NormalExit) {
        return QStringLiteral("the validator did not run (%1): install python3-jsonschema")
            .arg(QStringLiteral(SCHEMA_PYTHON));
    }
    if (validator.exitCode() != 0) {
        return QStringLiteral("exit code %1: %2")
            .arg(validator.exitCode())
            .arg(QString::fromUtf8(validator.readAllStandardError()));
    }
    return QString();
}

QJsonObject parsed(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

QString handleOf(const std::string& key)
{
    return QStringLiteral("0x") + PeerProcess::hexFromKey(key);
}

QSet<QString> handles(const QJsonArray& entities)
{
    QSet<QString> found;
    for (const QJsonValue& entity : entities) {
        found.insert(entity.toObject().value(QLatin1String("handle")).toString());
    }
    return found;
}

QJsonObject findBy(const QJsonArray& array, const char* member, const QString& value)
{
    for (const QJsonValue& entry : array) {
        if (entry.toObject().value(QLatin1String(member)).toString() == value) {
            return entry.toObject();
        }
    }
    return QJsonObject();
}

QJsonObject member(const QJsonObject& object, const char* path)
{
    QJsonObject at = object;
    for (const QString& name : QString::fromLatin1(path).split(QLatin1Char('.'))) {
        at = at.value(name).toObject();
    }
    return at;
}

} // namespace

class TestInspector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void version();
    void usageErrors_data();
    void usageErrors();
    void domainThatCannotBeJoined();
    void snapshotJson();
    void snapshotText();

private:
    QString demoDomain() const { return QString::number(TestEnv::domain(0)); }

    std::unique_ptr<PeerProcess> m_demo;
};

void TestInspector::initTestCase()
{
    m_demo = std::make_unique<PeerProcess>();
    QVERIFY2(m_demo->startDemo({QStringLiteral("--domains"), demoDomain()}),
             qPrintable(m_demo->errorString()));
}

void TestInspector::cleanupTestCase()
{
    if (m_demo) {
        QVERIFY(m_demo->stop());
    }
}

void TestInspector::version()
{
    const Run run = runInspector({QStringLiteral("--version")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("brelvane " BRELVANE_VERSION "\n"));
    QVERIFY(run.err.isEmpty());
}

void TestInspector::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("id out of range")
        << QStringList{"snapshot", "--domains", "0,201"} << "bad domain id '201'";
    QTest::newRow("unknown option")
        << QStringList{"check", "--domains", "0", "--fast"} << "unknown option '--fast' for check";
    QTest::newRow("no domains") << QStringList{"watch"} << "watch needs --domains";
    QTest::newRow("no command") << QStringList{} << "no command given";
}

void TestInspector::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = runInspector(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.out.isEmpty(), run.out.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QVERIFY2(run.err.contains("--help"), run.err.constData());
}

void TestInspector::domainThatCannotBeJoined()
{
    // A configuration the middleware cannot read: no participant can be created anywhere.
    QTemporaryFile config;
    QVERIFY(config.open());
    config.write("<CycloneDDS><Domain id=\"any\"><General><NoSuchSetting/></General></Domain>"
                 "</CycloneDDS>\n");
    config.flush();
    const QString id = QString::number(TestEnv::domain(3));
    const Run run = runInspector({QStringLiteral("snapshot"), QStringLiteral("--domains"), id},
                                 {QStringLiteral("CYCLONEDDS_URI=file://") + config.fileName()});
    QCOMPARE(run.exitCode, 2);
    // The middleware's failure line is a diagnostic like the program's own message.
    QVERIFY2(run.out.isEmpty(), run.out.constData());
    QVERIFY2(run.err.contains("create_participant failed"), run.err.constData());
    QVERIFY2(run.err.contains(("cannot join domain " + id).toUtf8()), run.err.constData());
}

void TestInspector::snapshotJson()
{
    const Run run = runInspector({QStringLiteral("snapshot"), QStringLiteral("--domains"),
                                  demoDomain(), QStringLiteral("--settle"), QStringLiteral("60")});
    QCOMPARE(run.exitCode, 0);
    const QString violations = schemaViolations(QStringLiteral("snapshot.schema.json"), run.out);
    QVERIFY2(violations.isEmpty(), qPrintable(violations));
    const QJsonObject document = parsed(run.out);
    QCOMPARE(document.value(QLatin1String("command")).toString(), QStringLiteral("snapshot"));
    QCOMPARE(document.value(QLatin1String("version")).toString(), QStringLiteral(BRELVANE_VERSION));
    QVERIFY(document.value(QLatin1String("settled")).toBool());
    const QJsonArray domains = document.value(QLatin1String("domains")).toArray();
    QCOMPARE(domains.size(), 1);
    const QJsonObject domain = domains.first().toObject();
    QCOMPARE(domain.value(QLatin1String("domain")).toInt(), int(TestEnv::domain(0)));
    QVERIFY(domain.value(QLatin1String("complete")).toBool());

    // Exactly what the demo created, by the handles it printed.
    QSet<QString> participants;
    for (const std::string& key : m_demo->participants()) {
        participants.insert(handleOf(key));
    }
    QSet<QString> writers;
    for (const PeerProcess::Endpoint& e : m_demo->writers()) {
        writers.insert(handleOf(e.key));
    }
    QSet<QString> readers;
    for (const PeerProcess::Endpoint& e : m_demo->readers()) {
        readers.insert(handleOf(e.key));
    }
    QCOMPARE(handles(domain.value(QLatin1String("participants")).toArray()), participants);
    QCOMPARE(handles(domain.value(QLatin1String("writers")).toArray()), writers);
    QCOMPARE(handles(domain.value(QLatin1String("readers")).toArray()), readers);
    const QJsonObject counts = domain.value(QLatin1String("counts")).toObject();
    QCOMPARE(counts.value(QLatin1String("participants")).toInt(), participants.size());
    QCOMPARE(counts.value(QLatin1String("writers")).toInt(), writers.size());
    QCOMPARE(counts.value(QLatin1String("readers")).toInt(), readers.size());
    QCOMPARE(counts.value(QLatin1String("topics")).toInt(), 5);

    // A participant's system information and everything it announces.
    QJsonObject radar;
    for (const QJsonValue& p : domain.value(QLatin1String("participants")).toArray()) {
        const QJsonObject info = p.toObject().value(QLatin1String("system_information")).toObject();
        if (info.value(QLatin1String("host_name")).toString() == QLatin1String("fdp-server")) {
            QCOMPARE(info.value(QLatin1String("ips")).toArray(),
                     QJsonArray({QStringLiteral("10.10.0.21"), QStringLiteral("10.20.0.21")}));
        }
        if (info.value(QLatin1String("host_name")).toString() == QLatin1String("radar-01")) {
            radar = p.toObject();
        }
    }
    const QJsonObject radarInfo = radar.value(QLatin1String("system_information")).toObject();
    QCOMPARE(radarInfo.value(QLatin1String("pid")).toInt(), 1201);
    QCOMPARE(radarInfo.value(QLatin1String("process_name")).toString(),
             QStringLiteral("radar_server"));
    QCOMPARE(radarInfo.value(QLatin1String("user_name")).toString(), QStringLiteral("radar"));
    QCOMPARE(radar.value(QLatin1String("user_data")).toString(),
             QString::fromLatin1(QByteArray("radar station north").toBase64()));
    QVERIFY(!findBy(radar.value(QLatin1String("properties")).toArray(), "name",
                    QStringLiteral("dds.sys_info.target"))
                 .isEmpty());

    // Typed QoS of the radar's writer: its partitions, durations and kinds.
    const QJsonArray writerList = domain.value(QLatin1String("writers")).toArray();
    const QJsonObject track = findBy(writerList, "topic", QStringLiteral("RadarTrack"));
    QCOMPARE(track.value(QLatin1String("participant")).toString(),
             radar.value(QLatin1String("handle")).toString());
    QCOMPARE(track.value(QLatin1String("type")).toString(), QStringLiteral("demo::RadarTrack"));
    const QJsonObject qos = track.value(QLatin1String("qos")).toObject();
    QCOMPARE(member(qos, "partition").value(QLatin1String("name")).toArray(),
             QJsonArray({QStringLiteral("SectorA"), QStringLiteral("SectorB")}));
    QCOMPARE(member(qos, "reliability").value(QLatin1String("kind")).toString(),
             QStringLiteral("RELIABLE_RELIABILITY_QOS"));
    QCOMPARE(member(qos, "reliability.max_blocking_time").value(QLatin1String("nanosec")).toInt(),
             200000000);
    QCOMPARE(member(qos, "deadline.period").value(QLatin1String("sec")).toInt(), 1);
    QCOMPARE(member(qos, "durability").value(QLatin1String("kind")).toString(),
             QStringLiteral("TRANSIENT_LOCAL_DURABILITY_QOS"));
    QCOMPARE(member(qos, "destination_order").value(QLatin1String("kind")).toString(),
             QStringLiteral("BY_SOURCE_TIMESTAMP_DESTINATIONORDER_QOS"));
    const QJsonObject weather = findBy(writerList, "topic", QStringLiteral("WeatherReport"))
                                    .value(QLatin1String("qos"))
                                    .toObject();
    QCOMPARE(member(weather, "reliability").value(QLatin1String("kind")).toString(),
             QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
    QCOMPARE(member(weather, "lifespan.duration").value(QLatin1String("sec")).toInt(), 30);
    QCOMPARE(member(weather, "latency_budget.duration").value(QLatin1String("nanosec")).toInt(),
             500000000);
    // Of the two Command readers, the console's asks for coherent access per topic.
    QStringList presentations;
    for (const QJsonValue& r : domain.value(QLatin1String("readers")).toArray()) {
        const QJsonObject reader = r.toObject();
        if (reader.value(QLatin1String("topic")).toString() == QLatin1String("Command")) {
            const QJsonObject p = member(reader, "qos.presentation");
            presentations << p.value(QLatin1String("access_scope")).toString() +
                                 (p.value(QLatin1String("coherent_access")).toBool()
                                      ? QStringLiteral(" coherent")
                                      : QString());
        }
    }
    presentations.sort();
    QCOMPARE(presentations,
             QStringList({"INSTANCE_PRESENTATION_QOS", "TOPIC_PRESENTATION_QOS coherent"}));

    // Topics with their counts, ascending.
    const QJsonArray topics = domain.value(QLatin1String("topics")).toArray();
    QStringList names;
    for (const QJsonValue& t : topics) {
        names << t.toObject().value(QLatin1String("name")).toString();
    }
    QCOMPARE(names,
             QStringList({"Command", "FlightPlan", "RadarTrack", "SystemHealth", "WeatherReport"}));
    const QJsonObject flightPlan = findBy(topics, "name", QStringLiteral("FlightPlan"));
    QCOMPARE(flightPlan.value(QLatin1String("writers")).toInt(), 2);
    QCOMPARE(flightPlan.value(QLatin1String("readers")).toInt(), 1);
    QCOMPARE(flightPlan.value(QLatin1String("types")).toArray(),
             QJsonArray({QStringLiteral("demo::FlightPlan")}));
}

void TestInspector::snapshotText()
{
    const Run run = runInspector({QStringLiteral("snapshot"), QStringLiteral("--domains"),
                                  demoDomain(), QStringLiteral("--format"), QStringLiteral("text"),
                                  QStringLiteral("--settle"), QStringLiteral("60"),
                                  QStringLiteral("--quiet"), QStringLiteral("5")});
    QCOMPARE(run.exitCode, 0);
    const QString text = QString::fromUtf8(run.out);
    QVERIFY2(text.startsWith(QStringLiteral("brelvane snapshot of domain ") + demoDomain()),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Domain %1: 6 participants, 6 writers, 7 readers, 5 "
                                          "topics")
                               .arg(demoDomain())),
             qPrintable(text));
    // One block per topic: its headline, then its writers and readers with where they run.
    const int block = text.indexOf(QStringLiteral("  Topic WeatherReport (type "
                                                  "demo::WeatherReport): 1 writer, 1 reader\n"));
    QVERIFY2(block >= 0, qPrintable(text));
    const QStringList lines = text.mid(block).split(QLatin1Char('\n'));
    QVERIFY(lines.size() > 3);
    QVERIFY2(lines[1].startsWith(QStringLiteral("    writer 0x")) &&
                 lines[1].endsWith(QStringLiteral("  weather_feed:3303 on wx-station "
                                                  "(10.10.0.31)")),
             qPrintable(lines[1]));
    QVERIFY2(lines[2].startsWith(QStringLiteral("    reader 0x")) &&
                 lines[2].endsWith(QStringLiteral("  atc_display:4404 on console (10.10.0.41)")),
             qPrintable(lines[2]));
    QVERIFY(lines[3].isEmpty());
}

QTEST_GUILESS_MAIN(TestInspector)
#include "tst_inspector.moc"
