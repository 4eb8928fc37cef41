// The command-line inspector's parts that need no network: its command line with the domain
// dialog's id rules, the settle rule, the JSON writer and the terminal text for what peers
// announce, the split of standard output between result and diagnostics, the problems as JSON
// and as text, and the event stream's lines.
#include "CommandLine.h"
#include "EventLog.h"
#include "EventStream.h"
#include "FailureLine.h"
#include "JsonWriter.h"
#include "PrintableText.h"
#include "ProblemsJson.h"
#include "ProblemsText.h"
#include "ResultOutput.h"
#include "SettleRule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

Q_DECLARE_METATYPE(CommandLine::Outcome)

namespace {

QString idText(const std::set<uint32_t>& ids)
{
    QStringList texts;
    for (uint32_t id : ids) {
        texts << QString::number(id);
    }
    return texts.join(QLatin1Char(','));
}

// Everything readable from a non-blocking pipe end.
QByteArray drain(int fd)
{
    QByteArray all;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        all.append(buffer, int(n));
    }
    return all;
}

// Standard output as a pipe for the lifetime of the object, read back with result().
class CapturedStdout
{
public:
    CapturedStdout()
    {
        std::fflush(stdout);
        m_ok = ::pipe2(m_pipe, O_NONBLOCK) == 0;
        m_saved = ::dup(STDOUT_FILENO);
        if (m_ok) {
            ::dup2(m_pipe[1], STDOUT_FILENO);
        }
    }
    ~CapturedStdout()
    {
        restore();
        ::close(m_pipe[0]);
    }
    bool ok() const { return m_ok; }
    // Everything written so far; standard output is back to what it was.
    QByteArray result()
    {
        restore();
        return drain(m_pipe[0]);
    }

private:
    void restore()
    {
        if (m_saved >= 0) {
            std::fflush(stdout);
            ::dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
            ::close(m_pipe[1]);
            m_saved = -1;
        }
    }

    int m_pipe[2] = {-1, -1};
    int m_saved = -1;
    bool m_ok = false;
};

DiscoveryEvent sampleEvent(int n)
{
    auto entity = std::make_shared<EntityDescription>();
    entity->handle = QStringLiteral("0x%1").arg(n, 32, 16, QLatin1Char('0'));
    DiscoveryEvent e;
    e.time.epochMs = 1796669304000 + n;
    e.domainId = 7;
    e.entity = entity;
    return e;
}

// A report of one topic whose name carries a terminal escape: a pair that cannot match, the
// entry for the pairs left out, and a hint.
ProblemReport sampleReport()
{
    ProblemReport report;
    DomainSummary summary;
    summary.domain = 7;
    summary.writers = 3;
    summary.readers = 1;
    summary.errors = 8;
    summary.hints = 1;
    report.domains.push_back(summary);
    Problem pair;
    pair.domain = 7;
    pair.topic = "T\x1b[2J";
    pair.text = QStringLiteral("reliability：…");
    pair.writer = {std::string(16, 'w'), QStringLiteral("0x77"), QStringLiteral("pub:1")};
    pair.reader = {std::string(16, 'r'), QStringLiteral("0x72"), QStringLiteral("sub:2")};
    Reason reason;
    reason.policy = QStringLiteral("reliability");
    reason.writerValue = QStringLiteral("BEST_EFFORT_RELIABILITY_QOS");
    reason.readerValue = QStringLiteral("RELIABLE_RELIABILITY_QOS");
    reason.explanation = QStringLiteral("too weak");
    pair.reasons << reason;
    Problem more = pair;
    more.kind = Problem::Kind::MorePairs;
    more.writer = ProblemEndpoint();
    more.reader = ProblemEndpoint();
    more.reasons.clear();
    more.count = 7;
    more.text = QStringLiteral("7 more");
    Problem hint;
    hint.level = ProblemLevel::Hint;
    hint.kind = Problem::Kind::WritersOnly;
    hint.domain = 7;
    hint.topic = "Lonely";
    hint.text = QStringLiteral("writers only");
    hint.count = 3;
    report.problems = {pair, more, hint};
    return report;
}

} // namespace

class TestInspectorParts : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void settleRule_data();
    void settleRule();
    void jsonText_data();
    void jsonText();
    void jsonDocument();
    void terminalText_data();
    void terminalText();
    void resultOutput();
    void problemsJson();
    void problemsText();
    void eventStream();
};

