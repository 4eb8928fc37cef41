#include "PeerProcess.h"

#include "TestEnv.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>

PeerProcess::PeerProcess() = default;

PeerProcess::~PeerProcess()
{
    stop();
}

bool PeerProcess::startPeer(const QStringList& arguments, int timeoutMs)
{
    return start(TestEnv::program("BRELVANE_DDS_PEER"), arguments, timeoutMs);
}

bool PeerProcess::startDemo(const QStringList& arguments, int timeoutMs)
{
    return start(TestEnv::program("BRELVANE_DEMO"), arguments, timeoutMs);
}

bool PeerProcess::start(const QString& program, const QStringList& arguments, int timeoutMs)
{
    stop();
    m_error.clear();
    m_participants.clear();
    m_writers.clear();
    m_readers.clear();
    if (program.isEmpty()) {
        m_error = QStringLiteral("helper program not configured (BRELVANE_DDS_PEER/BRELVANE_DEMO)");
        return false;
    }
    m_process = std::make_unique<QProcess>();
    // The child's complaints go straight to the test log.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(program, arguments, QIODevice::ReadWrite);
    if (!m_process->waitForStarted(timeoutMs)) {
        m_error = program + QStringLiteral(": ") + m_process->errorString();
        return false;
    }
    bool malformed = false;
    const bool ready = readUntil(
        [this, &malformed](const QString& line) {
            if (line == QLatin1String("READY")) {
                return true;
            }
            const QStringList parts = line.split(QLatin1Char(' '));
            const std::string key = parts.size() >= 2 ? keyFromHex(parts[1]) : std::string();
            const QString topic = line.section(QLatin1Char(' '), 2);
            if (parts[0] == QLatin1String("participant") && !key.empty()) {
                m_participants.push_back(key);
            } else if (parts[0] == QLatin1String("writer") && !key.empty() && !topic.isEmpty()) {
                m_writers.push_back({key, topic});
            } else if (parts[0] == QLatin1String("reader") && !key.empty() && !topic.isEmpty()) {
                m_readers.push_back({key, topic});
            } else {
                malformed = true;
                m_error = QStringLiteral("unexpected output line: ") + line;
            }
            return false;
        },
        timeoutMs);
    if (!ready || malformed) {
        if (!malformed) {
            m_error = m_process->state() == QProcess::NotRunning
                          ? QStringLiteral("%1 ended with exit code %2 before READY")
                                .arg(program)
                                .arg(m_process->exitCode())
                          : program + QStringLiteral(" not READY in time");
        }
        kill();
        return false;
    }
    return true;
}

bool PeerProcess::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

qint64 PeerProcess::processId() const
{
    return m_process ? m_process->processId() : 0;
}

bool PeerProcess::send(const QString& line, int timeoutMs)
{
    if (!isRunning()) {
        return false;
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    if (m_process->write(bytes) != bytes.size()) {
        return false;
    }
    while (m_process->bytesToWrite() > 0) {
        if (!m_process->waitForBytesWritten(timeoutMs)) {
            return false;
        }
    }
    return true;
}

QString PeerProcess::waitForLine(const QString& prefix, int timeoutMs)
{
    QString found;
    readUntil(
        [&](const QString& line) {
            if (line.startsWith(prefix)) {
                found = line;
                return true;
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool PeerProcess::readUntil(const std::function<bool(const QString&)>& done, int timeoutMs)
{
    if (!m_process) {
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        while (m_process->canReadLine()) {
            const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
            if (done(line)) {
                return true;
            }
        }
        if (m_process->state() == QProcess::NotRunning || deadline.hasExpired()) {
            return false;
        }
        m_process->waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 200)));
    }
}

bool PeerProcess::stop(int timeoutMs)
{
    if (!m_process) {
        return false;
    }
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(timeoutMs)) {
            kill();
            return false;
        }
    }
    return m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
}

void PeerProcess::kill()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

std::string PeerProcess::keyFromHex(const QString& hex)
{
    if (hex.size() != 32) {
        return std::string();
    }
    for (const QChar c : hex) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f')))) {
            return std::string();
        }
    }
    return QByteArray::fromHex(hex.toLatin1()).toStdString();
}

QString PeerProcess::hexFromKey(const std::string& key)
{
    return QString::fromLatin1(QByteArray::fromStdString(key).toHex());
}
