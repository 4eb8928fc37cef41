// Ends the event loop when the process is asked to stop (SIGTERM from the desktop session or a
// supervisor, SIGINT from a terminal), so that the monitor shuts down the same way as when the
// operator closes its window instead of dying in the middle of a polling pass.
#pragma once

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; at most one instance exists at a time.
    explicit QuitOnSignal(QObject* parent = nullptr);
    // Puts back the handlers that were there before.
    ~QuitOnSignal() override;

private slots:
    void onSignalReceived();

private:
    static void handleSignal(int signalNumber);

    // m_fds[0] is written by the signal handler, m_fds[1] read on the GUI thread.
    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    // the handlers of SIGTERM and SIGINT before this object; valid once m_installed is set
    std::array<struct sigaction, 2> m_previous = {};
    bool m_installed = false;
};
