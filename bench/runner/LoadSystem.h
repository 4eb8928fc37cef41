// The load-generator processes of one run: started, told what to do through their standard
// input, and read line by line from their standard output.
#pragma once

#include "BenchOptions.h"

#include <QObject>
#include <QProcess>
#include <memory>
#include <vector>

class LoadSystem : public QObject
{
    Q_OBJECT

public:
    explicit LoadSystem(const BenchOptions& options, QObject* parent = nullptr);
    ~LoadSystem() override;

    void start();
    // Runs the event loop until every process printed READY; false on timeout or exit.
    bool waitReady(int timeoutMs);
    int processCount() const { return int(m_processes.size()); }
    void send(int index, const QString& command);
    void sendAll(const QString& command);
    // Asks every process to quit and waits for them; kills those that do not.
    void stop();
    // Slowest process's own time to create its share, in milliseconds.
    double slowestCreationMs() const { return m_slowestCreationMs; }

signals:
    // One line of a process's standard output, without the line end.
    void lineReceived(int index, const QString& line);

private:
    void onReadable(int index);

    const BenchOptions& m_options;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::vector<QByteArray> m_partial;
    int m_ready = 0;
    int m_exited = 0;
    double m_slowestCreationMs = 0;
};
