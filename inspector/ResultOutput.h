// Keeps the program's standard output for its result alone. The back end writes the
// middleware's failure lines to standard output, as the monitor has always done; here they are
// diagnostics. So the result gets a descriptor of its own, a copy of the original standard
// output, and standard output itself is pointed at standard error: every failure line, and
// whatever else a library prints there, lands on standard error.
#pragma once

#include <QByteArray>
#include <string>

class ResultOutput
{
public:
    // Takes over standard output; construct it before anything is printed. At most one
    // instance exists at a time.
    ResultOutput();
    // Closes the result's descriptor and points standard output back at it.
    ~ResultOutput();
    ResultOutput(const ResultOutput&) = delete;
    ResultOutput& operator=(const ResultOutput&) = delete;

    // Writes all of `text` to the original standard output. False when that is not possible
    // (closed, or its reader has gone).
    bool write(const char* data, size_t size);
    bool write(const std::string& text) { return write(text.data(), text.size()); }
    bool write(const QByteArray& text) { return write(text.constData(), size_t(text.size())); }

    // True when a write failed because nobody reads the output any more (a pipe whose reader
    // ended, as in `brelvane watch | head`).
    bool readerGone() const { return m_readerGone; }

private:
    int m_resultFd = -1;
    bool m_readerGone = false;
};
