// Display texts of QoS values: enumerator names, raw durations, Latin-1 octets.
#include "QosText.h"

#include <QtTest>
#include <functional>

using namespace ZORVAN;

class TestQosText : public QObject
{
    Q_OBJECT

private slots:
    void kindTexts_data();
    void kindTexts();
    void durationText_data();
    void durationText();
    void octetsText_data();
    void octetsText();
    void boolText();
};

using KindFunction = std::function<QString(uint8_t)>;
Q_DECLARE_METATYPE(KindFunction)

void TestQosText::kindTexts_data()
{
    QTest::addColumn<KindFunction>("function");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    const KindFunction durability = durabilityKindText;
    QTest::newRow("durability 0") << durability << 0 << "VOLATILE_DURABILITY_QOS";
    QTest::newRow("durability 1") << durability << 1 << "TRANSIENT_LOCAL_DURABILITY_QOS";
    QTest::newRow("durability 2") << durability << 2 << "TRANSIENT_DURABILITY_QOS";
    QTest::newRow("durability 3") << durability << 3 << "PERSISTENT_DURABILITY_QOS";
    QTest::newRow("durability 4") << durability << 4 << QString();
    QTest::newRow("durability 255") << durability << 255 << QString();

    const KindFunction presentation = presentationScopeText;
    QTest::newRow("presentation 0") << presentation << 0 << "INSTANCE_PRESENTATION_QOS";
    QTest::newRow("presentation 1") << presentation << 1 << "TOPIC_PRESENTATION_QOS";
    QTest::newRow("presentation 2") << presentation << 2 << "GROUP_PRESENTATION_QOS";
    QTest::newRow("presentation 3") << presentation << 3 << QString();

    const KindFunction ownership = ownershipKindText;
    QTest::newRow("ownership 0") << ownership << 0 << "SHARED_OWNERSHIP_QOS";
    QTest::newRow("ownership 1") << ownership << 1 << "EXCLUSIVE_OWNERSHIP_QOS";
    QTest::newRow("ownership 2") << ownership << 2 << QString();

    const KindFunction liveliness = livelinessKindText;
    QTest::newRow("liveliness 0") << liveliness << 0 << "AUTOMATIC_LIVELINESS_QOS";
    QTest::newRow("liveliness 1") << liveliness << 1 << "MANUAL_BY_PARTICIPANT_LIVELINESS_QOS";
    QTest::newRow("liveliness 2") << liveliness << 2 << "MANUAL_BY_TOPIC_LIVELINESS_QOS";
    QTest::newRow("liveliness 3") << liveliness << 3 << QString();

    const KindFunction reliability = reliabilityKindText;
    QTest::newRow("reliability 0") << reliability << 0 << QString();
    QTest::newRow("reliability 1") << reliability << 1 << "BEST_EFFORT_RELIABILITY_QOS";
    QTest::newRow("reliability 2") << reliability << 2 << "RELIABLE_RELIABILITY_QOS";
    QTest::newRow("reliability 3") << reliability << 3 << QString();

    const KindFunction order = destinationOrderKindText;
    QTest::newRow("order 0") << order << 0 << "BY_RECEPTION_TIMESTAMP_DESTINATIONORDER_QOS";
    QTest::newRow("order 1") << order << 1 << "BY_SOURCE_TIMESTAMP_DESTINATIONORDER_QOS";
    QTest::newRow("order 2") << order << 2 << QString();

    const KindFunction history = historyKindText;
    QTest::newRow("history 0") << history << 0 << "KEEP_LAST_HISTORY_QOS";
    QTest::newRow("history 1") << history << 1 << "KEEP_ALL_HISTORY_QOS";
    QTest::newRow("history 2") << history << 2 << QString();
}

void TestQosText::kindTexts()
{
    QFETCH(KindFunction, function);
    QFETCH(int, value);
    QFETCH(QString, text);
    const QString result = function(uint8_t(value));
    QCOMPARE(result, text);
    // Unlisted values give an empty text, not merely an equal-looking one.
    QCOMPARE(result.isEmpty(), text.isEmpty());
}

void TestQosText::durationText_data()
{
    QTest::addColumn<int>("sec");
    QTest::addColumn<uint>("nanosec");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << 0u << "{0,0}";
    QTest::newRow("negative seconds") << -1 << 0u << "{-1,0}";
    QTest::newRow("largest nanosec") << 0 << 4294967295u << "{0,4294967295}";
    QTest::newRow("smallest sec") << int(INT32_MIN) << 1u << "{-2147483648,1}";
    QTest::newRow("infinite marker")
        << int(DURATION_INFINITE_SEC) << uint(DURATION_INFINITE_NSEC) << "{2147483647,2147483647}";
    QTest::newRow("plain") << 5 << 500000000u << "{5,500000000}";
}

void TestQosText::durationText()
{
    QFETCH(int, sec);
    QFETCH(uint, nanosec);
    QFETCH(QString, text);
    Duration_t duration;
    duration.sec = sec;
    duration.nanosec = nanosec;
    QCOMPARE(::durationText(duration), text);
}

void TestQosText::octetsText_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("abc") << QByteArray("abc") << "abc";
    QTest::newRow("latin-1") << QByteArray("\xe9") << QString(QChar(0xe9));
    QTest::newRow("zero inside") << QByteArray("a\0b", 3)
                                 << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    QTest::newRow("high bytes not utf-8")
        << QByteArray("\xc3\xa9\xff") << QString(QChar(0xc3)) + QChar(0xa9) + QChar(0xff);
    QTest::newRow("no escaping") << QByteArray("%1\\n") << "%1\\n";
}

void TestQosText::octetsText()
{
    QFETCH(QByteArray, octets);
    QFETCH(QString, text);
    const OctetSeq seq(octets.begin(), octets.end());
    const QString result = ::octetsText(seq);
    QCOMPARE(result, text);
    QCOMPARE(result.size(), text.size());
}

void TestQosText::boolText()
{
    QCOMPARE(::boolText(true), QStringLiteral("true"));
    QCOMPARE(::boolText(false), QStringLiteral("false"));
}

QTEST_APPLESS_MAIN(TestQosText)
#include "tst_qostext.moc"
