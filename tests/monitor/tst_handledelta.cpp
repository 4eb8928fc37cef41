// The comparison of consecutive handle lists that decides when the monitor signals a change.
#include "MonitorLib.h"

#include <QtTest>

using ZORVAN::InstanceHandle_t;
using ZORVAN::InstanceHandleSeq;

Q_DECLARE_METATYPE(InstanceHandleSeq)

namespace {

InstanceHandle_t h(uint8_t id, uint32_t isValid = 1)
{
    InstanceHandle_t handle;
    handle.value[0] = id;
    handle.value[15] = uint8_t(id * 7);
    handle.isValid = isValid;
    return handle;
}

// Lists are written as ids; an id above 100 stands for the same bytes as id - 100 with
// isValid 0.
InstanceHandleSeq seq(std::initializer_list<int> ids)
{
    InstanceHandleSeq out;
    for (int id : ids) {
        out.push_back(id > 100 ? h(uint8_t(id - 100), 0) : h(uint8_t(id)));
    }
    return out;
}

} // namespace

class TestHandleDelta : public QObject
{
    Q_OBJECT

private slots:
    void delta_data()
    {
        QTest::addColumn<InstanceHandleSeq>("newList");
        QTest::addColumn<InstanceHandleSeq>("oldList");
        QTest::addColumn<InstanceHandleSeq>("added");
        QTest::addColumn<InstanceHandleSeq>("removed");

        QTest::newRow("both empty") << seq({}) << seq({}) << seq({}) << seq({});
        QTest::newRow("first pass reports all, in new order")
            << seq({3, 1, 2}) << seq({}) << seq({3, 1, 2}) << seq({});
        QTest::newRow("all gone, in old order") << seq({}) << seq({5, 4}) << seq({}) << seq({5, 4});
        QTest::newRow("reorder only") << seq({1, 2, 3}) << seq({3, 1, 2}) << seq({}) << seq({});
        QTest::newRow("one in, one out")
            << seq({1, 4, 3}) << seq({1, 2, 3}) << seq({4}) << seq({2});
        QTest::newRow("added keep new order")
            << seq({9, 1, 8, 7}) << seq({1}) << seq({9, 8, 7}) << seq({});
        QTest::newRow("removed keep old order")
            << seq({2}) << seq({6, 2, 5, 4}) << seq({}) << seq({6, 5, 4});
        QTest::newRow("duplicate added twice") << seq({4, 4}) << seq({}) << seq({4, 4}) << seq({});
        QTest::newRow("duplicate present on the other side")
            << seq({1, 1, 2}) << seq({1}) << seq({2}) << seq({});
        QTest::newRow("left from the middle, joined at the end")
            << seq({1, 3, 4, 5}) << seq({1, 2, 3}) << seq({4, 5}) << seq({2});
        QTest::newRow("joined at the end, also among those that stay")
            << seq({1, 2, 1}) << seq({1, 2}) << seq({}) << seq({});
        QTest::newRow("left, still standing twice before")
            << seq({2}) << seq({2, 3, 2}) << seq({}) << seq({3});
        QTest::newRow("isValid differs: one removed, one added")
            << seq({101}) << seq({1}) << seq({101}) << seq({1});
    }

    void delta()
    {
        QFETCH(InstanceHandleSeq, newList);
        QFETCH(InstanceHandleSeq, oldList);
        QFETCH(InstanceHandleSeq, added);
        QFETCH(InstanceHandleSeq, removed);

        const HandleDelta delta = MonitorLib::computeDelta(newList, oldList);
        QVERIFY(delta.added == added);
        QVERIFY(delta.removed == removed);
        QCOMPARE(delta.changed, !added.empty() || !removed.empty());
    }

    void shortHandlesCompareSignificantBytesOnly()
    {
        InstanceHandle_t a = h(1);
        InstanceHandle_t b = h(1);
        a.length = b.length = 4;
        b.value[10] = 0x55; // beyond the significant bytes
        const HandleDelta delta = MonitorLib::computeDelta({a}, {b});
        QVERIFY(!delta.changed);
    }
};

QTEST_APPLESS_MAIN(TestHandleDelta)
#include "tst_handledelta.moc"
