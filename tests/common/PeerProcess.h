// A DDS peer in another process for tests: starts dds-peer or brelvane-demo, waits until its
// entities exist and hands back their keys (the 16 bytes of each GUID), and ends it cleanly.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QProcess;

class PeerProcess
{
public:
    struct Endpoint
    {
        std::string key; // 16 raw bytes
        QString topic;
    };

    PeerProcess();
    // Stops the process (see stop()).
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Starts dds-peer (path in BRELVANE_DDS_PEER) or brelvane-demo (BRELVANE_DEMO) with
    // `arguments` and waits up to `timeoutMs` for its "READY" line. The child inherits the
    // environment, CYCLONEDDS_URI included. Returns false, with errorString() saying why, when
    // the program is not there, fails, or is not ready in time.
    bool startPeer(const QStringList& arguments, int timeoutMs = 20000);
    bool startDemo(const QStringList& arguments, int timeoutMs = 20000);
    bool start(const QString& program, const QStringList& arguments, int timeoutMs = 20000);

    bool isRunning() const;
    // The operating system's id of the running peer process; 0 when none runs.
    qint64 processId() const;
    QString errorString() const { return m_error; }

    // What the process created before "READY", in its output order.
    const std::vector<std::string>& participants() const { return m_participants; }
    const std::vector<Endpoint>& writers() const { return m_writers; }
    const std::vector<Endpoint>& readers() const { return m_readers; }

    // Writes `line` and a line end to the process's standard input (dds-peer reads commands
    // there with --commands). Returns false when it could not be written in time.
    bool send(const QString& line, int timeoutMs = 5000);

    // Waits for an output line after "READY" that starts with `prefix` (for example "LEFT "),
    // skipping and dropping the lines before it. Returns the line, or an empty text when none
    // came within `timeoutMs` or the process ended.
    QString waitForLine(const QString& prefix, int timeoutMs = 20000);

    // Sends SIGTERM, so that the peer deletes its entities and other participants see them
    // leave at once; kills it if it has not ended within `timeoutMs`. Returns true when the
    // process ended by itself with exit code 0 (also when it had already ended so).
    bool stop(int timeoutMs = 10000);
    // Kills the process without letting it clean up: peers notice only when leases expire.
    void kill();

    // 32 hex digits to the 16 key bytes; empty for anything else.
    static std::string keyFromHex(const QString& hex);
    static QString hexFromKey(const std::string& key);

private:
    // Reads complete lines until one satisfies `done` or the deadline passes.
    bool readUntil(const std::function<bool(const QString&)>& done, int timeoutMs);

    std::unique_ptr<QProcess> m_process;
    QString m_error;
    std::vector<std::string> m_participants;
    std::vector<Endpoint> m_writers;
    std::vector<Endpoint> m_readers;
};
