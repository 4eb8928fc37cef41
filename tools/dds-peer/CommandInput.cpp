#include "CommandInput.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

std::vector<std::string> CommandInput::lines()
{
    std::vector<std::string> complete;
    while (!m_closed) {
        pollfd input = {STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, 0);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char buffer[4096];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            m_closed = true;
            break;
        }
        m_pending.append(buffer, size_t(got));
    }
    size_t start = 0;
    for (size_t end = m_pending.find('\n'); end != std::string::npos;
         end = m_pending.find('\n', start)) {
        std::string line = m_pending.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        complete.push_back(std::move(line));
        start = end + 1;
    }
    m_pending.erase(0, start);
    return complete;
}
