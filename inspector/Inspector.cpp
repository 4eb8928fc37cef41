#include "Inspector.h"

#include "CheckCommand.h"
#include "CommandLine.h"
#include "DomainSelection.h"
#include "EventStream.h"
#include "ExitCode.h"
#include "MonitorEvents.h"
#include "MonitorLib.h"
#include "QuitOnSignal.h"
#include "ResultOutput.h"
#include "SettleRule.h"
#include "SnapshotCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
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
    if (m_options.command == InspectorOptions::Command::Watch) {
        // Recording from the start makes everything the first passes discover a "joined"
        // event: the picture of what already exists.
        m_events = &MonitorEvents::log();
    }
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
                           "%4 problems found in %5 ms, document built in %6 ms, printed in %7 "
                           "ms (%8 ms in all, %9 bytes); peak memory %10 MiB")
                .arg(qulonglong(result.participants))
                .arg(qulonglong(result.endpoints))
                .arg(result.collectMs, 0, 'f', 1)
                .arg(qulonglong(result.problems))
                .arg(result.problemsMs, 0, 'f', 1)
                .arg(result.buildMs, 0, 'f', 1)
                .arg(printed, 0, 'f', 1)
                .arg(result.collectMs + result.problemsMs + result.buildMs + printed, 0, 'f', 1)
                .arg(qulonglong(result.text.size()))
                .arg(peakMemoryMiB(), 0, 'f', 1));
    return written ? ExitCode::Done : ExitCode::Usage;
}

int Inspector::check()
{
    DocumentHeader header;
    header.command = QStringLiteral("check");
    if (!waitForDiscovery(header.settled)) {
        return ExitCode::Interrupted;
    }
    header.takenAt = QDateTime::currentDateTimeUtc();
    const CheckCommand::Result result = CheckCommand::run(*m_monitor, header, m_options.format);
    verbose(QStringLiteral("%1 writer/reader pairs cannot match").arg(qulonglong(result.errors)));
    if (!publish(result.text)) {
        return ExitCode::Usage;
    }
    return result.errors > 0 ? ExitCode::ErrorFound : ExitCode::Done;
}

int Inspector::watch()
{
    EventStream stream(*m_events, m_output);
    QEventLoop loop;
    bool writable = true;
    auto printNew = [&] {
        if (writable && !stream.printNew()) {
            writable = false;
            loop.quit();
        }
    };
    QObject receiver;
    // emitted on the polling thread; delivered queued to the main thread
    QObject::connect(m_events, &EventLog::appended, &receiver, printNew, Qt::QueuedConnection);
    QTimer duration;
    duration.setSingleShot(true);
    QObject::connect(&duration, &QTimer::timeout, &loop, &QEventLoop::quit);
    // What was recorded before the connection existed.
    printNew();
    if (m_options.durationSeconds < 0) {
        loop.exec();
    } else if (m_options.durationSeconds > 0) {
        // QTimer counts in int milliseconds: a longer duration is waited for in several laps.
        int64_t left = milliseconds(m_options.durationSeconds);
        while (writable && left > 0) {
            const int lap = int(std::min<int64_t>(left, std::numeric_limits<int>::max()));
            left -= lap;
            duration.start(lap);
            loop.exec();
            if (duration.isActive()) {
                break; // ended by a signal or a failed write, not by the timer
            }
        }
    }
    // What the last pass recorded while the loop was ending.
    printNew();
    if (stream.lost() > 0) {
        diagnose(QStringLiteral("%1 events were lost: more arrived at once than the event log "
                                "holds")
                     .arg(qulonglong(stream.lost())));
    }
    verbose(QStringLiteral("%1 events printed").arg(qulonglong(stream.printed())));
    if (!writable) {
        // A reader that stopped reading (`brelvane watch | head`) has what it wanted.
        if (m_output.readerGone()) {
            return ExitCode::Done;
        }
        diagnose(QStringLiteral("cannot write the result to standard output"));
        return ExitCode::Usage;
    }
    return ExitCode::Done;
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
