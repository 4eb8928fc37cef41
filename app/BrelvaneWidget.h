// The main window's central content: the six panels in three columns of splitters, logical
// over physical view, detail panel over match analysis, QoS panel over statistics.
#pragma once

#include <QWidget>

class QHBoxLayout;
class QSplitter;
class SysLogic;
class SysPhysics;
class DetailWidget;
class MatchWidget;
class ProblemWatch;
class QoSInfo;
class StatisticalTab;

class BrelvaneWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BrelvaneWidget(QWidget* parent = nullptr);

    // form members
    QHBoxLayout* horizontalLayout = nullptr;
    QSplitter* splitter_4 = nullptr;
    QSplitter* splitter = nullptr;
    SysLogic* sysLogic = nullptr;
    SysPhysics* sysPhysic = nullptr;
    QSplitter* splitter_2 = nullptr;
    DetailWidget* detailWidget = nullptr;
    MatchWidget* matchWidget = nullptr;
    QSplitter* splitter_3 = nullptr;
    QoSInfo* qosWidget = nullptr;
    StatisticalTab* staticalTab = nullptr;

    // Runs the problems analysis after every change; its reports reach the statistics panel
    // and the logical view's marks (and the window's status bar). Owned by this widget.
    ProblemWatch* problemWatch = nullptr;

private:
    void setupUi();
};
