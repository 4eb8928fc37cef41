// rtps-forge in another process for the reliability tests: plays one scenario in one domain
// until it is stopped, then disposes its forged participants.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QProcess;

class ForgeProcess
{
public:
    ForgeProcess();
    // Kills the process if it still runs.
    ~ForgeProcess();
    ForgeProcess(const ForgeProcess&) = delete;
    ForgeProcess& operator=(const ForgeProcess&) = delete;

    // Starts rtps-forge (path in BRELVANE_RTPS_FORGE) with --domain and --scenario, followed by
    // `extra`. False, with errorString() saying why, when it cannot be started.
    bool start(uint32_t domain, const QString& scenario, const QStringList& extra = {});
    // The rest of the first output line that starts with `prefix`; empty when none came within
    // `timeoutMs` or the process ended.
    QString waitForLine(const QString& prefix, int timeoutMs = 60000);
    // SIGTERM: the forge disposes its participants, so receivers drop them at once. True when
    // it ended with exit code 0 within `timeoutMs`.
    bool stop(int timeoutMs = 60000);
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<QProcess> m_process;
    QString m_error;
};
