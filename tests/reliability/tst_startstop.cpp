// Starts and closes the real monitor over and over (tests/reliability/startstop), each time with
// a domain watched and, in the first case, a peer shown: every run must end by itself, in time,
// with exit code 0. The exit-time teardown of the monitor runs with a live domain while the
// polling thread may be anywhere in its pass; a hang, a crash or a sanitizer report fails.
// scripts/startstop.sh does the same a thousand times.
#include "PeerProcess.h"
#include "TestEnv.h"

#include <QProcess>
#include <QtTest>

namespace {

// Generous: a start and stop takes well under a second, more under sanitizers.
const int runMs = 120000;

} // namespace

class TestStartStop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_program = TestEnv::program("BRELVANE_MONITOR_STARTSTOP");
        QVERIFY(!m_program.isEmpty());
        QVERIFY2(m_peer.startPeer({QStringLiteral("--domain"), QString::number(TestEnv::domain(0)),
                                   QStringLiteral("--sysinfo"),
                                   QStringLiteral("host=startstop-peer,pid=42,exe=/opt/peer"),
                                   QStringLiteral("--writer"), QStringLiteral("StartStop"),
                                   QStringLiteral("--reader"), QStringLiteral("StartStop")}),
                 qPrintable(m_peer.errorString()));
    }

    void cycles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("verdict");
        // Closed at a random moment of the polling pass after the peer showed.
        QTest::newRow("peer shown, then closed")
            << QStringList{QStringLiteral("--host"), QStringLiteral("startstop-peer"),
                           QStringLiteral("--linger-ms"), QStringLiteral("300")}
            << QStringLiteral("SEEN");
        // Closed while the domain's participant is brand new and the first pass may run.
        QTest::newRow("closed at once") << QStringList() << QStringLiteral("UNSEEN");
    }

    void cycles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, verdict);
        const QStringList all =
            QStringList{QStringLiteral("--domain"), QString::number(TestEnv::domain(0))} +
            arguments;
        for (int cycle = 0; cycle < 10; ++cycle) {
            QProcess monitor;
            monitor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            monitor.start(m_program, all, QIODevice::ReadOnly);
            QVERIFY2(monitor.waitForStarted(runMs), qPrintable(monitor.errorString()));
            const bool ended = monitor.waitForFinished(runMs);
            if (!ended) {
                monitor.kill();
                monitor.waitForFinished(5000);
            }
            const QString context = QStringLiteral("cycle %1").arg(cycle);
            QVERIFY2(ended, qPrintable(context + QStringLiteral(": hangs")));
            QVERIFY2(monitor.exitStatus() == QProcess::NormalExit,
                     qPrintable(context + QStringLiteral(": crashed")));
            QCOMPARE(monitor.exitCode(), 0);
            const QStringList lines = QString::fromUtf8(monitor.readAllStandardOutput())
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines, (QStringList{verdict, QStringLiteral("CLOSING")}));
        }
        QVERIFY(m_peer.isRunning());
    }

    void cleanupTestCase() { QVERIFY(m_peer.stop()); }

private:
    QString m_program;
    PeerProcess m_peer;
};

QTEST_GUILESS_MAIN(TestStartStop)
#include "tst_startstop.moc"
