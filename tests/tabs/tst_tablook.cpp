// The strip under the application style sheet: the rules and their images, the checked tab in
// white on blue, the others in blue on light, and the close button's three images.
#include "MyTab.h"
#include "StyleSheet.h"
#include "TabBar.h"

#include <QCryptographicHash>
#include <QImage>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QtTest>

namespace {

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(image.pixelColor(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

bool near(QColor c, int r, int g, int b, int tolerance)
{
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
           std::abs(c.blue() - b) <= tolerance;
}

} // namespace

class TestTabLook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rulesInOrder();
    void sheetTextExact();
    void imagesOfTheRulesResolve();
    void checkedAndUncheckedTabs();
    void closeButtonImages();

private:
    QWidget* m_window = nullptr;
    TabBar* m_bar = nullptr;
};

void TestTabLook::init()
{
    // Set on the window before its children exist, as the main window does.
    m_window = new QWidget;
    m_window->setStyleSheet(applicationStyleSheet());
    auto* layout = new QVBoxLayout(m_window);
    m_bar = new TabBar(m_window);
    layout->addWidget(m_bar);
    m_window->resize(700, 60);
    m_bar->addTab(QStringLiteral("Aa 未选中"));
    m_bar->addTab(QStringLiteral("Bb 选中"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_VERIFY(m_bar->tabs.at(1)->isVisible() && m_bar->tabs.at(1)->width() > 60);
}

void TestTabLook::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestTabLook::rulesInOrder()
{
    QStringList selectors;
    for (const QString& rule : applicationStyleSheet().split(QLatin1Char('}'))) {
        QString selector = rule.section(QLatin1Char('{'), 0, 0).simplified();
        if (!selector.isEmpty()) {
            selectors.append(selector.remove(QLatin1Char(' ')));
        }
    }
    const QStringList expected{
        QStringLiteral("QPushButton[type=\"max\"]"),
        QStringLiteral("QPushButton[type=\"max\"]:hover"),
        QStringLiteral("QPushButton[type=\"max\"]:pressed"),
        QStringLiteral("QPushButton[type=\"min\"]"),
        QStringLiteral("QPushButton[type=\"min\"]:hover"),
        QStringLiteral("QPushButton[type=\"min\"]:pressed"),
        QStringLiteral("QWidget[type=\"backwidget\"]"),
        QStringLiteral("QLabel[type=\"title_empty\"]"),
        QStringLiteral("MyTab"),
        QStringLiteral("MyTab:checked"),
        QStringLiteral("MyTab>QPushButton"),
        QStringLiteral("MyTab>QPushButton:hover"),
        QStringLiteral("MyTab>QPushButton:pressed"),
        QStringLiteral("QTreeWidget"),
        QStringLiteral("QWidget[type=\"content\"]"),
    };
    QCOMPARE(selectors, expected);
}

// The sheet's bytes are pinned: an edit of the source that changes the text (white space
// included) must show here and be made deliberately, with the checksum updated.
void TestTabLook::sheetTextExact()
{
    const QByteArray text(applicationStyleSheetText);
    QCOMPARE(text.size(), 2391);
    QCOMPARE(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex(),
             QByteArray("7b69f9ccebda0a26428874d906b97c65e98bb2c7a76afe7d3f67f5a3797de8d1"));
    // One rule per line, each line ended by a line feed.
    QVERIFY(text.endsWith("}\n"));
    const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
    QCOMPARE(lines.size(), 15);
    for (const QByteArray& line : lines) {
        QCOMPARE(line.count('{'), 1);
        QVERIFY(line.endsWith('}'));
    }
    QCOMPARE(applicationStyleSheet().toUtf8(), text);
}

void TestTabLook::imagesOfTheRulesResolve()
{
    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    QStringList paths;
    auto it = url.globalMatch(applicationStyleSheet());
    while (it.hasNext()) {
        paths.append(it.next().captured(1));
    }
    QCOMPARE(paths.size(), 9);
    for (const QString& path : paths) {
        QVERIFY2(path.startsWith(QStringLiteral(":/BrelvaneQtDemo/Resources/")), qPrintable(path));
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(30, 30));
    }
}

void TestTabLook::checkedAndUncheckedTabs()
{
    MyTab* unchecked = m_bar->tabs.at(0);
    MyTab* checked = m_bar->tabs.at(1);
    QVERIFY(checked->isChecked() && !unchecked->isChecked());
    QVERIFY(checked->font().bold());
    QCOMPARE(checked->font().pointSize(), 11);

    // Text lies left of the close button's room; both tabs are 30 pixels high.
    const QImage on = checked->grab().toImage();
    const QImage off = unchecked->grab().toImage();
    const QRect onText(2, 4, checked->width() - 30, 22);
    const QRect offText(2, 4, unchecked->width() - 30, 22);

    // Checked: a saturated blue fill with white text.
    const QColor onBackground = on.pixelColor(3, 20);
    QVERIFY2(onBackground.blue() > 200 && onBackground.red() < 110,
             qPrintable(onBackground.name()));
    QVERIFY(countPixels(on, onText, [](QColor c) { return near(c, 255, 255, 255, 20); }) > 15);

    // Unchecked: a light fill with blue text, nothing dark.
    const QColor offBackground = off.pixelColor(3, 20);
    QVERIFY2(offBackground.red() > 215 && offBackground.green() > 225,
             qPrintable(offBackground.name()));
    QVERIFY(countPixels(off, offText, [](QColor c) { return near(c, 55, 131, 235, 30); }) > 15);
    QCOMPARE(countPixels(off, offText, [](QColor c) { return c.lightness() < 60; }), 0);
}

void TestTabLook::closeButtonImages()
{
    QPushButton* close = m_bar->tabs.at(1)->closeButton;
    QVERIFY(close->isVisible());
    // A point on the cross's disc between its arms.
    const QPoint probe(close->width() / 2, close->height() * 27 / 100);

    const QColor normal = close->grab().toImage().pixelColor(probe);
    QVERIFY2(normal.red() > 200 && normal.green() > 200 && normal.blue() > 200,
             qPrintable(normal.name()));

    // The pointer over the close button.
    QTest::mouseMove(close, QPoint(close->width() / 2, close->height() / 2));
    QTRY_VERIFY(close->underMouse());
    const QColor hover = close->grab().toImage().pixelColor(probe);
    QVERIFY2(hover.red() > 170 && hover.green() < 110 && hover.blue() < 110,
             qPrintable(hover.name()));

    close->setDown(true);
    const QColor pressed = close->grab().toImage().pixelColor(probe);
    QVERIFY2(pressed.red() > 110 && pressed.red() < hover.red() && pressed.green() < 70,
             qPrintable(pressed.name()));
}

QTEST_MAIN(TestTabLook)
#include "tst_tablook.moc"
