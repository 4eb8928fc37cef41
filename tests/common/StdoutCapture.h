// Captures what the process writes to standard output while it lives, so tests can check the
// failure lines the system prints.
#pragma once

#include <QString>

class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything written so far (reads what is pending without blocking).
    QString text();
    // How many complete lines equal `line`.
    int count(const QString& line);

private:
    int m_savedFd = -1;
    int m_readFd = -1;
    QByteArray m_buffer;
};