void TestInspectorParts::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Outcome>("outcome");
    QTest::addColumn<QString>("domains");
    // settle, quiet, format, duration, verbose; or the error's words
    QTest::addColumn<QString>("settings");
    using O = CommandLine::Outcome;
    const auto args = [](const char* text) {
        return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    QTest::newRow("snapshot defaults") << args("snapshot --domains 0,3") << O::Run << "0,3"
                                       << "10 2 json -1 0";
    QTest::newRow("every option, = forms") << args("snapshot --domains=200 --settle=2.5 "
                                                   "--quiet 0.5 --format=text --verbose")
                                           << O::Run << "200"
                                           << "2.5 0.5 text -1 1";
    QTest::newRow("dialog rules: empty pieces, duplicates")
        << args("check --domains ,5,,5,") << O::Run << "5"
        << "10 2 json -1 0";
    QTest::newRow("the dialog's separator") << args("check --domains 1;2") << O::Run << "1,2"
                                            << "10 2 json -1 0";
    QTest::newRow("repeated --domains add up")
        << args("watch --domains 7 --domains 4 --duration 3") << O::Run << "4,7"
        << "10 2 json 3 0";
    QTest::newRow("settle 0") << args("check --settle 0 --domains 0") << O::Run << "0"
                              << "0 2 json -1 0";
    QTest::newRow("version") << args("--version") << O::Version << ""
                             << "";
    QTest::newRow("program help") << args("--help") << O::Help << ""
                                  << "";
    QTest::newRow("command help wins") << args("watch --bogus --help") << O::Help << ""
                                       << "";
    QTest::newRow("id above 200") << args("snapshot --domains 0,201") << O::UsageError << ""
                                  << "bad domain id '201'";
    QTest::newRow("negative id") << args("snapshot --domains -1") << O::UsageError << ""
                                 << "bad domain id '-1'";
    QTest::newRow("not a number") << args("snapshot --domains 1,x") << O::UsageError << ""
                                  << "bad domain id 'x'";
    QTest::newRow("no id") << args("snapshot --domains ,,") << O::UsageError << ""
                           << "names no domain id";
    QTest::newRow("no --domains") << args("check") << O::UsageError << ""
                                  << "needs --domains";
    QTest::newRow("missing value") << args("snapshot --domains") << O::UsageError << ""
                                   << "--domains needs a value";
    QTest::newRow("unknown option") << args("snapshot --domains 0 --depth 3") << O::UsageError << ""
                                    << "unknown option '--depth' for snapshot";
    QTest::newRow("option of another command")
        << args("snapshot --domains 0 --duration 3") << O::UsageError << ""
        << "unknown option '--duration' for snapshot";
    QTest::newRow("watch does not settle")
        << args("watch --domains 0 --quiet 1") << O::UsageError << ""
        << "unknown option '--quiet' for watch";
    QTest::newRow("watch has no format")
        << args("watch --domains 0 --format text") << O::UsageError << ""
        << "unknown option '--format'";
    QTest::newRow("bad format") << args("check --domains 0 --format xml") << O::UsageError << ""
                                << "bad value 'xml' for --format";
    QTest::newRow("negative settle") << args("check --domains 0 --settle -1") << O::UsageError << ""
                                     << "bad value '-1' for --settle";
    QTest::newRow("settle not a number")
        << args("check --domains 0 --settle soon") << O::UsageError << ""
        << "bad value 'soon'";
    QTest::newRow("unknown command") << args("list --domains 0") << O::UsageError << ""
                                     << "unknown command 'list'";
    QTest::newRow("unknown program option") << args("--domains 0") << O::UsageError << ""
                                            << "unknown option '--domains'";
    QTest::newRow("nothing") << QStringList() << O::UsageError << ""
                             << "no command given";
    QTest::newRow("stray argument") << args("snapshot --domains 0 3") << O::UsageError << ""
                                    << "unexpected argument '3'";
    QTest::newRow("verbose takes no value")
        << args("snapshot --domains 0 --verbose=1") << O::UsageError << ""
        << "takes no value";
}

