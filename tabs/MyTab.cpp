#include "MyTab.h"

#include <QFontMetrics>
#include <QWheelEvent>

MyTab::MyTab()
{
    setCheckable(true);
    setFixedHeight(30);

    closeButton = new QPushButton(this);
    closeButton->setFixedSize(25, 25);
    connect(closeButton, SIGNAL(clicked()), this, SLOT(onCloseButton()));

    title = tr("测试使用的标签栏标题");
    updateText();

    setChecked(true);
    // A zero-height icon keeps QPushButton from reserving room for one.
    setIconSize(QSize(iconSize().width(), 0));
}

void MyTab::updateText()
{
    // The close button's width is held back even while it is hidden, so the text does not
    // jump when the button appears under the pointer.
    const int available = width() - closeButton->width();
    elidedTitle = QFontMetrics(font()).elidedText(title, Qt::ElideRight, available);
    // A button takes "&" for the marker of an Alt shortcut: "R&D" would show as "RD".
    setText(literalText(elidedTitle));
}

QString MyTab::literalText(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

void MyTab::setCloseButtonVisible(bool visible)
{
    closeButton->setVisible(visible && m_closable);
    updateText();
}

void MyTab::setClosable(bool closable)
{
    m_closable = closable;
    if (!closable) {
        closeButton->hide();
        updateText();
    }
}

int MyTab::preferredWidth() const
{
    // The style sheet sets the tab's font when the tab is polished; measure with that font.
    ensurePolished();
    return QFontMetrics(font()).horizontalAdvance(title) + closeButton->width() + 25;
}

void MyTab::wheelEvent(QWheelEvent* event)
{
    // Touchpads report pixels, wheels report eighths of a degree; a turn of less than half a
    // degree (one step is 15) counts as no movement.
    const QPoint pixels = event->pixelDelta();
    const QPoint degrees = event->angleDelta() / 8;
    if (!pixels.isNull()) {
        emit scollAdd(pixels.y() > 0 ? -1 : 1);
    } else if (!degrees.isNull()) {
        emit scollAdd(degrees.y() > 0 ? -1 : 1);
    }
    event->accept();
}

void MyTab::enterEvent(QEvent* event)
{
    // The current tab's close button is managed by the strip; others show theirs on hover.
    if (!isChecked() && m_closable) {
        closeButton->show();
        updateText();
    }
    QPushButton::enterEvent(event);
}

void MyTab::leaveEvent(QEvent* event)
{
    if (!isChecked()) {
        closeButton->hide();
        updateText();
    }
    QPushButton::leaveEvent(event);
}

void MyTab::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    closeButton->move(width() - closeButton->width() - 1, (height() - closeButton->height()) / 2);
    updateText();
}

void MyTab::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
}

void MyTab::onCloseButton()
{
    emit closeRequest();
}
