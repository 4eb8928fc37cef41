// The main window: the "设置" menu that chooses the monitored domains, and the panels.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <set>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QVBoxLayout;
class BrelvaneWidget;
class DetailWidget;
class QoSInfo;
class MatchWidget;
class StatisticalTab;

class BrelvaneQtDemo : public QMainWindow
{
    Q_OBJECT

public:
    explicit BrelvaneQtDemo(QWidget* parent = nullptr);
    ~BrelvaneQtDemo() override;

    // form members
    QAction* action = nullptr;
    QWidget* centralWidget = nullptr;
    QVBoxLayout* verticalLayout = nullptr;
    BrelvaneWidget* widget = nullptr;
    QMenuBar* menuBar = nullptr;
    QMenu* menu = nullptr;
    QToolBar* mainToolBar = nullptr;
    QStatusBar* statusBar = nullptr;

    // the texts of the last accepted domain dialog
    QString includedText;
    QString excludedText;

    // panels of `widget`, not owned; null until the panel arrangement sets them
    DetailWidget* detailWidget = nullptr;
    QoSInfo* qosWidget = nullptr;
    MatchWidget* matchWidget = nullptr;
    StatisticalTab* staticalTab = nullptr;

    // The status bar's line: the watched domains with their counts of participants, writers,
    // readers and errors; empty while no domain is watched.
    QLabel* statusLine = nullptr;

private slots:
    void onSetDomainActionTriggered();
    bool checkInputFormat(QString input);

private:
    void setupUi();
    // After a domain change: closes every detail tab, empties the QoS and match panels and
    // lets the views rebuild for the new domain set.
    void resetViews();
    // Tells the operator which domains the middleware could not join.
    void showJoinFailure(const std::set<uint32_t>& ids);
    void retranslateUi();
};
