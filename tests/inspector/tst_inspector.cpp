// The command-line inspector `brelvane` as a user runs it, against real peers in other
// processes: the demo system and dds-peer. Every document it prints, and every line watch
// prints, is checked against its JSON Schema in docs/schema with a standard validator. Discovery
// must stay still for 5 s rather than 2 before a picture is taken, so that a busy machine cannot
// cut it short.
#include "PeerProcess.h"
#include "TestEnv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>
#include <memory>
#include <signal.h>

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

// check of one domain with the tests' settle times.
Run runCheck(const QString& domain, const QString& format)
{
    return runInspector({QStringLiteral("check"), QStringLiteral("--domains"), domain,
                         QStringLiteral("--format"), format, QStringLiteral("--settle"),
                         QStringLiteral("60"), QStringLiteral("--quiet"), QStringLiteral("5")});
}

// One writer and one reader of topic Orders in a dds-peer, with the reliability each asks for.
bool startOrdersPeer(PeerProcess& peer, const QString& domain, const char* writerReliability)
{
    return peer.startPeer({"--domain", domain, "--writer", "Orders@shop::Order", "--qos",
                           QStringLiteral("reliability=") + QLatin1String(writerReliability),
                           "--reader", "Orders@shop::Order", "--qos", "reliability=reliable"});
}

QString peerHandle(const std::vector<PeerProcess::Endpoint>& endpoints, size_t i)
{
    return i < endpoints.size() ? handleOf(endpoints[i].key) : QString();
}

// brelvane watch running in the background: its lines as they come.
class WatchRun
{
public:
    explicit WatchRun(const QStringList& arguments)
    {
        m_process.start(QStringLiteral(BRELVANE_INSPECTOR), arguments);
    }
    ~WatchRun()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool started() { return m_process.waitForStarted(10000); }

    // Reads what has arrived; every complete line must be one JSON object.
    const QList<QJsonObject>& events()
    {
        m_pending += m_process.readAllStandardOutput();
        int end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(end + 1);
            m_pending.remove(0, end + 1);
            m_lines += line;
            const QJsonObject event = parsed(line);
            if (event.isEmpty()) {
                m_broken << QString::fromUtf8(line);
            }
            m_events << event;
        }
        return m_events;
    }

    // The index of the first event with these members, -1 when none came yet.
    int find(const char* event, const char* kind, const QString& handle)
    {
        const QList<QJsonObject>& all = events();
        for (int i = 0; i < all.size(); ++i) {
            const QJsonObject& e = all[i];
            if (e.value(QLatin1String("event")).toString() == QLatin1String(event) &&
                e.value(QLatin1String("kind")).toString() == QLatin1String(kind) &&
                e.value(QLatin1String("handle")).toString() == handle) {
                return i;
            }
        }
        return -1;
    }

    // Sends SIGTERM and waits for the end; the exit code, -1 for a crash or no end.
    int stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(30000)) {
            return -1;
        }
        events();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    QByteArray lines() const { return m_lines; }
    QStringList broken() const { return m_broken; }
    QByteArray diagnostics() { return m_process.readAllStandardError(); }

private:
    QProcess m_process;
    QByteArray m_pending;
    QByteArray m_lines;
    QList<QJsonObject> m_events;
    QStringList m_broken;
};

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
    void domainThatCannotBeJoined_data();
    void domainThatCannotBeJoined();
    void snapshotJson();
    void snapshotText();
    void checkConflict();
    void checkClean();
    void watchEvents();
    void watchDuration();

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
    QTest::newRow("check: id out of range")
        << QStringList{"check", "--domains", "3,300"} << "bad domain id '300'";
    QTest::newRow("check: bad format")
        << QStringList{"check", "--domains", "0", "--format", "xml"} << "bad value 'xml'";
    QTest::newRow("watch: bad duration")
        << QStringList{"watch", "--domains", "0", "--duration", "-1"} << "bad value '-1'";
    QTest::newRow("watch takes no --settle")
        << QStringList{"watch", "--domains", "0", "--settle", "3"}
        << "unknown option '--settle' for watch";
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

void TestInspector::domainThatCannotBeJoined_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("snapshot") << "snapshot";
    QTest::newRow("check") << "check";
    QTest::newRow("watch") << "watch";
}

