// Values of a megabyte in every text the views show: host name, executable path, user data,
// topic and type names, partitions. Cyclone DDS never delivers such announcements (it refuses
// fragmented discovery data, see tst_hostilepeers), but another middleware may; the middleware
// double hands them to every panel, which must show them whole and stay usable.
#include "FakeParticipant.h"
#include "HandleText.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MonitorFixture.h"
#include "QoSInfo.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TopicInfo.h"

#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <mutex>
#include <string>

using namespace ZORVAN;

namespace {

const int megabyte = 1 << 20;
const std::string hugeHost(megabyte, 'h');
const std::string hugeTopic(megabyte, 't');
const std::string hugeType(megabyte, 'y');
const std::string hugeProcess = std::string(megabyte, 'e');

QString text(const std::string& bytes)
{
    return QString::fromStdString(bytes);
}

// Every item text of a tree, depth first.
QStringList allTexts(const QTreeWidget* tree)
{
    QStringList texts;
    std::function<void(const QTreeWidgetItem*)> walk = [&](const QTreeWidgetItem* item) {
        for (int c = 0; c < item->columnCount(); ++c) {
            texts << item->text(c);
        }
        for (int i = 0; i < item->childCount(); ++i) {
            walk(item->child(i));
        }
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        walk(tree->topLevelItem(i));
    }
    return texts;
}

} // namespace

class TestHugeValues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        FakeParticipant& fake = m_fixture.addDomainLocked(m_domain);
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x50);
        p.user_data.value.assign(megabyte, 'u');
        p.property.value.push_back({"dds.sys_info.hostname", hugeHost, true});
        p.property.value.push_back(
            {"dds.sys_info.executable_filepath", "/opt/" + hugeProcess, true});
        p.property.value.push_back({"dds.sys_info.process_id", "4321", true});
        p.property.value.push_back({"dds.sys_info.ip", "192.0.2.7", true});
        p.property.value.push_back(
            {"other." + std::string(megabyte, 'n'), std::string(megabyte, 'v'), true});
        fake.addParticipant(p);

        PublicationBuiltinTopicData w;
        w.key = FakeParticipant::key(0x10, 1);
        w.participant_key = p.key;
        w.topic_name = hugeTopic;
        w.type_name = hugeType;
        w.partition.name.push_back(std::string(megabyte, 'p'));
        w.user_data.value.assign(megabyte, 'w');
        fake.addPublication(w);

        SubscriptionBuiltinTopicData r;
        r.key = FakeParticipant::key(0x20, 1);
        r.participant_key = p.key;
        r.topic_name = hugeTopic;
        r.type_name = hugeType;
        r.partition.name.push_back(std::string(megabyte, 'p'));
        fake.addSubscription(r);
        m_writer = w.key;
        m_reader = r.key;
    }

    void treeViews()
    {
        SysLogic logic;
        QVERIFY(QMetaObject::invokeMethod(&logic, "onDataChanged"));
        QTreeWidgetItem* domainItem = logic.m_domainItems.value(int(m_domain), nullptr);
        QVERIFY(domainItem);
        QCOMPARE(domainItem->childCount(), 1);
        QCOMPARE(domainItem->child(0)->text(0), text(hugeTopic));

        SysPhysics physics;
        QVERIFY(QMetaObject::invokeMethod(&physics, "onDataChanged"));
        QTreeWidgetItem* hostItem =
            physics.m_hostItems.value(PhysicalHost{hugeHost, "192.0.2.7"}, nullptr);
        QVERIFY(hostItem);
        QCOMPARE(hostItem->childCount(), 1);
        QCOMPARE(hostItem->child(0)->text(0), text(hugeProcess) + QStringLiteral(":4321"));
    }

    // The topic tab lists both endpoints; a click on the writer's row fills the QoS panel with
    // the megabyte partition and user data, and the match panel with the reader.
    void topicTabAndPanels()
    {
        QoSInfo qos;
        MatchWidget match;
        TopicInfo page;
        page.m_qosInfo = &qos;
        page.m_matchWidget = &match;
        page.fillTopic(m_domain, text(hugeTopic));
        QCOMPARE(page.m_table->rowCount(), 2);
        QCOMPARE(page.m_table->item(0, 0)->text(), QStringLiteral("DataReader"));
        QCOMPARE(page.m_table->item(1, 1)->text(), text(hugeHost) + QStringLiteral(" - 192.0.2.7"));
        QCOMPARE(page.m_table->item(1, 4)->text(), HandleText::text(HandleText::keyOf(m_writer)));

        emit page.m_table->itemClicked(page.m_table->item(1, 2));
        const QStringList qosTexts = allTexts(qos.qosTree);
        QVERIFY(qosTexts.contains(QString(megabyte, QLatin1Char('p'))));
        QVERIFY(qosTexts.contains(QString(megabyte, QLatin1Char('w'))));
        QCOMPARE(match.treeWidget->topLevelItemCount(), 1);
        const QStringList matchTexts = allTexts(match.treeWidget);
        QVERIFY(matchTexts.contains(text(hugeType)));
        QVERIFY(matchTexts.contains(text(hugeProcess)));
    }

    void hostTab()
    {
        QoSInfo qos;
        MatchWidget match;
        HostInfoWidget page;
        page.m_qosInfo = &qos;
        page.m_matchWidget = &match;
        page.showProcess(hugeHost, "192.0.2.7", hugeProcess, 4321);
        const QStringList texts = allTexts(page.m_tree);
        QCOMPARE(texts.count(QString::fromUtf8("主题名称:") + text(hugeTopic)), 2);
        QCOMPARE(texts.count(QString::fromUtf8("类型名称:") + text(hugeType)), 2);
        QVERIFY(texts.contains(QString::fromUtf8("进程名：") + text(hugeProcess)));
    }

private:
    const uint32_t m_domain = 119;
    MonitorFixture m_fixture;
    BuiltinTopicKey_t m_writer;
    BuiltinTopicKey_t m_reader;
};

QTEST_MAIN(TestHugeValues)
#include "tst_hugevalues.moc"
