#include "ForgeProcess.h"

#include "TestEnv.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>

ForgeProcess::ForgeProcess() = default;

ForgeProcess::~ForgeProcess()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool ForgeProcess::start(uint32_t domain, const QString& scenario, const QStringList& extra)
{
    const QString program = TestEnv::program("BRELVANE_RTPS_FORGE");
    if (program.isEmpty()) {
        m_error = QStringLiteral("BRELVANE_RTPS_FORGE is not set");
        return false;
    }
    m_process = std::make_unique<QProcess>();
    // What Cyclone's receivers complain about goes to the receiver's log, the forge's own
    // complaints straight to the test log.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // setpriv has the kernel kill the forge when this process dies: a test that aborts must
    // not leave it announcing into the next run's domain.
    m_process->start(QStringLiteral("setpriv"),
                     QStringList{QStringLiteral("--pdeathsig"), QStringLiteral("KILL"),
                                 QStringLiteral("--"), program, QStringLiteral("--domain"),
                                 QString::number(domain), QStringLiteral("--scenario"), scenario} +
                         extra,
                     QIODevice::ReadOnly);
    if (!m_process->waitForStarted(10000)) {
        m_error = program + QStringLiteral(": ") + m_process->errorString();
        return false;
    }
    return true;
}

QString ForgeProcess::waitForLine(const QString& prefix, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (m_process) {
        while (m_process->canReadLine()) {
            const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
            if (line.startsWith(prefix)) {
                return line.mid(prefix.size());
            }
        }
        if (m_process->state() == QProcess::NotRunning || deadline.hasExpired()) {
            break;
        }
        m_process->waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 200)));
    }
    return QString();
}

bool ForgeProcess::stop(int timeoutMs)
{
    if (!m_process) {
        return false;
    }
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(timeoutMs)) {
            m_process->kill();
            m_process->waitForFinished(5000);
            return false;
        }
    }
    return m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
}