void TestInspector::domainThatCannotBeJoined()
{
    QFETCH(QString, command);
    // A configuration the middleware cannot read: no participant can be created anywhere.
    QTemporaryFile config;
    QVERIFY(config.open());
    config.write("<CycloneDDS><Domain id=\"any\"><General><NoSuchSetting/></General></Domain>"
                 "</CycloneDDS>\n");
    config.flush();
    const QString id = QString::number(TestEnv::domain(3));
    const Run run = runInspector({command, QStringLiteral("--domains"), id},
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

    // The demo's known conflicts: the weather feed's best-effort writer against the display's
    // reliable reader, and two volatile SystemHealth writers against a transient-local reader.
    QCOMPARE(document.value(QLatin1String("error_count")).toInt(), 3);
    const QJsonArray problemCounts = document.value(QLatin1String("problem_counts")).toArray();
    QCOMPARE(problemCounts.size(), 1);
    QCOMPARE(problemCounts[0].toObject().value(QLatin1String("domain")).toInt(),
             int(TestEnv::domain(0)));
    QCOMPARE(problemCounts[0].toObject().value(QLatin1String("errors")).toInt(), 3);
    QCOMPARE(problemCounts[0].toObject().value(QLatin1String("hints")).toInt(), 1);
    const QJsonArray problems = document.value(QLatin1String("problems")).toArray();
    const QString weatherWriter = findBy(writerList, "topic", QStringLiteral("WeatherReport"))
                                      .value(QLatin1String("handle"))
                                      .toString();
    QJsonObject weatherPair;
    QStringList kinds;
    for (const QJsonValue& p : problems) {
        const QJsonObject problem = p.toObject();
        kinds << problem.value(QLatin1String("level")).toString() + QLatin1Char(' ') +
                     problem.value(QLatin1String("topic")).toString();
        if (problem.value(QLatin1String("topic")).toString() == QLatin1String("WeatherReport") &&
            problem.value(QLatin1String("kind")).toString() == QLatin1String("incompatible_pair")) {
            weatherPair = problem;
        }
    }
    QCOMPARE(kinds,
             QStringList({"error SystemHealth", "error SystemHealth", "error WeatherReport",
                          "warning SystemHealth", "warning SystemHealth", "warning SystemHealth",
                          "warning WeatherReport", "warning WeatherReport", "hint Command"}));
    QCOMPARE(member(weatherPair, "writer").value(QLatin1String("handle")).toString(),
             weatherWriter);
    QCOMPARE(member(weatherPair, "writer").value(QLatin1String("process")).toString(),
             QStringLiteral("weather_feed:3303"));
    QStringList policies;
    for (const QJsonValue& reason : weatherPair.value(QLatin1String("reasons")).toArray()) {
        policies << reason.toObject().value(QLatin1String("policy")).toString();
    }
    QCOMPARE(policies, QStringList({"latency_budget", "reliability"}));

    // check finds the same problems, and fails on them.
    const Run check = runCheck(demoDomain(), QStringLiteral("json"));
    QCOMPARE(check.exitCode, 1);
    const QString checkViolations =
        schemaViolations(QStringLiteral("check.schema.json"), check.out);
    QVERIFY2(checkViolations.isEmpty(), qPrintable(checkViolations));
    const QJsonObject checked = parsed(check.out);
    QCOMPARE(checked.value(QLatin1String("command")).toString(), QStringLiteral("check"));
    QCOMPARE(checked.value(QLatin1String("problems")).toArray(), problems);
    QCOMPARE(checked.value(QLatin1String("problem_counts")).toArray(), problemCounts);
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
    // The problems after the domain's topics and participants, each with its endpoints.
    const int problems = text.indexOf(QStringLiteral("  Problems in domain %1: 3 writer/reader "
                                                     "pairs that cannot match, 5 endpoints that "
                                                     "match nothing, 1 one-sided topic\n")
                                          .arg(demoDomain()));
    QVERIFY2(problems > text.indexOf(QStringLiteral("  Participants\n")), qPrintable(text));
    const int pair = text.indexOf(QStringLiteral("    Error  topic WeatherReport: cannot match\n"));
    QVERIFY2(pair > problems, qPrintable(text));
    const QStringList pairLines = text.mid(pair).split(QLatin1Char('\n'));
    QVERIFY2(pairLines[1].startsWith(QStringLiteral("      writer 0x")) &&
                 pairLines[1].endsWith(QStringLiteral("  weather_feed:3303")),
             qPrintable(pairLines[1]));
    QVERIFY2(pairLines[2].endsWith(QStringLiteral("  atc_display:4404")), qPrintable(pairLines[2]));
    QVERIFY2(pairLines[3].startsWith(QStringLiteral("      latency_budget: ")),
             qPrintable(pairLines[3]));
    QVERIFY2(pairLines[4].startsWith(QStringLiteral("      reliability: ")),
             qPrintable(pairLines[4]));
    QVERIFY2(text.contains(QStringLiteral("    Info  topic Command: ")), qPrintable(text));
}

void TestInspector::checkConflict()
{
    // A best-effort writer and a reliable reader of one topic cannot match.
    PeerProcess peer;
    const QString domain = QString::number(TestEnv::domain(1));
    QVERIFY2(startOrdersPeer(peer, domain, "best_effort"), qPrintable(peer.errorString()));
    const Run run = runCheck(domain, QStringLiteral("json"));
    QCOMPARE(run.exitCode, 1);
    const QString violations = schemaViolations(QStringLiteral("check.schema.json"), run.out);
    QVERIFY2(violations.isEmpty(), qPrintable(violations));
    const QJsonObject document = parsed(run.out);
    QVERIFY(document.value(QLatin1String("settled")).toBool());
    QCOMPARE(document.value(QLatin1String("error_count")).toInt(), 1);
    const QJsonArray problems = document.value(QLatin1String("problems")).toArray();
    QVERIFY(!problems.isEmpty());
    const QJsonObject pair = problems.first().toObject();
    QCOMPARE(pair.value(QLatin1String("level")).toString(), QStringLiteral("error"));
    QCOMPARE(pair.value(QLatin1String("kind")).toString(), QStringLiteral("incompatible_pair"));
    QCOMPARE(pair.value(QLatin1String("domain")).toInt(), int(TestEnv::domain(1)));
    QCOMPARE(pair.value(QLatin1String("topic")).toString(), QStringLiteral("Orders"));
    QCOMPARE(member(pair, "writer").value(QLatin1String("handle")).toString(),
             peerHandle(peer.writers(), 0));
    QCOMPARE(member(pair, "reader").value(QLatin1String("handle")).toString(),
             peerHandle(peer.readers(), 0));
    const QJsonArray reasons = pair.value(QLatin1String("reasons")).toArray();
    QCOMPARE(reasons.size(), 1);
    const QJsonObject reason = reasons.first().toObject();
    QCOMPARE(reason.value(QLatin1String("policy")).toString(), QStringLiteral("reliability"));
    QCOMPARE(reason.value(QLatin1String("writer_value")).toString(),
             QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
    QCOMPARE(reason.value(QLatin1String("reader_value")).toString(),
             QStringLiteral("RELIABLE_RELIABILITY_QOS"));

    const Run text = runCheck(domain, QStringLiteral("text"));
    QCOMPARE(text.exitCode, 1);
    const QString listing = QString::fromUtf8(text.out);
    QVERIFY2(
        listing.contains(QStringLiteral("    Error  topic Orders: cannot match\n      writer ") +
                         peerHandle(peer.writers(), 0)),
        qPrintable(listing));
    QVERIFY2(listing.contains(QStringLiteral("      reliability: ")), qPrintable(listing));
    QVERIFY2(listing.endsWith(QStringLiteral("\n1 writer/reader pair cannot match.\n")),
             qPrintable(listing));
    QVERIFY(peer.stop());
}

void TestInspector::checkClean()
{
    PeerProcess peer;
    const QString domain = QString::number(TestEnv::domain(2));
    QVERIFY2(startOrdersPeer(peer, domain, "reliable"), qPrintable(peer.errorString()));
    for (const QString& format : {QStringLiteral("json"), QStringLiteral("text")}) {
        const Run run = runCheck(domain, format);
        QCOMPARE(run.exitCode, 0);
        if (format == QLatin1String("text")) {
            QVERIFY2(run.out.endsWith("\nNo error-level problem.\n"), run.out.constData());
            continue;
        }
        const QString violations = schemaViolations(QStringLiteral("check.schema.json"), run.out);
        QVERIFY2(violations.isEmpty(), qPrintable(violations));
        const QJsonObject document = parsed(run.out);
        QCOMPARE(document.value(QLatin1String("error_count")).toInt(), 0);
        QCOMPARE(document.value(QLatin1String("problems")).toArray(), QJsonArray());
        // What it looked at: the peer's writer and reader, so a clean result is not an empty one.
        const QJsonArray counts = document.value(QLatin1String("problem_counts")).toArray();
        QCOMPARE(counts.size(), 1);
        QCOMPARE(counts[0].toObject().value(QLatin1String("writers")).toInt(), 1);
        QCOMPARE(counts[0].toObject().value(QLatin1String("readers")).toInt(), 1);
    }
    QVERIFY(peer.stop());
}

void TestInspector::watchEvents()
{
    const QString domain = QString::number(TestEnv::domain(4));
    PeerProcess before;
    QVERIFY2(before.startPeer({"--domain", domain, "--commands", "--writer", "Plans@ops::Plan"}),
             qPrintable(before.errorString()));
    const QString participant = handleOf(before.participants().front());
    const QString writer = peerHandle(before.writers(), 0);

    WatchRun watch({QStringLiteral("watch"), QStringLiteral("--domains"), domain});
    QVERIFY(watch.started());
    // What existed before comes first, as joined events.
    QTRY_VERIFY_WITH_TIMEOUT(watch.find("joined", "writer", writer) >= 0, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(watch.find("joined", "participant", participant) >= 0, 30000);
    const QJsonObject joined = watch.events().at(watch.find("joined", "writer", writer));
    QCOMPARE(joined.value(QLatin1String("topic")).toString(), QStringLiteral("Plans"));
    QCOMPARE(joined.value(QLatin1String("type")).toString(), QStringLiteral("ops::Plan"));
    QCOMPARE(joined.value(QLatin1String("domain")).toInt(), int(TestEnv::domain(4)));
    QCOMPARE(joined.value(QLatin1String("pid")).toInt(), int(before.processId()));
    for (const QJsonObject& event : watch.events()) {
        QCOMPARE(event.value(QLatin1String("event")).toString(), QStringLiteral("joined"));
    }

    // A peer that joins and leaves while watched.
    {
        PeerProcess visitor;
        QVERIFY2(visitor.startPeer({"--domain", domain, "--reader", "Plans@ops::Plan"}),
                 qPrintable(visitor.errorString()));
        const QString visitorParticipant = handleOf(visitor.participants().front());
        const QString reader = peerHandle(visitor.readers(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(watch.find("joined", "reader", reader) >= 0, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(watch.find("joined", "participant", visitorParticipant) >= 0,
                                 30000);
        QVERIFY(visitor.stop());
        QTRY_VERIFY_WITH_TIMEOUT(watch.find("left", "reader", reader) >= 0, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(watch.find("left", "participant", visitorParticipant) >= 0, 30000);
        QVERIFY(watch.find("joined", "reader", reader) < watch.find("left", "reader", reader));
        const QJsonObject left = watch.events().at(watch.find("left", "reader", reader));
        // described as it was when it joined
        QCOMPARE(left.value(QLatin1String("topic")).toString(), QStringLiteral("Plans"));
    }

    // A QoS change under the same handle.
    QVERIFY(before.send(QStringLiteral("qos ") + writer.mid(2) + QStringLiteral(" userdata=x")));
    QVERIFY(!before.waitForLine(QStringLiteral("QOS ")).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(watch.find("qos_changed", "writer", writer) >= 0, 30000);
    const QJsonObject changed = watch.events().at(watch.find("qos_changed", "writer", writer));
    QCOMPARE(changed.value(QLatin1String("policies")).toArray(),
             QJsonArray({QStringLiteral("user_data")}));

    // Interrupted, it ends cleanly; every line was a JSON object of the event schema.
    QCOMPARE(watch.stop(), 0);
    QVERIFY2(watch.broken().isEmpty(), qPrintable(watch.broken().join(QLatin1Char('\n'))));
    const QString violations =
        schemaViolations(QStringLiteral("event.schema.json"), watch.lines(), true);
    QVERIFY2(violations.isEmpty(), qPrintable(violations));
    QVERIFY(before.stop());
}

void TestInspector::watchDuration()
{
    // With --duration it ends by itself, after the picture of what exists.
    const Run run =
        runInspector({QStringLiteral("watch"), QStringLiteral("--domains"), demoDomain(),
                      QStringLiteral("--duration"), QStringLiteral("15")});
    QCOMPARE(run.exitCode, 0);
    const QString violations = schemaViolations(QStringLiteral("event.schema.json"), run.out, true);
    QVERIFY2(violations.isEmpty(), qPrintable(violations));
    QSet<QString> joined;
    for (const QByteArray& line : run.out.split('\n')) {
        if (!line.isEmpty()) {
            const QJsonObject event = parsed(line);
            QCOMPARE(event.value(QLatin1String("event")).toString(), QStringLiteral("joined"));
            joined.insert(event.value(QLatin1String("handle")).toString());
        }
    }
    QSet<QString> demo;
    for (const std::string& key : m_demo->participants()) {
        demo.insert(handleOf(key));
    }
    for (const PeerProcess::Endpoint& e : m_demo->writers()) {
        demo.insert(handleOf(e.key));
    }
    for (const PeerProcess::Endpoint& e : m_demo->readers()) {
        demo.insert(handleOf(e.key));
    }
    QCOMPARE(joined, demo);
}

QTEST_GUILESS_MAIN(TestInspector)
#include "tst_inspector.moc"
