#include "EventLogPage.h"

#include "EventFilterModel.h"
#include "EventJson.h"
#include "EventLog.h"
#include "EventTableModel.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

EventLogPage::EventLogPage(EventLog& log, QWidget* parent)
    : QWidget(parent), eventFilter(new QLineEdit(this)), eventTable(new QTableView(this)),
      exportAction(new QAction(tr("导出…"), this)), m_events(new EventTableModel(log, this)),
      m_filter(new EventFilterModel(*m_events, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    eventFilter->setObjectName(QStringLiteral("eventFilter"));
    eventFilter->setPlaceholderText(tr("筛选：任一列包含的文字"));
    eventFilter->setClearButtonEnabled(true);
    layout->addWidget(eventFilter);

    eventTable->setObjectName(QStringLiteral("eventTable"));
    eventTable->setProperty("type", QStringLiteral("content"));
    eventTable->setModel(m_filter);
    eventTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    eventTable->setWordWrap(false);
    eventTable->setCornerButtonEnabled(false);
    // Fixed row heights and no fitting to contents: a hundred thousand rows stay cheap.
    QHeaderView* rows = eventTable->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* columns = eventTable->horizontalHeader();
    columns->setStretchLastSection(true);
    // Wide enough for what the columns hold: whole times and handles, the longest fixed texts.
    const QFontMetrics metrics = eventTable->fontMetrics();
    const auto fits = [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text) + 16;
    };
    const int widths[EventTableModel::ColumnCount] = {
        fits(QStringLiteral("0000-00-00 00:00:00.000")),
        fits(QStringLiteral("000")),
        fits(tr("QoS变更")),
        fits(tr("域参与者")),
        metrics.averageCharWidth() * 18,
        metrics.averageCharWidth() * 22,
        metrics.averageCharWidth() * 20,
        fits(QStringLiteral("0x") + QString(32, QLatin1Char('0')))};
    for (int column = 0; column < EventTableModel::ColumnCount; ++column) {
        eventTable->setColumnWidth(column, widths[column]);
    }
    eventTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    eventTable->addAction(exportAction);
    layout->addWidget(eventTable);

    m_chooseFile = [](QWidget* dialogParent) {
        return QFileDialog::getSaveFileName(dialogParent, tr("导出事件"),
                                            QDir::home().filePath(QStringLiteral("events.jsonl")),
                                            tr("JSON Lines (*.jsonl);;所有文件 (*)"));
    };

    // emitted on the polling thread; delivered queued to the GUI thread
    connect(&log, &EventLog::appended, this, &EventLogPage::onEventsAppended);
    connect(eventFilter, &QLineEdit::textChanged, this, &EventLogPage::onFilterChanged);
    connect(exportAction, &QAction::triggered, this, &EventLogPage::onExport);
    QScrollBar* bar = eventTable->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { m_follow = value >= bar->maximum(); });
    // Events recorded between taking the log and connecting to it.
    onEventsAppended();
}

void EventLogPage::onEventsAppended()
{
    // Follow the newest events while the operator is at the bottom; otherwise keep the rows
    // shown where they are, also when the oldest go.
    const bool atBottom = m_follow;
    const QModelIndex top = m_filter->mapToSource(eventTable->indexAt(QPoint(0, 0)));
    const uint64_t topSeq = top.isValid() ? m_events->event(top.row()).seq : 0;
    const int rowsBefore = m_events->rowCount();
    const uint64_t firstBefore = rowsBefore > 0 ? m_events->event(0).seq : 0;

    m_events->refresh();

    if (atBottom) {
        eventTable->scrollToBottom();
        return;
    }
    const bool dropped =
        rowsBefore > 0 && m_events->rowCount() > 0 && m_events->event(0).seq != firstBefore;
    if (!dropped || topSeq == 0) {
        return;
    }
    const int row = m_events->rowOfSeq(topSeq);
    const QModelIndex shown =
        row < 0 ? m_filter->index(0, 0) : m_filter->mapFromSource(m_events->index(row, 0));
    eventTable->scrollTo(shown, QAbstractItemView::PositionAtTop);
}

void EventLogPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Hidden, the view has no size to follow the events in; catch up when it is shown.
    if (m_follow) {
        eventTable->scrollToBottom();
    }
}

void EventLogPage::onFilterChanged(const QString& text)
{
    m_filter->setText(text);
    if (m_follow) {
        eventTable->scrollToBottom();
    }
}

bool EventLogPage::exportTo(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const int rows = m_filter->rowCount();
    for (int row = 0; row < rows; ++row) {
        const int source = m_filter->mapToSource(m_filter->index(row, 0)).row();
        QByteArray line = EventJson::line(m_events->event(source));
        line += '\n';
        if (file.write(line) != line.size()) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}

void EventLogPage::onExport()
{
    const QString path = m_chooseFile(this);
    if (path.isEmpty() || exportTo(path)) {
        return;
    }
    // Not modal to the event loop: the window keeps following the network meanwhile.
    auto* box = new QMessageBox(QMessageBox::Warning, tr("导出失败"),
                                tr("无法写入文件:%1").arg(QDir::toNativeSeparators(path)),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
