// Counts MonitorLib::dataChanged() as the test's thread receives it: an emission on this thread
// at once, one of the polling thread when its queued delivery is processed (QTRY_*, qWait).
// QSignalSpy records on the emitting thread, which races with the test reading it.
#pragma once

#include "MonitorLib.h"

#include <QObject>

class ChangeCounter : public QObject
{
public:
    ChangeCounter()
    {
        connect(&MonitorLib::getInstance(), &MonitorLib::dataChanged, this, [this] { ++m_count; });
    }

    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    void clear() { m_count = 0; }

private:
    int m_count = 0;
};
