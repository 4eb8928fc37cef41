#include "TabFollower.h"

#include "MonitorLib.h"

#include <QCoreApplication>
#include <QPointer>
#include <deque>

namespace {

// The followers waiting for their turn, oldest first; GUI thread only. A follower destroyed
// while waiting leaves a null pointer behind.
std::deque<QPointer<TabFollower>>& waiting()
{
    static std::deque<QPointer<TabFollower>> queue;
    return queue;
}

// GUI thread only: whether a turn is posted.
bool turnPosted = false;

} // namespace

TabFollower::TabFollower(std::function<void()> refresh, QObject* parent)
    : QObject(parent), m_refresh(std::move(refresh))
{
    m_gather.setSingleShot(true);
    m_gather.setInterval(GatherMs);
    connect(&m_gather, &QTimer::timeout, this, &TabFollower::enqueue);
}

TabFollower::~TabFollower() = default;

void TabFollower::collecting()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    m_gate.mustRebuild(monitor, false);
    if (!m_following) {
        m_following = true;
        connect(&monitor, &MonitorLib::dataChanged, this, &TabFollower::onDataChanged);
    }
}

void TabFollower::onDataChanged()
{
    if (!m_gather.isActive() && !m_queued) {
        m_gather.start();
    }
}

void TabFollower::enqueue()
{
    if (m_queued) {
        return;
    }
    m_queued = true;
    waiting().push_back(this);
    if (!turnPosted) {
        turnPosted = true;
        // Posted, so that a turn runs after what the event loop already has to do (timers and
        // painting included); a turn posted from within a turn runs on the next one.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { runNext(); }, Qt::QueuedConnection);
    }
}

void TabFollower::runNext()
{
    turnPosted = false;
    std::deque<QPointer<TabFollower>>& queue = waiting();
    while (!queue.empty()) {
        const QPointer<TabFollower> next = queue.front();
        queue.pop_front();
        if (!next) {
            continue;
        }
        next->m_queued = false;
        // A change announced since the refresh's collection began starts the gathering anew.
        if (next->m_gate.mustRebuild(MonitorLib::getInstance(), true)) {
            next->m_refresh();
        }
        break;
    }
    if (!queue.empty() && !turnPosted) {
        turnPosted = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { runNext(); }, Qt::QueuedConnection);
    }
}
