#include "LoadSystem.h"

#include "EventWait.h"

#include <QDebug>

LoadSystem::LoadSystem(const BenchOptions& options, QObject* parent)
    : QObject(parent), m_options(options)
{
}

LoadSystem::~LoadSystem()
{
    stop();
}

void LoadSystem::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!m_options.loadgenConfig.isEmpty() && !m_options.forged()) {
        environment.insert(QStringLiteral("CYCLONEDDS_URI"),
                           environment.value(QStringLiteral("CYCLONEDDS_URI")) + QLatin1Char(',') +
                               m_options.loadgenConfig);
    }
    for (uint32_t i = 0; i < m_options.processes; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setProcessEnvironment(environment);
        const int index = int(i);
        connect(process.get(), &QProcess::readyReadStandardOutput, this,
                [this, index] { onReadable(index); });
        connect(process.get(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
                [this] { ++m_exited; });
        process->start(m_options.loadProgram(), m_options.loadArguments(i));
        m_processes.push_back(std::move(process));
        m_partial.emplace_back();
    }
}

bool LoadSystem::waitReady(int timeoutMs)
{
    const int count = processCount();
    EventWait::until([this, count] { return m_ready == count || m_exited > 0; }, timeoutMs, 50);
    return m_ready == count && m_exited == 0;
}

void LoadSystem::send(int index, const QString& command)
{
    QProcess& process = *m_processes[size_t(index)];
    if (process.state() == QProcess::Running) {
        process.write((command + QLatin1Char('\n')).toUtf8());
        // At once, not when the event loop gets to it: a busy GUI thread may not for long.
        process.waitForBytesWritten(1000);
    }
}

void LoadSystem::sendAll(const QString& command)
{
    for (int i = 0; i < processCount(); ++i) {
        send(i, command);
    }
}

void LoadSystem::stop()
{
    sendAll(QStringLiteral("quit"));
    for (const std::unique_ptr<QProcess>& process : m_processes) {
        process->closeWriteChannel();
    }
    for (const std::unique_ptr<QProcess>& process : m_processes) {
        if (process->state() != QProcess::NotRunning && !process->waitForFinished(30000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    m_processes.clear();
}

void LoadSystem::onReadable(int index)
{
    QProcess& process = *m_processes[size_t(index)];
    QByteArray& partial = m_partial[size_t(index)];
    partial += process.readAllStandardOutput();
    int end;
    while ((end = partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(partial.left(end));
        partial.remove(0, end + 1);
        if (line.startsWith(QLatin1String("READY"))) {
            ++m_ready;
            m_slowestCreationMs =
                std::max(m_slowestCreationMs, line.section(QLatin1Char(' '), 3, 3).toDouble());
        }
        emit lineReceived(index, line);
    }
}
