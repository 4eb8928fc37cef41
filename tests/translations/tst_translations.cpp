// The English catalogue: every text the sources hand to the translation system has a finished
// English translation that keeps its placeholders, and the catalogue is the one compiled in and
// installed at start-up when the operator's first language is English.
#include "CompatibilityEngine.h"
#include "CompatibilityKey.h"
#include "UiLanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString sourceDir = QStringLiteral(BRELVANE_SOURCE_DIR);
const QString catalogue = sourceDir + QStringLiteral("/translations/brelvane_en.ts");

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty when finished

    bool operator==(const Message& other) const
    {
        return context == other.context && source == other.source && comment == other.comment &&
               translation == other.translation && type == other.type;
    }
    QString name() const { return context + QLatin1Char('/') + source; }
};

QList<Message> readCatalogue(const QString& path, QString* error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto tag = xml.name();
            if (tag == QLatin1String("context")) {
                context.clear();
            } else if (tag == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (tag == QLatin1String("message")) {
                current = Message();
                current.context = context;
            } else if (tag == QLatin1String("source")) {
                current.source = xml.readElementText();
            } else if (tag == QLatin1String("comment")) {
                current.comment = xml.readElementText();
            } else if (tag == QLatin1String("translation")) {
                current.type = xml.attributes().value(QLatin1String("type")).toString();
                current.translation = xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            messages.append(current);
        }
    }
    if (xml.hasError()) {
        *error = xml.errorString();
    }
    return messages;
}

QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%L?\\d+"));
    QStringList found;
    auto it = marker.globalMatch(text);
    while (it.hasNext()) {
        found << it.next().captured();
    }
    found.sort();
    return found;
}

bool hasHanOrFullWidth(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9fff) || (u >= 0xff00 && u <= 0xffef)) {
            return true;
        }
    }
    return false;
}

void removeTranslators()
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated()
    {
        QString error;
        const QList<Message> messages = readCatalogue(catalogue, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(messages.size() > 50);
        for (const Message& m : messages) {
            QVERIFY2(m.type.isEmpty(), qPrintable(m.name() + QStringLiteral(": ") + m.type));
            QVERIFY2(!m.translation.trimmed().isEmpty(), qPrintable(m.name()));
            QVERIFY2(!hasHanOrFullWidth(m.translation), qPrintable(m.name()));
            QVERIFY2(placeholders(m.translation) == placeholders(m.source),
                     qPrintable(m.name() + QStringLiteral(" -> ") + m.translation));
        }
    }

    // lupdate run over the sources into a copy of the catalogue: a text new in the sources
    // comes out unfinished, one gone from them vanished, and either way the copy differs.
    void catalogueCoversTheSources()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString copy = dir.filePath(QStringLiteral("brelvane_en.ts"));
        QVERIFY(QFile::copy(catalogue, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(BRELVANE_CMAKE),
                      {QStringLiteral("-DLUPDATE=" BRELVANE_LUPDATE),
                       QStringLiteral("-DSOURCE_DIR=") + sourceDir,
                       QStringLiteral("-DTS_FILE=") + copy, QStringLiteral("-DMODE=check"),
                       QStringLiteral("-P"),
                       sourceDir + QStringLiteral("/translations/lupdate.cmake")});
        QVERIFY(lupdate.waitForFinished(60000));
        const QByteArray output = lupdate.readAll();
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 output.constData());

        QString error;
        const QList<Message> committed = readCatalogue(catalogue, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QList<Message> refreshed = readCatalogue(copy, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList stale;
        for (const Message& m : refreshed) {
            if (!m.type.isEmpty()) {
                stale << m.type + QStringLiteral(": ") + m.name();
            }
        }
        QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("run the update_translations target, "
                                                            "then translate: ") +
                                             stale.join(QStringLiteral("; "))));
        QCOMPARE(refreshed.size(), committed.size());
        QVERIFY(refreshed == committed);
    }

    void prefersEnglish_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<bool>("english");
        QTest::newRow("en") << QStringList{QStringLiteral("en")} << true;
        QTest::newRow("en-US first")
            << QStringList{QStringLiteral("en-US"), QStringLiteral("zh-CN")} << true;
        QTest::newRow("en_GB") << QStringList{QStringLiteral("en_GB")} << true;
        QTest::newRow("zh-CN first")
            << QStringList{QStringLiteral("zh-CN"), QStringLiteral("en-US")} << false;
        QTest::newRow("de-DE first")
            << QStringList{QStringLiteral("de-DE"), QStringLiteral("en")} << false;
        QTest::newRow("C") << QStringList{QStringLiteral("C")} << false;
        QTest::newRow("POSIX") << QStringList{QStringLiteral("POSIX")} << false;
        QTest::newRow("none") << QStringList() << false;
    }

    void prefersEnglish()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(bool, english);
        QCOMPARE(UiLanguage::prefersEnglish(uiLanguages), english);
    }

    void chineseStaysWithoutTranslator()
    {
        removeTranslators();
        QVERIFY(!UiLanguage::install(*qApp, {QStringLiteral("C")}));
        QVERIFY(qApp->findChildren<QTranslator*>().isEmpty());
        QCOMPARE(QCoreApplication::translate("SysLogic", "系统逻辑图"),
                 QString::fromUtf8("系统逻辑图"));
    }

    // The compiled-in catalogue, through a text built of several translated parts.
    void englishCatalogueIsCompiledIn()
    {
        removeTranslators();
        QVERIFY(UiLanguage::install(*qApp, {QStringLiteral("en-US")}));
        QCOMPARE(QCoreApplication::translate("SysLogic", "系统逻辑图"),
                 QStringLiteral("Logical View"));
        CompatibilityKey writer;
        writer.reliability = 1;
        CompatibilityKey reader = writer;
        reader.reliability = 2;
        reader.durability = 1;
        QCOMPARE(CompatibilityEngine::judge(writer, reader).summary(),
                 QStringLiteral("Cannot match: durability: the writer offers less durability than "
                                "the reader requests (writer VOLATILE_DURABILITY_QOS, reader "
                                "TRANSIENT_LOCAL_DURABILITY_QOS); reliability: the writer offers "
                                "less reliability than the reader requests (writer "
                                "BEST_EFFORT_RELIABILITY_QOS, reader RELIABLE_RELIABILITY_QOS)"));
        removeTranslators();
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
