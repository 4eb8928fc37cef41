// Equality and ordering of the interface's instance handles, and the GUID form the layer
// gives every handle it hands out.
#include "GuidKey.h"

#include <QtTest>

#include <set>
#include <vector>

using namespace ZORVAN;

namespace {

InstanceHandle_t handle(std::initializer_list<int> bytes, uint32_t length = 16,
                        uint32_t isValid = 1)
{
    InstanceHandle_t h;
    size_t i = 0;
    for (int b : bytes) {
        h.value[i++] = uint8_t(b);
    }
    h.length = length;
    h.isValid = isValid;
    return h;
}

} // namespace

Q_DECLARE_METATYPE(InstanceHandle_t)

class TestInstanceHandle : public QObject
{
    Q_OBJECT

private slots:
    void compare_data()
    {
        QTest::addColumn<InstanceHandle_t>("a");
        QTest::addColumn<InstanceHandle_t>("b");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<bool>("aBeforeB");
        QTest::addColumn<bool>("bBeforeA");

        QTest::newRow("same bytes")
            << handle({1, 2, 3}) << handle({1, 2, 3}) << true << false << false;
        QTest::newRow("last byte differs")
            << handle({1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4})
            << handle({1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}) << false << true << false;
        QTest::newRow("bytes compare unsigned")
            << handle({0x80}) << handle({0x7f}) << false << false << true;
        QTest::newRow("same bytes, different isValid")
            << handle({9, 9}, 16, 1) << handle({9, 9}, 16, 0) << false << false << true;
        QTest::newRow("shorter length first, whatever the bytes")
            << handle({1}, 16) << handle({2}, 8) << false << false << true;
        QTest::newRow("bytes before isValid")
            << handle({1}, 16, 1) << handle({2}, 16, 0) << false << true << false;
        QTest::newRow("bytes past length do not count")
            << handle({1, 2, 3, 4, 5, 6, 7, 8, 9}, 8) << handle({1, 2, 3, 4, 5, 6, 7, 8, 10}, 8)
            << true << false << false;
    }

    void compare()
    {
        QFETCH(InstanceHandle_t, a);
        QFETCH(InstanceHandle_t, b);
        QFETCH(bool, equal);
        QFETCH(bool, aBeforeB);
        QFETCH(bool, bBeforeA);

        QCOMPARE(a == b, equal);
        QCOMPARE(b == a, equal);
        QCOMPARE(a != b, !equal);
        QCOMPARE(a < b, aBeforeB);
        QCOMPARE(b < a, bBeforeA);

        const InstanceHandle_t copy = a;
        QVERIFY(copy == a);
    }

    void setKeepsEveryHandleThatIsNotEqual()
    {
        // Handles that differ only in isValid or in length are different keys, as they are
        // different handles under ==.
        std::set<InstanceHandle_t> handles{handle({5}, 16, 1), handle({5}, 16, 0), handle({4}),
                                           handle({5}, 8, 1), handle({5}, 16, 1)};
        QCOMPARE(handles.size(), size_t(4));
        QVERIFY(*handles.begin() == handle({5}, 8, 1));
        QCOMPARE(handles.count(handle({5}, 16, 0)), size_t(1));
    }

    // A strict weak ordering whose equivalence is equality: irreflexive, transitive, and two
    // handles are equivalent exactly when they are equal.
    void orderIsConsistentWithEquality()
    {
        const std::vector<InstanceHandle_t> handles{handle({1}, 16, 1),
                                                    handle({1}, 16, 0),
                                                    handle({2}, 16, 1),
                                                    handle({1}, 8, 1),
                                                    handle({1, 0, 0, 0, 0, 0, 0, 0, 7}, 8, 1),
                                                    handle({0x80}, 16, 1),
                                                    handle({1}, 17, 1),
                                                    handle({1, 2, 3}, 2, 1),
                                                    handle({1, 2, 4}, 2, 1)};
        for (const InstanceHandle_t& a : handles) {
            QVERIFY(!(a < a));
            for (const InstanceHandle_t& b : handles) {
                const bool equivalent = !(a < b) && !(b < a);
                QCOMPARE(equivalent, a == b);
                for (const InstanceHandle_t& c : handles) {
                    if (a < b && b < c) {
                        QVERIFY(a < c);
                    }
                }
            }
        }
    }

    void guidKeyMakesValidSixteenByteHandles()
    {
        const uint8_t raw[16] = {0x01, 0x10, 0x92, 0xfa, 0, 0xff, 7, 8,
                                 9,    10,   11,   12,   0, 0,    1, 0xc1};
        const GuidKey key = GuidKey::fromBytes(raw);

        const InstanceHandle_t h = key.toHandle();
        QCOMPARE(h.length, 16u);
        QCOMPARE(h.isValid, 1u);
        QCOMPARE(std::memcmp(h.value, raw, 16), 0);
        QCOMPARE(std::memcmp(key.toKey().value, raw, 16), 0);

        GuidKey back;
        QVERIFY(GuidKey::fromHandle(h, back));
        QVERIFY(back == key);
        QCOMPARE(GuidKey::Hash()(back), GuidKey::Hash()(key));
    }

    void guidKeyRefusesForeignHandles_data()
    {
        QTest::addColumn<InstanceHandle_t>("foreign");
        QTest::newRow("not valid") << handle({1, 2}, 16, 0);
        QTest::newRow("short") << handle({1, 2}, 8, 1);
        QTest::newRow("long") << handle({1, 2}, 17, 1);
    }

    void guidKeyRefusesForeignHandles()
    {
        QFETCH(InstanceHandle_t, foreign);
        GuidKey key;
        QVERIFY(!GuidKey::fromHandle(foreign, key));
    }
};

QTEST_APPLESS_MAIN(TestInstanceHandle)
#include "tst_instancehandle.moc"
