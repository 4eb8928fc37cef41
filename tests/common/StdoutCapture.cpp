#include "StdoutCapture.h"

#include <QStringList>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    // A large pipe keeps writers from blocking between two reads.
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    m_savedFd = dup(STDOUT_FILENO);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    m_readFd = fds[0];
}

StdoutCapture::~StdoutCapture()
{
    std::fflush(stdout);
    if (m_savedFd >= 0) {
        dup2(m_savedFd, STDOUT_FILENO);
        close(m_savedFd);
    }
    if (m_readFd >= 0) {
        close(m_readFd);
    }
}

QString StdoutCapture::text()
{
    std::fflush(stdout);
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(m_readFd, chunk, sizeof(chunk));
        if (n <= 0) {
            break;
        }
        m_buffer.append(chunk, int(n));
    }
    return QString::fromUtf8(m_buffer);
}

int StdoutCapture::count(const QString& line)
{
    return text().split(QLatin1Char('\n')).count(line);
}
