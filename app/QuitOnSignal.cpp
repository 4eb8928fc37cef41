#include "QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 2> kSignals = {SIGTERM, SIGINT};

// The write end for the handler. A signal handler may touch nothing but async-signal-safe calls
// and plain data, so it only writes one byte here; the event loop does the rest.
volatile sig_atomic_t g_wakeFd = -1;

} // namespace

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent)
{
    // Non-blocking, so a burst of signals can never block the handler on a full socket.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_fds) != 0) {
        m_fds[0] = m_fds[1] = -1;
        return; // the process keeps the default handling: it still ends on the signal
    }
    g_wakeFd = m_fds[0];
    // The notifier fires on the GUI thread, whichever thread the kernel delivered the signal to.
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitOnSignal::onSignalReceived);

    struct sigaction action = {};
    action.sa_handler = &QuitOnSignal::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], nullptr, &m_previous[i]);
        // A signal the starter chose to ignore (a background job of a script, nohup) stays
        // ignored.
        if (m_previous[i].sa_handler != SIG_IGN) {
            ::sigaction(kSignals[i], &action, nullptr);
        }
    }
    m_installed = true;
}

QuitOnSignal::~QuitOnSignal()
{
    if (m_installed) {
        for (size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
        }
    }
    g_wakeFd = -1;
    for (int fd : m_fds) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void QuitOnSignal::handleSignal(int)
{
    const int savedErrno = errno;
    const int fd = g_wakeFd;
    if (fd >= 0) {
        const char byte = 1;
        const ssize_t written = ::write(fd, &byte, 1);
        static_cast<void>(written); // a full socket already holds a wake-up
    }
    errno = savedErrno;
}

void QuitOnSignal::onSignalReceived()
{
    char buffer[64];
    while (::read(m_fds[1], buffer, sizeof(buffer)) > 0) {
    }
    QCoreApplication::quit();
}
