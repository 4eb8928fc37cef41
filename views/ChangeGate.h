// Lets a view skip the deliveries of dataChanged() whose change it has already shown, so a
// burst of signals queued by the polling thread costs one rebuild instead of one each.
#pragma once

#include "MonitorLib.h"

#include <cstdint>

class ChangeGate
{
public:
    // True when the view must rebuild now. `delivered` says the call is a signal delivery; a
    // direct call always rebuilds. A delivery is skipped only when no change has been announced
    // since the last rebuild began: the count is read before the view collects, so whatever
    // it announced is already in what the view collected.
    bool mustRebuild(const MonitorLib& monitor, bool delivered)
    {
        const uint64_t count = monitor.signalCount();
        if (delivered && m_built && count == m_shownCount) {
            return false;
        }
        m_built = true;
        m_shownCount = count;
        return true;
    }

private:
    bool m_built = false;
    uint64_t m_shownCount = 0;
};
