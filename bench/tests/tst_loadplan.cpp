// The load generator's split of the synthetic system over its processes, and how the
// benchmark runner starts the processes of either load.
#include "BenchOptions.h"
#include "CommandLine.h"
#include "LoadPlan.h"

#include <QtTest>
#include <map>
#include <set>

class TestLoadPlan : public QObject
{
    Q_OBJECT

private slots:
    void splitCoversEverythingOnce_data();
    void splitCoversEverythingOnce();
    void parseRefusesBadInput_data();
    void parseRefusesBadInput();
    void sysInfoIsDistinct();
    void runnerStartsTheLoad_data();
    void runnerStartsTheLoad();
};

void TestLoadPlan::splitCoversEverythingOnce_data()
{
    QTest::addColumn<uint>("participants");
    QTest::addColumn<uint>("writers");
    QTest::addColumn<uint>("readers");
    QTest::addColumn<uint>("topics");
    QTest::addColumn<uint>("processes");
    QTest::addColumn<uint>("hotWriters");
    QTest::addColumn<uint>("hotReaders");
    QTest::newRow("1k in one process") << 100u << 500u << 500u << 500u << 1u << 5u << 5u;
    QTest::newRow("5k in five") << 500u << 2500u << 2500u << 1000u << 5u << 25u << 25u;
    QTest::newRow("10k in ten") << 1000u << 5000u << 5000u << 2000u << 10u << 50u << 50u;
    QTest::newRow("uneven") << 7u << 13u << 11u << 5u << 3u << 1u << 1u;
}

void TestLoadPlan::splitCoversEverythingOnce()
{
    QFETCH(uint, participants);
    QFETCH(uint, writers);
    QFETCH(uint, readers);
    QFETCH(uint, topics);
    QFETCH(uint, processes);
    QFETCH(uint, hotWriters);
    QFETCH(uint, hotReaders);

    std::set<uint32_t> owned;
    std::map<uint32_t, uint32_t> perParticipant;
    std::map<uint32_t, uint32_t> hotPerProcess;
    uint32_t allWriters = 0, allReaders = 0, hotW = 0, hotR = 0;
    std::set<uint32_t> topicsUsed;
    for (uint32_t k = 0; k < processes; ++k) {
        LoadPlan plan;
        plan.participants = participants;
        plan.writers = writers;
        plan.readers = readers;
        plan.topics = topics;
        plan.processes = processes;
        plan.processIndex = k;
        for (uint32_t p = plan.firstParticipant(); p < plan.lastParticipant(); ++p) {
            QVERIFY2(owned.insert(p).second, "a participant belongs to two processes");
        }
        for (const LoadPlan::Endpoint& e : plan.endpoints()) {
            QVERIFY(e.participant >= plan.firstParticipant());
            QVERIFY(e.participant < plan.lastParticipant());
            QVERIFY(e.topic < topics);
            (e.isWriter ? allWriters : allReaders)++;
            if (e.topic == 0) {
                (e.isWriter ? hotW : hotR)++;
                hotPerProcess[k]++;
            }
            perParticipant[e.participant]++;
            topicsUsed.insert(e.topic);
        }
    }
    QCOMPARE(uint(owned.size()), participants);
    QCOMPARE(allWriters, writers);
    QCOMPARE(allReaders, readers);
    QCOMPARE(hotW, hotWriters);
    QCOMPARE(hotR, hotReaders);
    // Every topic has an endpoint, so every topic shows in the logical view.
    QCOMPARE(uint(topicsUsed.size()), std::min(topics, writers + readers));
    // Endpoints are spread: no participant carries more than twice its share plus the hot ones.
    const uint32_t share = (writers + readers + participants - 1) / participants;
    for (const auto& entry : perParticipant) {
        QVERIFY2(entry.second <= 2 * share + 2, "endpoints piled onto one participant");
    }
    // The hot topic is used by more than one process when there are several.
    if (processes > 1 && hotW + hotR >= processes) {
        QVERIFY(hotPerProcess.size() > 1);
    }
}

