// The real main window while another process replaces a crowd of 50 participants every second:
// the views rebuild throughout, and once that process is killed and the crowd's leases have
// run out, nothing of it may be left in the logical view, the physical view or a topic tab.
// Runs BRELVANE_CHURN_SECONDS seconds of churn (default 10; scripts/churn.sh runs 60).
#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "ChangeCounter.h"
#include "DialogDriver.h"
#include "MonitorLib.h"
#include "PeerProcess.h"
#include "SysPhysics.h"
#include "TestEnv.h"
#include "TopicInfo.h"
#include "TopicTab.h"
#include "TreeDump.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSet>
#include <QTableWidget>
#include <QtTest>

namespace {

const int crowd = 50;
const QString topic = QStringLiteral("ChurnTopic");
const PhysicalHost churnHost{"churn-host", "192.0.2.99"};
const QString anchorHost = QStringLiteral("churn-anchor-127.0.0.1");
const QString anchorProcess = QStringLiteral("anchor:77");
// The crowd's lease is 3 s (tests/reliability/churn-loopback.xml); the rest is for a busy
// machine.
const int expiryMs = 60000;
const int discoveryMs = 30000;

int churnSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("BRELVANE_CHURN_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 10;
}

QStringList rowTexts(const QTableWidget* table, int row)
{
    QStringList texts;
    for (int c = 0; c < 4; ++c) {
        texts << (table->item(row, c) ? table->item(row, c)->text() : QString());
    }
    return texts;
}

} // namespace

class TestChurn : public QObject
{
    Q_OBJECT

private slots:
    void crowdChurnsThenExpires()
    {
        const uint32_t domain = TestEnv::domain(0);
        const QString churnPeer = TestEnv::program("BRELVANE_CHURN_PEER");
        const QString churnUri = TestEnv::program("BRELVANE_CHURN_URI");
        QVERIFY(!churnPeer.isEmpty() && !churnUri.isEmpty());

        // A peer that stays: the topic and its host must remain, with nothing else.
        PeerProcess anchor;
        QVERIFY2(anchor.startPeer({QStringLiteral("--domain"), QString::number(domain),
                                   QStringLiteral("--sysinfo"),
                                   QStringLiteral("host=churn-anchor,pid=77,exe=/opt/churn/anchor"),
                                   QStringLiteral("--writer"), topic}),
                 qPrintable(anchor.errorString()));
        // The crowd's process reads its own Cyclone configuration, with the short lease.
        PeerProcess churn;
        // setpriv: the kernel kills it when this process dies, so that a test that aborts
        // leaves no crowd behind in the domain.
        QVERIFY2(churn.start(QStringLiteral("setpriv"),
                             {QStringLiteral("--pdeathsig"), QStringLiteral("KILL"),
                              QStringLiteral("--"), QStringLiteral("env"),
                              QStringLiteral("CYCLONEDDS_URI=") + churnUri, churnPeer,
                              QStringLiteral("--domain"), QString::number(domain),
                              QStringLiteral("--count"), QString::number(crowd),
                              QStringLiteral("--topic"), topic}),
                 qPrintable(churn.errorString()));
        QCOMPARE(int(churn.participants().size()), crowd);

        BrelvaneQtDemo window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ChangeCounter changes;
        QVERIFY(runDomainDialog(window, QString::number(domain), QString()).closedByAccept);
        SysPhysics* physics = window.widget->sysPhysic;
        QTRY_VERIFY_WITH_TIMEOUT(crowdProcesses(physics).size() >= crowd, discoveryMs);
        QVERIFY(TopicTab::open(window, domain, topic));

        // While the crowd churns: read the views as an operator would, and reopen the topic
        // tab now and then so that its page is built and thrown away too.
        QSet<QString> processesSeen;
        int generations = 0;
        int reopened = 0;
        const QDeadlineTimer end(churnSeconds() * 1000);
        QDeadlineTimer nextReopen(2000);
        while (!end.hasExpired()) {
            QTest::qWait(100);
            const QStringList shown = crowdProcesses(physics);
            processesSeen.unite(QSet<QString>(shown.begin(), shown.end()));
            for (QString line;
                 !(line = churn.waitForLine(QStringLiteral("GENERATION "), 0)).isEmpty();) {
                generations = line.section(QLatin1Char(' '), 1).toInt();
            }
            if (nextReopen.hasExpired()) {
                QVERIFY(TopicTab::open(window, domain, topic, true));
                ++reopened;
                nextReopen.setRemainingTime(2000);
            }
        }
        QVERIFY2(churn.isRunning(), "the churning process ended early");
        qInfo("%d generations of %d participants, %d view rebuild requests, %d processes seen "
              "in the physical view, topic tab reopened %d times",
              generations, crowd, int(changes.count()), int(processesSeen.size()), reopened);
        // The views followed the churn: they showed processes of more than two generations.
        QVERIFY(processesSeen.size() > 2 * crowd);

        // No goodbye: the crowd goes only when its leases expire.
        churn.kill();
        QElapsedTimer expiry;
        expiry.start();
        const QStringList anchorOnly{QString::fromUtf8("系统物理图"),
                                     QStringLiteral("  ") + anchorHost,
                                     QStringLiteral("    ") + anchorProcess};
        QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(physics->treeWidget), anchorOnly, expiryMs);
        const QStringList topicOnly{QString::fromUtf8("系统逻辑图"),
                                    QStringLiteral("  ") + QString::number(domain) +
                                        QString::fromUtf8("号域"),
                                    QStringLiteral("    ") + topic};
        QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(window.widget->sysLogic->treeWidget), topicOnly,
                                  expiryMs);
        qInfo("the killed crowd left the views after %lld ms", expiry.elapsed());
        TopicInfo* page = TopicTab::open(window, domain, topic, true);
        QVERIFY(page);
        QCOMPARE(page->m_table->rowCount(), 1);
        QCOMPARE(
            rowTexts(page->m_table, 0),
            (QStringList{QStringLiteral("DataWriter"), QStringLiteral("churn-anchor - 127.0.0.1"),
                         QStringLiteral("anchor:77"), QStringLiteral("77")}));
    }

private:
    // The process items under the crowd's host.
    static QStringList crowdProcesses(const SysPhysics* physics)
    {
        QStringList texts;
        const QTreeWidgetItem* host = physics->m_hostItems.value(churnHost, nullptr);
        for (int i = 0; host && i < host->childCount(); ++i) {
            texts << host->child(i)->text(0);
        }
        return texts;
    }
};

QTEST_MAIN(TestChurn)
#include "tst_churn.moc"
