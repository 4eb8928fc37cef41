// Choosing the monitored domains through the main window's dialog.
#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "ChangeCounter.h"
#include "DialogDriver.h"
#include "DomainParticipantFactory.h"
#include "DomainSelection.h"
#include "FakeFactory.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "MyTab.h"
#include "QoSInfo.h"
#include "StdoutCapture.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TabBar.h"
#include "TestEnv.h"

#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

namespace {

std::vector<uint32_t> monitored()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    std::lock_guard<std::mutex> lock(monitor.mutex);
    std::vector<uint32_t> ids;
    for (const auto& d : monitor.domains) {
        ids.push_back(d.first);
    }
    return ids;
}

// Leaves no domain monitored when a test function ends, also when a check failed: declared
// after the factory double, it runs while the double still exists.
struct ClearDomainsOnExit
{
    ~ClearDomainsOnExit()
    {
        const std::vector<uint32_t> ids = monitored();
        DomainSelection::apply(MonitorLib::getInstance(), {},
                               std::set<uint32_t>(ids.begin(), ids.end()));
    }
};

size_t ownCount()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    std::lock_guard<std::mutex> lock(monitor.mutex);
    return monitor.ownParticipants.size();
}

} // namespace

class TestDomainDialog : public QObject
{
    Q_OBJECT

private slots:
    void windowAtStart()
    {
        BrelvaneQtDemo window;
        QCOMPARE(window.objectName(), QStringLiteral("BrelvaneQtDemoClass"));
        QCOMPARE(window.windowTitle(), QStringLiteral("BrelvaneQtDemo"));
        const QList<QAction*> menus = window.menuBar->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0]->text(), QString::fromUtf8("设置"));
        QCOMPARE(window.menu->actions().size(), 1);
        QCOMPARE(window.menu->actions()[0], window.action);
        QCOMPARE(window.action->text(), QString::fromUtf8("设置域号"));
        QVERIFY(window.mainToolBar->actions().isEmpty());
        QVERIFY(window.statusBar->currentMessage().isEmpty());
        QVERIFY(window.includedText.isEmpty());
        QVERIFY(window.excludedText.isEmpty());
        QVERIFY(monitored().empty());
    }

    void inputFormat_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("three ids") << "1;2;3" << true;
        QTest::newRow("empty pieces") << ";5;;5;" << true;
        QTest::newRow("lowest") << "0" << true;
        QTest::newRow("highest") << "200" << true;
        QTest::newRow("above range") << "201" << false;
        QTest::newRow("negative") << "-1" << false;
        QTest::newRow("letter") << "a" << false;
        QTest::newRow("one bad piece") << "1;x" << false;
        QTest::newRow("comma is no separator") << "1,2" << false;
        QTest::newRow("beyond int") << "4294967296" << false;
    }

    void inputFormat()
    {
        QFETCH(QString, input);
        QFETCH(bool, valid);
        BrelvaneQtDemo window;
        bool result = !valid;
        QVERIFY(QMetaObject::invokeMethod(&window, "checkInputFormat", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, result), Q_ARG(QString, input)));
        QCOMPARE(result, valid);
    }

    void applyEditsTheDomainTable_data()
    {
        QTest::addColumn<QStringList>("steps"); // "included|excluded" per accept
        QTest::addColumn<QVector<uint>>("expected");
        QTest::addColumn<QVector<uint>>("createdInOrder");

        QTest::newRow("three in order")
            << QStringList{"1;2;3|"} << QVector<uint>{1, 2, 3} << QVector<uint>{1, 2, 3};
        QTest::newRow("duplicates count once")
            << QStringList{";5;;5;|"} << QVector<uint>{5} << QVector<uint>{5};
        QTest::newRow("included and excluded: not monitored")
            << QStringList{"7|7"} << QVector<uint>{} << QVector<uint>{};
        QTest::newRow("included and excluded drops a monitored domain")
            << QStringList{"7|", "7|7"} << QVector<uint>{} << QVector<uint>{7};
        QTest::newRow("same texts twice create once")
            << QStringList{"4;6|", "4;6|"} << QVector<uint>{4, 6} << QVector<uint>{4, 6};
        QTest::newRow("excluding an unmonitored domain changes nothing")
            << QStringList{"8|", "|9"} << QVector<uint>{8} << QVector<uint>{8};
        QTest::newRow("leaving the included text does not stop monitoring")
            << QStringList{"8;9|", "9|"} << QVector<uint>{8, 9} << QVector<uint>{8, 9};
        QTest::newRow("only excluded stops")
            << QStringList{"8;9|", "|8"} << QVector<uint>{9} << QVector<uint>{8, 9};
        QTest::newRow("both empty") << QStringList{"|"} << QVector<uint>{} << QVector<uint>{};
    }

    void applyEditsTheDomainTable()
    {
        QFETCH(QStringList, steps);
        QFETCH(QVector<uint>, expected);
        QFETCH(QVector<uint>, createdInOrder);
        FakeFactory factory;
        {
            BrelvaneQtDemo window;
            ChangeCounter spy;
            int accepted = 0;
            for (const QString& step : steps) {
                const QStringList texts = step.split(QLatin1Char('|'));
                const DialogResult r = runDomainDialog(window, texts[0], texts[1]);
                QVERIFY(r.opened);
                QVERIFY(!r.warned);
                QVERIFY(r.closedByAccept);
                ++accepted;
                QCOMPARE(window.includedText, texts[0]);
                QCOMPARE(window.excludedText, texts[1]);
            }
            // One signal per accept at least, sent at once on the GUI thread.
            QVERIFY(spy.count() >= accepted);
            const std::vector<uint32_t> ids = monitored();
            QCOMPARE(QVector<uint>(ids.begin(), ids.end()), expected);
            QCOMPARE(QVector<uint>(factory.created.begin(), factory.created.end()), createdInOrder);
            QCOMPARE(ownCount(), ids.size());
            DomainSelection::apply(MonitorLib::getInstance(), {},
                                   std::set<uint32_t>(ids.begin(), ids.end()));
        }
        QVERIFY(monitored().empty());
        QCOMPARE(ownCount(), size_t(0));
    }

    void dialogShowsLastAcceptedTexts()
    {
        FakeFactory factory;
        BrelvaneQtDemo window;
        runDomainDialog(window, QStringLiteral("11"), QStringLiteral(""));
        const DialogResult again =
            runDomainDialog(window, QStringLiteral("11"), QStringLiteral("11"));
        QCOMPARE(again.includedShown, QStringLiteral("11"));
        QCOMPARE(again.excludedShown, QString());
        const DialogResult third = runDomainDialog(window, QString(), QString());
        QCOMPARE(third.includedShown, QStringLiteral("11"));
        QCOMPARE(third.excludedShown, QStringLiteral("11"));
        QVERIFY(monitored().empty());
    }

    void invalidInputWarnsAndChangesNothing_data()
    {
        QTest::addColumn<QString>("included");
        QTest::addColumn<QString>("excluded");
        QTest::newRow("included above range") << "201"
                                              << "";
        QTest::newRow("excluded negative") << "3"
                                           << "-1";
        QTest::newRow("letters") << "a"
                                 << "";
        QTest::newRow("one bad piece") << "1;x"
                                       << "";
    }

    void invalidInputWarnsAndChangesNothing()
    {
        QFETCH(QString, included);
        QFETCH(QString, excluded);
        FakeFactory factory;
        BrelvaneQtDemo window;
        runDomainDialog(window, QStringLiteral("2"), QString());
        ChangeCounter spy;
        const DialogResult r = runDomainDialog(window, included, excluded);
        QVERIFY(r.warned);
        QCOMPARE(r.warnings, 1);
        QVERIFY(r.dialogShownAtWarning);
        QCOMPARE(r.warningTitle, QString::fromUtf8("输入错误"));
        QCOMPARE(r.warningText, QString::fromUtf8("输入格式应为:域号被;隔开且域号在0-200之间"));
        QVERIFY(!r.closedByAccept);
        QCOMPARE(window.includedText, QStringLiteral("2"));
        QCOMPARE(window.excludedText, QString());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(monitored(), std::vector<uint32_t>{2});
        QCOMPARE(factory.created.size(), size_t(1));
        DomainSelection::apply(MonitorLib::getInstance(), {}, {2});
    }

    // Texts an operator (or a paste) may produce beyond the plain cases: each is either
    // rejected with the warning and no change, or applied as ids parsed by the decimal rule.
    void unusualInput_data()
    {
        QTest::addColumn<QString>("included");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVector<uint>>("ids");

        QString manyIds; // 10,000 ids, all in range, cycling 0..199
        for (int i = 0; i < 10000; ++i) {
            manyIds += QString::number(i % 200) + QLatin1Char(';');
        }
        QVector<uint> all200;
        for (uint i = 0; i < 200; ++i) {
            all200 << i;
        }
        QTest::newRow("10,000 ids") << manyIds << true << all200;
        QTest::newRow("10,000 ids, the last out of range")
            << manyIds + QStringLiteral("201") << false << QVector<uint>{};
        QTest::newRow("1 MB of separators and one id")
            << QString(1 << 20, QLatin1Char(';')) + QStringLiteral("42") << true
            << QVector<uint>{42};
        QTest::newRow("1 MB digit run")
            << QString(1 << 20, QLatin1Char('9')) << false << QVector<uint>{};
        QTest::newRow("full-width digits") << QString::fromUtf8("１２") << false << QVector<uint>{};
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("٣") << false << QVector<uint>{};
        QTest::newRow("blanks and a tab around ids")
            << QStringLiteral(" 5 ;\t7 ") << true << QVector<uint>{5, 7};
        QTest::newRow("blank inside an id") << QStringLiteral("2 0") << false << QVector<uint>{};
        QTest::newRow("only blanks") << QStringLiteral("   ") << false << QVector<uint>{};
        QTest::newRow("plus sign and leading zeros")
            << QStringLiteral("+5;007") << true << QVector<uint>{5, 7};
        QTest::newRow("hexadecimal") << QStringLiteral("0x5") << false << QVector<uint>{};
        QTest::newRow("full-width semicolon")
            << QString::fromUtf8("1；2") << false << QVector<uint>{};
        QTest::newRow("beyond 32 bits wrapping into range")
            << QStringLiteral("4294967297") << false << QVector<uint>{};
        QTest::newRow("zero bytes")
            << QString(QChar(0)) + QStringLiteral("1") << false << QVector<uint>{};
    }

    void unusualInput()
    {
        QFETCH(QString, included);
        QFETCH(bool, accepted);
        QFETCH(QVector<uint>, ids);
        FakeFactory factory;
        ClearDomainsOnExit clear;
        BrelvaneQtDemo window;
        ChangeCounter spy;
        const DialogResult r = runDomainDialog(window, included, QString());
        QCOMPARE(r.warned, !accepted);
        QCOMPARE(r.closedByAccept, accepted);
        QCOMPARE(window.includedText, accepted ? included : QString());
        QCOMPARE(spy.isEmpty(), !accepted);
        const std::vector<uint32_t> now = monitored();
        QCOMPARE(QVector<uint>(now.begin(), now.end()), ids);
    }

    void refusedDomainKeepsNoEntry()
    {
        FakeFactory factory;
        factory.refused = {13};
        StdoutCapture out;
        BrelvaneQtDemo window;
        const DialogResult r = runDomainDialog(window, QStringLiteral("13;14"), QString());
        QVERIFY(r.closedByAccept);
        QCOMPARE(monitored(), std::vector<uint32_t>{14});
        QCOMPARE(ownCount(), size_t(1));
        QCOMPARE(out.count(QStringLiteral("create_participant failed")), 1);
        DomainSelection::apply(MonitorLib::getInstance(), {}, {14});
    }

    void applyReportsDomainsNotJoined()
    {
        FakeFactory factory;
        factory.refused = {3, 5, 9};
        ClearDomainsOnExit clear;
        StdoutCapture out;
        MonitorLib& monitor = MonitorLib::getInstance();
        // 9 is excluded as well: never asked for, so never refused.
        QCOMPARE(DomainSelection::apply(monitor, {3, 4, 5, 9}, {9}), (std::set<uint32_t>{3, 5}));
        QCOMPARE(monitored(), std::vector<uint32_t>{4});
        QCOMPARE(out.count(QStringLiteral("create_participant failed")), 2);
        // A monitored domain is not asked for again; a refused one is, and may join now.
        factory.refused = {5};
        QCOMPARE(DomainSelection::apply(monitor, {3, 4, 5}, {}), std::set<uint32_t>{5});
        QCOMPARE(monitored(), (std::vector<uint32_t>{3, 4}));
        QVERIFY(DomainSelection::apply(monitor, {}, {3, 4}).empty());
    }

    // One warning box after the apply (the dialog closed, the detail tabs reset), naming every
    // domain that could not be joined; the others are joined all the same.
    void domainsNotJoinedAreNamedInOneWarning_data()
    {
        QTest::addColumn<QString>("included");
        QTest::addColumn<QVector<uint>>("refused");
        QTest::addColumn<QString>("text"); // empty: no warning
        QTest::addColumn<QVector<uint>>("joined");

        QTest::newRow("one refused") << "13;14" << QVector<uint>{13}
                                     << QString::fromUtf8("以下域无法加入:13") << QVector<uint>{14};
        QTest::newRow("several refused, in id order")
            << "200;15;14;0" << QVector<uint>{200, 0, 15}
            << QString::fromUtf8("以下域无法加入:0;15;200") << QVector<uint>{14};
        QTest::newRow("all refused")
            << "7" << QVector<uint>{7} << QString::fromUtf8("以下域无法加入:7") << QVector<uint>{};
        QTest::newRow("none refused")
            << "7;8" << QVector<uint>{} << QString() << QVector<uint>{7, 8};
    }

    void domainsNotJoinedAreNamedInOneWarning()
    {
        QFETCH(QString, included);
        QFETCH(QVector<uint>, refused);
        QFETCH(QString, text);
        QFETCH(QVector<uint>, joined);
        FakeFactory factory;
        factory.refused = std::set<uint32_t>(refused.begin(), refused.end());
        ClearDomainsOnExit clear;
        StdoutCapture out;
        BrelvaneQtDemo window;
        const DialogResult r = runDomainDialog(window, included, QString());
        QVERIFY(r.closedByAccept);
        QCOMPARE(window.includedText, included);
        const std::vector<uint32_t> now = monitored();
        QCOMPARE(QVector<uint>(now.begin(), now.end()), joined);
        QCOMPARE(out.count(QStringLiteral("create_participant failed")), refused.size());
        if (text.isEmpty()) {
            QVERIFY(!r.warned);
            return;
        }
        QCOMPARE(r.warnings, 1);
        QVERIFY(!r.dialogShownAtWarning);
        QCOMPARE(r.warningTitle, QString::fromUtf8("加入域失败"));
        QCOMPARE(r.warningText, text);
    }

    // The title tabs of the four fixed panels show no close button and stay whoever asks them
    // to close; the QoS tree stays in its panel's stack.
    void fixedPanelsKeepTheirTabs()
    {
        BrelvaneQtDemo window;
        const QList<TabBar*> strips{window.widget->sysLogic->tabBar,
                                    window.widget->sysPhysic->tabBar, window.matchWidget->tabBar,
                                    window.qosWidget->tabBar};
        const QStringList titles{QString::fromUtf8("系统逻辑图"), QString::fromUtf8("系统物理图"),
                                 QString::fromUtf8("匹配分析"), QString::fromUtf8("QoS信息")};
        for (int i = 0; i < strips.size(); ++i) {
            TabBar* strip = strips.at(i);
            QCOMPARE(strip->tabs.size(), 1);
            MyTab* tab = strip->tabs.first();
            QCOMPARE(tab->title, titles.at(i));
            QVERIFY(tab->closeButton->isHidden());
            QSignalSpy closed(strip, &TabBar::closeTab);
            emit tab->closeRequest();
            tab->closeButton->click();
            QCOMPARE(closed.count(), 0);
            QCOMPARE(strip->tabs, QList<MyTab*>{tab});
        }
        QCOMPARE(window.qosWidget->stackedWidget->indexOf(window.qosWidget->qosTree), 0);
        QCOMPARE(window.qosWidget->stackedWidget->currentWidget(),
                 static_cast<QWidget*>(window.qosWidget->qosTree));
    }

    void realParticipantJoinsAndLeaves()
    {
        const uint32_t domain = TestEnv::domain(0);
        BrelvaneQtDemo window;
        const QString id = QString::number(domain);
        runDomainDialog(window, id, QString());
        QCOMPARE(monitored(), std::vector<uint32_t>{domain});
        {
            MonitorLib& monitor = MonitorLib::getInstance();
            std::lock_guard<std::mutex> lock(monitor.mutex);
            ZORVAN::DomainParticipant* p = monitor.domains.at(domain).m_metaParticipant;
            QVERIFY(p);
            QCOMPARE(p->get_domain_id(), domain);
            QCOMPARE(monitor.ownParticipants.count(p->get_instance_handle()), size_t(1));
            QVERIFY(p->get_instance_handle().isValid);
        }
        runDomainDialog(window, id, id);
        QVERIFY(monitored().empty());
        QCOMPARE(ownCount(), size_t(0));
    }
};

QTEST_MAIN(TestDomainDialog)
#include "tst_domaindialog.moc"
