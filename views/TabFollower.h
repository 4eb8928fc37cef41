// Turns the monitor's change notifications into calls of one open tab's refresh: the changes
// of a short while come together in one call, a call whose changes the tab has already seen
// is skipped, and the calls of all tabs run one per turn of the GUI thread's event loop, so
// that many open tabs following a churning network never add up to one long stall.
#pragma once

#include "ChangeGate.h"

#include <QObject>
#include <QTimer>
#include <functional>

class TabFollower : public QObject
{
    Q_OBJECT

public:
    // How long changes gather before the tab is refreshed for them.
    static constexpr int GatherMs = 250;

    // `refresh` collects (taking MonitorLib::mutex itself) and updates the tab; it runs on the
    // GUI thread, never with the mutex held.
    TabFollower(std::function<void()> refresh, QObject* parent);
    ~TabFollower() override;

    // Call right before the tab's own full collection: changes announced before it are in
    // what it collects, so they need no refresh. Starts the following on the first call.
    void collecting();

private slots:
    // MonitorLib::dataChanged(): emitted on the polling thread and delivered queued to the GUI
    // thread, or emitted on the GUI thread and delivered at once.
    void onDataChanged();

private:
    static void runNext();
    void enqueue();

    std::function<void()> m_refresh;
    QTimer m_gather;
    ChangeGate m_gate;
    bool m_following = false;
    bool m_queued = false;
};
