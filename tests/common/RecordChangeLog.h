// Collects the record changes the monitor's polling thread reports (one log at a time): installs
// the monitor's hook when made and takes it out when destroyed.
#pragma once

#include "MonitorLib.h"

#include <QString>
#include <QStringList>
#include <mutex>
#include <vector>

class RecordChangeLog
{
public:
    RecordChangeLog()
    {
        clear();
        MonitorLib::getInstance().setRecordChangeObserver(collect);
    }
    ~RecordChangeLog() { MonitorLib::getInstance().setRecordChangeObserver(nullptr); }
    RecordChangeLog(const RecordChangeLog&) = delete;
    RecordChangeLog& operator=(const RecordChangeLog&) = delete;

    // The policies reported changed for the entity of this kind and handle, in report order.
    QStringList policies(ZORVAN::RecordKind kind, const ZORVAN::InstanceHandle_t& handle) const
    {
        QStringList found;
        std::lock_guard<std::mutex> lock(s_mutex);
        for (const ZORVAN::RecordChange& change : s_changes) {
            if (change.kind == kind && change.handle == handle) {
                for (const std::string& policy : change.policies) {
                    found << QString::fromStdString(policy);
                }
            }
        }
        return found;
    }

    void clear()
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_changes.clear();
    }

private:
    // Called on the polling thread.
    static void collect(uint32_t, const ZORVAN::RecordChangeSeq& changes)
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_changes.insert(s_changes.end(), changes.begin(), changes.end());
    }

    static inline std::mutex s_mutex;
    static inline std::vector<ZORVAN::RecordChange> s_changes; // guarded by s_mutex
};