void TestInspectorParts::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Outcome, outcome);
    QFETCH(QString, domains);
    QFETCH(QString, settings);
    InspectorOptions options;
    QString error;
    QCOMPARE(CommandLine::parse(arguments, options, error), outcome);
    if (outcome == CommandLine::Outcome::UsageError) {
        QVERIFY2(error.contains(settings), qPrintable(error));
        return;
    }
    QVERIFY(error.isEmpty());
    if (outcome != CommandLine::Outcome::Run) {
        return;
    }
    QCOMPARE(idText(options.domains), domains);
    const QString read =
        QStringLiteral("%1 %2 %3 %4 %5")
            .arg(options.settleSeconds)
            .arg(options.quietSeconds)
            .arg(options.format == InspectorOptions::Format::Json ? QStringLiteral("json")
                                                                  : QStringLiteral("text"))
            .arg(options.durationSeconds)
            .arg(int(options.verbose));
    QCOMPARE(read, settings);
}

void TestInspectorParts::settleRule_data()
{
    // Observations "count@ms" in order; the index of the one that ends the wait (-1: none does)
    // and whether it ended settled. Quiet period 2000 ms, longest wait 10000 ms, count 5 at join.
    QTest::addColumn<QStringList>("observations");
    QTest::addColumn<int>("endsAt");
    QTest::addColumn<bool>("settled");
    QTest::newRow("nothing ever changes") << QStringList{"5@500", "5@1999", "5@2000"} << 2 << true;
    QTest::newRow("a change restarts the quiet period")
        << QStringList{"5@1000", "6@1500", "6@3000", "6@3500"} << 3 << true;
    QTest::newRow("changes until the longest wait")
        << QStringList{"6@1000", "7@2900", "8@4800", "9@6700", "10@8600", "11@10000"} << 5 << false;
    QTest::newRow("quiet at the longest wait counts as settled")
        << QStringList{"6@8000", "6@10000"} << 1 << true;
    QTest::newRow("still waiting") << QStringList{"6@100", "7@1000", "7@2999"} << -1 << false;
}

void TestInspectorParts::settleRule()
{
    QFETCH(QStringList, observations);
    QFETCH(int, endsAt);
    QFETCH(bool, settled);
    SettleRule rule(2000, 10000, 5);
    int ended = -1;
    for (int i = 0; i < observations.size() && ended < 0; ++i) {
        const QStringList parts = observations[i].split(QLatin1Char('@'));
        if (rule.observe(parts[0].toULongLong(), parts[1].toLongLong())) {
            ended = i;
        }
    }
    QCOMPARE(ended, endsAt);
    QCOMPARE(rule.isSettled(), settled);
}

void TestInspectorParts::jsonText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("plain") << QByteArray("RadarTrack") << QByteArray("RadarTrack");
    QTest::newRow("quote and backslash") << QByteArray("a\"b\\c") << QByteArray("a\\\"b\\\\c");
    QTest::newRow("controls") << QByteArray("a\nb\tc\x01\x1f\x7f", 8)
                              << QByteArray("a\\nb\\tc\\u0001\\u001f\\u007f");
    QTest::newRow("zero byte") << QByteArray("a\0b", 3) << QByteArray("a\\u0000b");
    QTest::newRow("valid UTF-8 kept")
        << QByteArray("值班员 ✓ \xf0\x9f\x9b\xb0") << QByteArray("值班员 ✓ \xf0\x9f\x9b\xb0");
    QTest::newRow("GBK bytes") << QByteArray("\xc4\xe3") << QByteArray("\xef\xbf\xbd\xef\xbf\xbd");
    QTest::newRow("cut sequence at the end")
        << QByteArray("ab\xe5\x80") << QByteArray("ab\xef\xbf\xbd\xef\xbf\xbd");
    QTest::newRow("overlong slash")
        << QByteArray("\xc0\xaf") << QByteArray("\xef\xbf\xbd\xef\xbf\xbd");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80")
                               << QByteArray("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
}

void TestInspectorParts::jsonText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, escaped);
    std::string out;
    JsonWriter::appendEscaped(out, bytes.constData(), size_t(bytes.size()));
    QCOMPARE(QByteArray::fromStdString(out), escaped);
    // Whatever the bytes, the string is valid JSON.
    std::string document;
    JsonWriter(document).beginArray().string(bytes.toStdString()).endArray();
    QJsonParseError error;
    QJsonDocument::fromJson(QByteArray::fromStdString(document), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
}

