// Prints the discovery event log as JSON lines for `brelvane watch`: every event recorded since
// the last call, each line written to the result on its own so that a reader at the other end
// of a pipe has it at once. Main thread only.
#pragma once

#include <cstdint>

class EventLog;
class ResultOutput;

class EventStream
{
public:
    EventStream(const EventLog& log, ResultOutput& output);

    // Prints the events recorded since the last call, oldest first. False when the output
    // cannot be written (see ResultOutput::readerGone()).
    bool printNew();

    uint64_t printed() const { return m_printed; }
    // Events the log had already let go before they could be printed (more than its capacity
    // arrived between two calls).
    uint64_t lost() const { return m_lost; }

private:
    const EventLog& m_log;
    ResultOutput& m_output;
    uint64_t m_lastSeq = 0;
    uint64_t m_printed = 0;
    uint64_t m_lost = 0;
};
