#include "TopicInfo.h"

#include "DepartureTime.h"
#include "EventTime.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "MatchWidget.h"
#include "MonitorEvents.h"
#include "MonitorLib.h"
#include "QoSInfo.h"
#include "TabFollower.h"
#include "TopicChanges.h"
#include "TopicEndpoints.h"

#include <QTableWidget>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

const int statusColumn = 5;

} // namespace

TopicInfo::TopicInfo(QWidget* parent)
    : QTabWidget(parent), m_table(new QTableWidget()),
      m_follower(new TabFollower([this] { follow(); }, this))
{
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setProperty("type", QStringLiteral("content"));
    addTab(m_table, tr("实体列表"));
    m_table->setColumnCount(6);
    m_table->setHorizontalHeaderLabels(
        {tr("实体类型"), tr("节点"), tr("进程/模块名"), tr("进程号"), tr("标识"), tr("状态")});
    setTabPosition(QTabWidget::South);
    connect(m_table, SIGNAL(currentCellChanged(int, int, int, int)), this,
            SLOT(curItemChanged(int, int, int, int)));
}

TopicInfo::~TopicInfo() = default;

void TopicInfo::fillTopic(uint32_t domainId, const QString& topicName)
{
    MonitorLib& monitor = MonitorLib::getInstance();
    m_domainId = domainId;
    m_follower->collecting();
    m_changes = std::make_unique<TopicChanges>(domainId, topicName.toStdString());
    m_changes->prime(monitor);
    const TopicEndpoints endpoints =
        collectTopicEndpoints(monitor, domainId, topicName.toStdString());
    m_changes->setShown(endpoints);
    for (const auto& reader : endpoints.readers) {
        addRow(reader.first, reader.second, true, domainId);
    }
    for (const auto& writer : endpoints.writers) {
        addRow(writer.first, writer.second, false, domainId);
    }
    m_table->resizeColumnsToContents();
}

void TopicInfo::addRow(const std::string& key, const ProcessIdentity& host, bool reader,
                       uint32_t domainId)
{
    const QString handleText = HandleText::text(key);
    const QString texts[6] = {reader ? QStringLiteral("DataReader") : QStringLiteral("DataWriter"),
                              fromUtf8(host.hostName) + QStringLiteral(" - ") + fromUtf8(host.ips),
                              fromUtf8(host.processName) + QLatin1Char(':') +
                                  QString::number(host.pid),
                              QString::number(host.pid),
                              handleText,
                              QStringLiteral("normal")};
    const QString firstSeen = firstSeenText(key);
    const int row = m_table->rowCount();
    m_rowOf[key] = row;
    m_table->insertRow(row);
    for (int column = 0; column < 6; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        item->setToolTip(firstSeen);
        m_table->setItem(row, column, item);
    }

    QoSInfo* qosInfo = m_qosInfo;
    MatchWidget* matchWidget = m_matchWidget;
    // The row's handle text is its identity: a handler acts only on clicks in its own row.
    connect(
        m_table, &QTableWidget::itemClicked, m_table,
        [handleText, key, reader, domainId, qosInfo, matchWidget](QTableWidgetItem* clicked) {
            QTableWidget* table = clicked ? clicked->tableWidget() : nullptr;
            const QTableWidgetItem* idCell = table ? table->item(clicked->row(), 4) : nullptr;
            if (!idCell || idCell->text() != handleText) {
                return;
            }
            const InstanceHandle_t handle = HandleText::handleFromKey(key);
            if (qosInfo) {
                qosInfo->setInfo(handle, reader ? ReaderQoS : WriterQoS);
            }
            if (matchWidget) {
                matchWidget->setMatchHandle(domainId, handle, reader ? ReaderMatch : WriterMatch);
            }
        },
        Qt::DirectConnection);
}

bool TopicInfo::selectEndpoint(const QString& handleText)
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem* idCell = m_table->item(row, 4);
        if (idCell && idCell->text() == handleText) {
            m_table->setCurrentItem(idCell);
            m_table->selectRow(row);
            m_table->scrollToItem(idCell);
            // The rows' handlers listen to clicks: the same signal reaches exactly the row's.
            emit m_table->itemClicked(idCell);
            return true;
        }
    }
    return false;
}

QString TopicInfo::firstSeenText(const std::string& key) const
{
    // When the monitor first saw the endpoint, if it records events and has seen it (not yet
    // when it joined since the last polling pass). The log's lock is the only one taken here.
    if (const EventLog* events = MonitorEvents::recording()) {
        if (const std::optional<EntityLifetime> lifetime = events->lifetime(m_domainId, key)) {
            return tr("首次发现于 %1").arg(EventTime::clock(lifetime->firstSeen));
        }
    }
    return QString();
}

void TopicInfo::follow()
{
    if (!m_changes) {
        return;
    }
    const TopicChanges::Delta delta = m_changes->update(MonitorLib::getInstance());
    for (const std::string& key : delta.left) {
        const auto found = m_rowOf.find(key);
        if (found != m_rowOf.end()) {
            showLeft(found->second, DepartureTime::of(m_domainId, key));
        }
    }
    const bool wasEmpty = m_table->rowCount() == 0;
    for (const TopicChanges::Joined& joined : delta.joined) {
        const auto found = m_rowOf.find(joined.key);
        if (found != m_rowOf.end()) {
            showLive(found->second, joined.key);
        } else {
            addRow(joined.key, joined.process, joined.reader, m_domainId);
        }
    }
    // Sizing the columns again under the operator's hand would undo a header they widened.
    if (wasEmpty && m_table->rowCount() > 0) {
        m_table->resizeColumnsToContents();
    }
}

void TopicInfo::showLive(int row, const std::string& key)
{
    QTableWidgetItem* status = m_table->item(row, statusColumn);
    if (!status || !LeftMark::isGreyed(status)) {
        return;
    }
    const QString firstSeen = firstSeenText(key);
    status->setText(QStringLiteral("normal"));
    for (int column = 0; column < m_table->columnCount(); ++column) {
        QTableWidgetItem* item = m_table->item(row, column);
        LeftMark::setGreyed(item, false);
        item->setToolTip(firstSeen);
    }
}

void TopicInfo::showLeft(int row, const EventStamp& when)
{
    QTableWidgetItem* status = m_table->item(row, statusColumn);
    if (!status || LeftMark::isGreyed(status)) {
        return;
    }
    const QString left = LeftMark::text(when);
    status->setText(QStringLiteral("offline"));
    for (int column = 0; column < m_table->columnCount(); ++column) {
        QTableWidgetItem* item = m_table->item(row, column);
        LeftMark::setGreyed(item, true);
        item->setToolTip(left);
    }
}

void TopicInfo::curItemChanged(int, int, int, int) {}

void TopicInfo::freshWidget() {}
