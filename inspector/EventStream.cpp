#include "EventStream.h"

#include "EventJson.h"
#include "EventLog.h"
#include "ResultOutput.h"

EventStream::EventStream(const EventLog& log, ResultOutput& output) : m_log(log), m_output(output)
{
}

bool EventStream::printNew()
{
    for (const DiscoveryEvent& event : m_log.since(m_lastSeq)) {
        if (event.seq > m_lastSeq + 1) {
            m_lost += event.seq - m_lastSeq - 1;
        }
        m_lastSeq = event.seq;
        QByteArray line = EventJson::line(event);
        line += '\n';
        if (!m_output.write(line)) {
            return false;
        }
        ++m_printed;
    }
    return true;
}
