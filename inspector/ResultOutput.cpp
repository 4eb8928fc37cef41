#include "ResultOutput.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

ResultOutput::ResultOutput()
{
    std::fflush(stdout);
    m_resultFd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (m_resultFd >= 0) {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
    }
}

ResultOutput::~ResultOutput()
{
    if (m_resultFd < 0) {
        return;
    }
    std::fflush(stdout);
    ::dup2(m_resultFd, STDOUT_FILENO);
    ::close(m_resultFd);
}

bool ResultOutput::write(const char* data, size_t size)
{
    if (m_resultFd < 0) {
        return false;
    }
    while (size > 0) {
        const ssize_t written = ::write(m_resultFd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_readerGone = errno == EPIPE;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}
