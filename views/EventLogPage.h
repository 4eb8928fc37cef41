// The event page of the statistics panel: the discovery event log as a table, newest at the
// bottom, with a filter above it and an export of what the filter keeps as JSON Lines.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class EventFilterModel;
class EventLog;
class EventTableModel;
class QAction;
class QLineEdit;
class QTableView;

class EventLogPage : public QWidget
{
    Q_OBJECT

public:
    explicit EventLogPage(EventLog& log, QWidget* parent = nullptr);

    // Asks where the export goes; an empty answer cancels it. A save dialog by default.
    using FileChooser = std::function<QString(QWidget* parent)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Writes the events the filter keeps (all while it is empty), one JSON object per line.
    // False when the file cannot be written; it is then left as it was.
    bool exportTo(const QString& path) const;

    QLineEdit* eventFilter;
    QTableView* eventTable;
    // "导出…", in the table's context menu.
    QAction* exportAction;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void onEventsAppended();
    void onFilterChanged(const QString& text);
    void onExport();

private:
    EventTableModel* m_events;
    EventFilterModel* m_filter;
    FileChooser m_chooseFile;
    // Whether the view follows new events: it does while the operator keeps it at the bottom.
    bool m_follow = true;
};
