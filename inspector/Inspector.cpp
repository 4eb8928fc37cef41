#include "Inspector.h"

#include "CommandLine.h"
#include "DomainSelection.h"
#include "ExitCode.h"
#include "MonitorLib.h"
#include "QuitOnSignal.h"
#include "ResultOutput.h"
#include "SettleRule.h"
#include "SnapshotCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

namespace {

// How often the change count is looked at while waiting.
const int tickMs = 50;

int64_t milliseconds(double seconds)
{
    return int64_t(std::llround(seconds * 1000.0));
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double peakMemoryMiB()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

QString idList(const std::set<uint32_t>& ids)
{
    QStringList texts;
    for (uint32_t id : ids) {
        texts << QString::number(id);
    }
    return texts.join(QLatin1Char(','));
}

} // namespace

Inspector::Inspector(ResultOutput& output) : m_output(output) {}

int Inspector::run(const QStringList& arguments)
{
    QString error;
    const CommandLine::Outcome outcome = CommandLine::parse(arguments, m_options, error);
    switch (outcome) {
    case CommandLine::Outcome::UsageError: {
        const QString command = CommandLine::commandName(m_options.command);
        diagnose(error);
        diagnose(QStringLiteral("Run 'brelvane %1--help' for its usage.")
                     .arg(command.isEmpty() ? QString() : command + QLatin1Char(' ')));
        return ExitCode::Usage;
    }
    case CommandLine::Outcome::Help:
        return publish(CommandLine::usage(m_options.command).toStdString()) ? ExitCode::Done
                                                                            : ExitCode::Usage;
    case CommandLine::Outcome::Version:
        return publish("brelvane " + QCoreApplication::applicationVersion().toStdString() + '\n')
                   ? ExitCode::Done
                   : ExitCode::Usage;
    case CommandLine::Outcome::Run:
        break;
    }
    // SIGINT and SIGTERM end the event loop, so the monitor's participants are deleted and the
    // peers see them leave at once, as when the command ends by itself.
    QuitOnSignal quitOnSignal;
    m_monitor = &MonitorLib::getInstance();
    if (!join()) {
        return ExitCode::Usage;
    }
    switch (m_options.command) {
    case InspectorOptions::Command::Snapshot:
        return snapshot();
    case InspectorOptions::Command::Check:
        return check();
    case InspectorOptions::Command::Watch:
        return watch();
    case InspectorOptions::Command::None:
        break;
    }
    return ExitCode::Usage;
}

bool Inspector::join()
{
    const std::set<uint32_t> notJoined = DomainSelection::apply(*m_monitor, m_options.domains, {});
    if (!notJoined.empty()) {
        diagnose(QStringLiteral("cannot join domain %1: the middleware could not create a "
                                "participant there (check the configuration that "
                                "CYCLONEDDS_URI names)")
                     .arg(idList(notJoined)));
        return false;
    }
    verbose(QStringLiteral("joined domain %1").arg(idList(m_options.domains)));
    return true;
}

bool Inspector::waitForDiscovery(bool& settled)
{
    QElapsedTimer clock;
    clock.start();
    SettleRule rule(milliseconds(m_options.quietSeconds), milliseconds(m_options.settleSeconds),
                    m_monitor->signalCount());
    QEventLoop loop;
    bool done = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (rule.observe(m_monitor->signalCount(), clock.elapsed())) {
            done = true;
            loop.quit();
        }
    });
    tick.start(tickMs);
    // Ends at once when the wait is over before the first tick (--settle 0).
    if (!rule.observe(m_monitor->signalCount(), clock.elapsed())) {
        loop.exec();
    } else {
        done = true;
    }
    settled = rule.isSettled();
    if (done && !settled) {
        diagnose(QStringLiteral("discovery had not settled when the wait ended (--settle "
                                "%1 s): the result may be incomplete")
                     .arg(m_options.settleSeconds));
    }
    if (done) {
        verbose(QStringLiteral("discovery %1 after %2 s (last change at %3 s)")
                    .arg(settled ? QStringLiteral("settled") : QStringLiteral("had not settled"))
                    .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1)
                    .arg(double(rule.lastChangeMs()) / 1000.0, 0, 'f', 1));
    } else {
        diagnose(QStringLiteral("interrupted before discovery settled"));
    }
    return done;
}

int Inspector::snapshot()
{
    DocumentHeader header;
    header.command = QStringLiteral("snapshot");
    if (!waitForDiscovery(header.settled)) {
        return ExitCode::Interrupted;
    }
    header.takenAt = QDateTime::currentDateTimeUtc();
    const SnapshotCommand::Result result =
        SnapshotCommand::run(*m_monitor, header, m_options.format);
    QElapsedTimer timer;
    timer.start();
    const bool written = publish(result.text);
    const double printed = msSince(timer);
    verbose(QStringLiteral("snapshot of %1 participants and %2 endpoints: collected in %3 ms, "
                           "document built in %4 ms, printed in %5 ms (%6 ms in all, %7 bytes); "
                           "peak memory %8 MiB")
                .arg(qulonglong(result.participants))
                .arg(qulonglong(result.endpoints))
                .arg(result.collectMs, 0, 'f', 1)
                .arg(result.buildMs, 0, 'f', 1)
                .arg(printed, 0, 'f', 1)
                .arg(result.collectMs + result.buildMs + printed, 0, 'f', 1)
                .arg(qulonglong(result.text.size()))
                .arg(peakMemoryMiB(), 0, 'f', 1));
    return written ? ExitCode::Done : ExitCode::Usage;
}

int Inspector::check()
{
    diagnose(QStringLiteral("check is not available yet"));
    return ExitCode::Usage;
}

int Inspector::watch()
{
    diagnose(QStringLiteral("watch is not available yet"));
    return ExitCode::Usage;
}

bool Inspector::publish(const std::string& result)
{
    if (m_output.write(result)) {
        return true;
    }
    diagnose(QStringLiteral("cannot write the result to standard output"));
    return false;
}

void Inspector::diagnose(const QString& message) const
{
    std::fprintf(stderr, "brelvane: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

void Inspector::verbose(const QString& message) const
{
    if (m_options.verbose) {
        diagnose(message);
    }
}
