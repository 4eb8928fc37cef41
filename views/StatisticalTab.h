// The statistics panel: fixed pages about the watched system, among them the discovery event
// log, and a placeholder for statistics about one data writer or reader.
#pragma once

#include "TabWidget.h"

#include <QString>
#include <string>

class QLabel;

class StatisticalTab : public TabWidget
{
    Q_OBJECT

public:
    explicit StatisticalTab(QWidget* parent = nullptr);

    // Receives the slots' text; kept hidden, the panel has no statistics to show yet.
    QLabel* statLabel;

public slots:
    void setCurHandle(QString handle);
    void setCurHandle(QString handle, std::string Reader);
};