void TestLoadPlan::parseRefusesBadInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("defaults") << QStringList{} << true;
    QTest::newRow("full") << QStringList{"--domain",  "150", "--participants", "10",
                                         "--writers", "5",   "--readers",      "5",
                                         "--topics",  "3",   "--processes",    "2",
                                         "--index",   "1",   "--hot-percent",  "10"}
                          << true;
    QTest::newRow("domain too high") << QStringList{"--domain", "201"} << false;
    QTest::newRow("index past processes")
        << QStringList{"--processes", "2", "--index", "2"} << false;
    QTest::newRow("more processes than participants")
        << QStringList{"--participants", "2", "--processes", "3"} << false;
    QTest::newRow("one topic") << QStringList{"--topics", "1"} << false;
    QTest::newRow("not a number") << QStringList{"--writers", "many"} << false;
    QTest::newRow("missing value") << QStringList{"--writers"} << false;
    QTest::newRow("unknown") << QStringList{"--colour", "red"} << false;
}

void TestLoadPlan::parseRefusesBadInput()
{
    QFETCH(QStringList, args);
    QFETCH(bool, accepted);
    std::vector<std::string> argv;
    for (const QString& arg : args) {
        argv.push_back(arg.toStdString());
    }
    LoadPlan plan;
    std::string error;
    QCOMPARE(plan.parse(argv, error), accepted);
    QCOMPARE(error.empty(), accepted);
}

void TestLoadPlan::sysInfoIsDistinct()
{
    std::set<std::string> processes;
    std::set<std::string> hosts;
    for (uint32_t p = 0; p < 1000; ++p) {
        std::map<std::string, std::string> info;
        for (const peerkit::Property& property : LoadPlan::sysInfo(p)) {
            info[property.name] = property.value;
        }
        processes.insert(info["dds.sys_info.process_id"] +
                         info["dds.sys_info.executable_filepath"]);
        hosts.insert(info["dds.sys_info.hostname"] + '-' + info["dds.sys_info.ip"]);
    }
    QCOMPARE(processes.size(), size_t(1000));
    QCOMPARE(hosts.size(), size_t(100));
}

void TestLoadPlan::runnerStartsTheLoad_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("program"); // empty: refused
    const QStringList base = {
        "--loadgen", "/x/bench-loadgen", "--json", "out.json", "--participants",
        "4",         "--processes",      "2"};
    QTest::newRow("load generator") << base << "/x/bench-loadgen";
    QTest::newRow("forge") << base + QStringList{"--load", "forge", "--forge", "/x/rtps-forge"}
                           << "/x/rtps-forge";
    QTest::newRow("forge without its path") << base + QStringList{"--load", "forge"} << "";
    QTest::newRow("unknown load") << base + QStringList{"--load", "real"} << "";
    QTest::newRow("forge, no lease")
        << base + QStringList{"--load", "forge", "--forge", "f", "--forge-lease", "0"} << "";
}

void TestLoadPlan::runnerStartsTheLoad()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, program);
    BenchOptions options;
    QString error;
    QCOMPARE(options.parse(arguments, error), !program.isEmpty());
    if (program.isEmpty()) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(options.loadProgram(), program);
    const QStringList second = options.loadArguments(1);
    QCOMPARE(second.mid(second.indexOf("--index"), 2), (QStringList{"--index", "1"}));
    QCOMPARE(second.mid(second.indexOf("--participants"), 2), (QStringList{"--participants", "4"}));
    // The forge plays the benchmark's system for the one real participant, the monitor; the
    // load generator knows no such options.
    QCOMPARE(second.contains("--scenario"), options.forged());
    if (options.forged()) {
        QCOMPARE(second.mid(second.indexOf("--scenario"), 2),
                 (QStringList{"--scenario", "system"}));
        QCOMPARE(second.mid(second.indexOf("--lease"), 2), (QStringList{"--lease", "30"}));
        // The forge takes every argument as the system scenario's.
        std::vector<QByteArray> storage{"rtps-forge"};
        for (const QString& argument : second) {
            storage.push_back(argument.toUtf8());
        }
        std::vector<char*> argv;
        for (QByteArray& argument : storage) {
            argv.push_back(argument.data());
        }
        ForgeOptions forge;
        std::string forgeError;
        QCOMPARE(int(CommandLine::parse(int(argv.size()), argv.data(), forge, forgeError)),
                 int(CommandLine::Outcome::Run));
        QCOMPARE(forge.scenario, std::string("system"));
        QCOMPARE(forge.system.participants, 4u);
        QCOMPARE(forge.system.processIndex, 1u);
        QCOMPARE(forge.system.processes, 2u);
    }
}

QTEST_APPLESS_MAIN(TestLoadPlan)
#include "tst_loadplan.moc"
