#include "RequalifyForge.h"

#include "DomainParticipantFactory.h"
#include "HandleText.h"
#include "MonitorLib.h"
#include "TestEnv.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <chrono>
#include <mutex>
#include <thread>

using namespace ZORVAN;

namespace {

// Polls `done` every 20 ms until it holds or the deadline passes, without processing events.
template <class Done> bool waitFor(Done done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

RequalifyForge::~RequalifyForge()
{
    stop();
    if (m_observer) {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        m_observer->delete_contained_entities();
        DomainParticipantFactory::get_instance()->delete_participant(m_observer);
    }
}

bool RequalifyForge::start(uint32_t domain, int timeoutMs)
{
    {
        // The middleware layer is queried under the monitor's mutex only.
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        m_observer = DomainParticipantFactory::get_instance()->create_participant(
            domain, PARTICIPANT_QOS_DEFAULT, nullptr, 0);
    }
    if (!m_observer) {
        m_error = QStringLiteral("no participant in domain %1").arg(domain);
        return false;
    }
    const QStringList arguments{QStringLiteral("--domain"), QString::number(domain),
                                QStringLiteral("--scenario"), QStringLiteral("requalify"),
                                QStringLiteral("--commands")};
    if (!m_process.start(TestEnv::program("BRELVANE_RTPS_FORGE"), arguments, timeoutMs)) {
        m_error = m_process.errorString();
        return false;
    }
    if (m_process.writers().size() != 1 || m_process.readers().size() != 1) {
        m_error = QStringLiteral("the forge announces no writer and reader pair");
        return false;
    }
    const auto discovered = [this] {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        return observedPartitions() == QLatin1String("Forge");
    };
    if (!waitFor(discovered, timeoutMs)) {
        m_error = QStringLiteral("the forged writer was not discovered in time");
        return false;
    }
    return true;
}

std::string RequalifyForge::writerKey() const
{
    return m_process.writers().empty() ? std::string() : m_process.writers()[0].key;
}

std::string RequalifyForge::readerKey() const
{
    return m_process.readers().empty() ? std::string() : m_process.readers()[0].key;
}

InstanceHandle_t RequalifyForge::writer() const
{
    return HandleText::handleFromKey(writerKey());
}

InstanceHandle_t RequalifyForge::reader() const
{
    return HandleText::handleFromKey(readerKey());
}

bool RequalifyForge::change(bool changed, int timeoutMs)
{
    MonitorLib& monitor = MonitorLib::getInstance();
    std::lock_guard<std::mutex> lock(monitor.mutex);
    const QString answer = changed ? QStringLiteral("CHANGED ") : QStringLiteral("RESTORED ");
    if (!m_process.send(changed ? QStringLiteral("change") : QStringLiteral("restore")) ||
        m_process.waitForLine(answer, timeoutMs).isEmpty()) {
        return false;
    }
    // The participants of one process share what they learn of the network: once the observer
    // has the new record, the monitor's participant has the disposal and the new announcement
    // too, and its next pass takes them together.
    const QString wanted = changed ? QStringLiteral("Elsewhere") : QStringLiteral("Forge");
    return waitFor([&] { return observedPartitions() == wanted; }, timeoutMs);
}

bool RequalifyForge::stop()
{
    return m_process.stop();
}

QString RequalifyForge::observedPartitions() const
{
    PublicationBuiltinTopicData data;
    if (m_observer->get_publication_data(data, writer()) != RETCODE_OK) {
        return QString();
    }
    QStringList names;
    for (const std::string& name : data.partition.name) {
        names << QString::fromStdString(name);
    }
    return names.join(QLatin1Char('|'));
}