void TestInspectorParts::jsonDocument()
{
    for (JsonWriter::Layout layout : {JsonWriter::Layout::Indented, JsonWriter::Layout::OneLine}) {
        std::string out;
        JsonWriter json(out, layout);
        json.beginObject();
        json.key("z").number(-2147483648LL);
        json.key("a").beginArray().string("x").boolean(true).null().beginObject().endObject();
        json.beginArray().endArray().endArray();
        json.key("m").beginObject().key("pid").number(4294967295LL).endObject();
        json.endObject();
        const QByteArray text = QByteArray::fromStdString(out);
        QCOMPARE(text.contains('\n'), layout == JsonWriter::Layout::Indented);
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(text, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.value(QLatin1String("z")).toDouble(), -2147483648.0);
        QCOMPARE(object.value(QLatin1String("a")).toArray().size(), 5);
        QCOMPARE(object.value(QLatin1String("m")).toObject().value(QLatin1String("pid")).toDouble(),
                 4294967295.0);
        // Members stay in the order written.
        QVERIFY(text.indexOf("\"z\"") < text.indexOf("\"a\""));
        QVERIFY(text.indexOf("\"a\"") < text.indexOf("\"m\""));
    }
}

void TestInspectorParts::terminalText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("plain") << QByteArray("radar-01") << QByteArray("radar-01");
    QTest::newRow("Chinese kept") << QByteArray("值班员") << QByteArray("值班员");
    QTest::newRow("escape sequence") << QByteArray("\x1b[2Jx") << QByteArray("\\x1b[2Jx");
    QTest::newRow("C1 control") << QByteArray("a\xc2\x9b"
                                              "b")
                                << QByteArray("a\\x9bb");
    QTest::newRow("newline and DEL") << QByteArray("a\nb\x7f") << QByteArray("a\\x0ab\\x7f");
    QTest::newRow("invalid byte") << QByteArray("a\xff") << QByteArray("a\xef\xbf\xbd");
    QTest::newRow("no-break space kept") << QByteArray("a\xc2\xa0"
                                                       "b")
                                         << QByteArray("a\xc2\xa0"
                                                       "b");
}

void TestInspectorParts::terminalText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(PrintableText::forTerminal(bytes.toStdString())), shown);
}

