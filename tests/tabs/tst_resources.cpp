// The compiled-in icons: every path resolves to an 8-bit RGBA PNG of the size its role needs.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void image_data();
    void image();
};

void TestResources::image_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");

    const QSize small(15, 15);
    const QSize icon(30, 30);
    for (const char* name : {"checkBox_hover.png", "checkBox_normal.png", "checkBox_pressed.png"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << small;
    }
    for (const char* name :
         {"creat_hover.png", "creat_normal.png", "creat_pressed.png", "cross_hover.png",
          "cross_normal.png", "cross_pressed.png", "hold_hover.png", "hold_normal.png",
          "hold_pressed.png", "logic.png", "maxmum_hover.png", "maxmum_normal.png",
          "maxmum_pressed.png", "openTree.png", "physics.png", "title.png"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << icon;
    }
    QTest::newRow("start.png") << QStringLiteral("start.png") << QSize(10, 10);
}

void TestResources::image()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    const QString path = QStringLiteral(":/BrelvaneQtDemo/Resources/") + file;

    QFile resource(path);
    QVERIFY2(resource.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = resource.readAll();

    // PNG signature, then IHDR: width, height, bit depth, colour type (6 = RGBA).
    QVERIFY(bytes.size() > 33);
    QCOMPARE(bytes.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    QCOMPARE(bytes.mid(12, 4), QByteArray("IHDR"));
    const auto* header = reinterpret_cast<const uchar*>(bytes.constData()) + 16;
    QCOMPARE(int(qFromBigEndian<quint32>(header)), size.width());
    QCOMPARE(int(qFromBigEndian<quint32>(header + 4)), size.height());
    QCOMPARE(int(header[8]), 8);
    QCOMPARE(int(header[9]), 6);

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    // A drawn icon, not an empty square.
    bool anyOpaque = false;
    for (int y = 0; y < image.height() && !anyOpaque; ++y) {
        for (int x = 0; x < image.width() && !anyOpaque; ++x) {
            anyOpaque = qAlpha(image.pixel(x, y)) == 255;
        }
    }
    QVERIFY(anyOpaque);
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