void TestInspectorParts::resultOutput()
{
    // Standard output and standard error become pipes for the time of the test.
    std::fflush(stdout);
    std::fflush(stderr);
    int out[2];
    int err[2];
    QVERIFY(::pipe2(out, O_NONBLOCK) == 0);
    QVERIFY(::pipe2(err, O_NONBLOCK) == 0);
    const int savedOut = ::dup(STDOUT_FILENO);
    const int savedErr = ::dup(STDERR_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    bool written = false;
    {
        ResultOutput result;
        FailureLine::print(DiscoveryQuery::Publications);
        std::printf("chatter\n");
        std::fflush(stdout);
        written = result.write(std::string("{\"result\": 1}\n"));
    }
    // Back to what it was: standard output is the result's again.
    std::printf("after\n");
    std::fflush(stdout);
    ::dup2(savedOut, STDOUT_FILENO);
    ::dup2(savedErr, STDERR_FILENO);
    for (int fd : {savedOut, savedErr, out[1], err[1]}) {
        ::close(fd);
    }
    const QByteArray resultText = drain(out[0]);
    const QByteArray diagnostics = drain(err[0]);
    ::close(out[0]);
    ::close(err[0]);
    QVERIFY(written);
    QCOMPARE(resultText, QByteArray("{\"result\": 1}\nafter\n"));
    QCOMPARE(diagnostics, QByteArray("get_publications failed\nchatter\n"));
}

void TestInspectorParts::problemsJson()
{
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    ProblemsJson::writeProblems(json, sampleReport());
    json.endObject();
    QJsonParseError error;
    const QJsonObject document =
        QJsonDocument::fromJson(QByteArray::fromStdString(out), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    // Counted, not listed: the pairs left out are errors too.
    QCOMPARE(document.value(QLatin1String("error_count")).toInt(), 8);
    const QJsonObject counts =
        document.value(QLatin1String("problem_counts")).toArray().first().toObject();
    QCOMPARE(counts.value(QLatin1String("domain")).toInt(), 7);
    QCOMPARE(counts.value(QLatin1String("errors")).toInt(), 8);
    const QJsonArray problems = document.value(QLatin1String("problems")).toArray();
    QCOMPARE(problems.size(), 3);
    const QJsonObject pair = problems[0].toObject();
    QCOMPARE(pair.value(QLatin1String("kind")).toString(), QStringLiteral("incompatible_pair"));
    QCOMPARE(pair.value(QLatin1String("topic")).toString(), QStringLiteral("T\x1b[2J"));
    QCOMPARE(pair.value(QLatin1String("writer")).toObject().value(QLatin1String("process")),
             QJsonValue(QStringLiteral("pub:1")));
    QCOMPARE(pair.value(QLatin1String("reasons"))
                 .toArray()
                 .first()
                 .toObject()
                 .value(QLatin1String("reader_value")),
             QJsonValue(QStringLiteral("RELIABLE_RELIABILITY_QOS")));
    const QJsonObject more = problems[1].toObject();
    QCOMPARE(more.value(QLatin1String("kind")).toString(), QStringLiteral("more_pairs"));
    QVERIFY(more.value(QLatin1String("writer")).isNull());
    QVERIFY(more.value(QLatin1String("reader")).isNull());
    QCOMPARE(more.value(QLatin1String("count")).toInt(), 7);
    const QJsonObject hint = problems[2].toObject();
    QCOMPARE(hint.value(QLatin1String("level")).toString(), QStringLiteral("hint"));
    QCOMPARE(hint.value(QLatin1String("kind")).toString(), QStringLiteral("writers_only"));
}

void TestInspectorParts::problemsText()
{
    std::string out;
    ProblemsText::append(out, sampleReport());
    const QStringList lines = QString::fromStdString(out).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(1), QStringLiteral("  Problems in domain 7: 8 writer/reader pairs that "
                                            "cannot match, 0 endpoints that match nothing, 1 "
                                            "one-sided topic"));
    // The topic's escape is shown, not acted on; the reasons get a line each.
    QCOMPARE(lines.value(2), QStringLiteral("    错误  topic T\\x1b[2J: cannot match"));
    QCOMPARE(lines.value(3), QStringLiteral("      writer 0x77  pub:1"));
    QCOMPARE(lines.value(4), QStringLiteral("      reader 0x72  sub:2"));
    QVERIFY2(lines.value(5).startsWith(QStringLiteral("      reliability：too weak")),
             qPrintable(lines.value(5)));
    // An entry without endpoints has no endpoint lines.
    QCOMPARE(lines.value(6), QStringLiteral("    错误  topic T\\x1b[2J: 7 more"));
    QCOMPARE(lines.value(7), QStringLiteral("    提示  topic Lonely: writers only"));
    // A domain the report does not know gets no block.
    std::string other;
    ProblemsText::appendDomain(other, sampleReport(), 8);
    QVERIFY(other.empty());
}

void TestInspectorParts::eventStream()
{
    // A log that holds two events, given five before the stream reads: three are lost, and
    // said to be.
    EventLog log(2);
    std::vector<DiscoveryEvent> burst;
    for (int n = 1; n <= 5; ++n) {
        burst.push_back(sampleEvent(n));
    }
    log.append(burst);
    QByteArray first;
    QByteArray second;
    uint64_t lost = 0;
    uint64_t printed = 0;
    bool written = false;
    bool writtenAgain = false;
    {
        CapturedStdout captured;
        QVERIFY(captured.ok());
        {
            ResultOutput output;
            EventStream stream(log, output);
            written = stream.printNew();
        }
        first = captured.result();
    }
    QVERIFY(written);
    const QList<QByteArray> lines = first.split('\n');
    QCOMPARE(lines.size(), 3); // two lines and what follows the last line end
    QVERIFY(lines[2].isEmpty());
    QCOMPARE(QJsonDocument::fromJson(lines[0]).object().value(QLatin1String("epoch_ms")).toDouble(),
             1796669304004.0);
    QCOMPARE(QJsonDocument::fromJson(lines[1]).object().value(QLatin1String("handle")).toString(),
             QStringLiteral("0x%1").arg(5, 32, 16, QLatin1Char('0')));
    {
        CapturedStdout captured;
        {
            ResultOutput output;
            EventStream stream(log, output);
            writtenAgain = stream.printNew();
            log.append({sampleEvent(6)});
            writtenAgain = stream.printNew() && writtenAgain;
            // nothing new: nothing printed, nothing more lost
            writtenAgain = stream.printNew() && writtenAgain;
            lost = stream.lost();
            printed = stream.printed();
        }
        second = captured.result();
    }
    QVERIFY(writtenAgain);
    QCOMPARE(lost, uint64_t(3));
    QCOMPARE(printed, uint64_t(3));
    QCOMPARE(second.count('\n'), 3);
    QVERIFY(second.endsWith(QByteArray("\"policies\":[]}\n")));
}

QTEST_APPLESS_MAIN(TestInspectorParts)
#include "tst_inspectorparts.moc"
