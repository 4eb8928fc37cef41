// One tab of a TabBar: a checkable push button with a close button at its right end.
// The style sheet draws it by class name (MyTab, MyTab>QPushButton).
#pragma once

#include <QPushButton>
#include <QString>

class MyTab : public QPushButton
{
    Q_OBJECT

public:
    MyTab();

    // Shows the title elided at the right so that it stays clear of the close button. The
    // title is shown as it is: an "&" in it is no shortcut marker.
    void updateText();
    // Shows or hides the close button; a tab that is not closable never shows it.
    void setCloseButtonVisible(bool visible);
    // A tab that is not closable (the title tab of a fixed panel) shows no close button and
    // its strip ignores its close requests. Tabs are closable from creation on; made closable
    // again, a tab shows its button the next time its strip or the pointer asks for it.
    void setClosable(bool closable);
    bool isClosable() const { return m_closable; }
    // The width the full title needs next to the close button.
    int preferredWidth() const;
    // The text that makes a button or a menu entry show `text` as it is ("&" doubled).
    static QString literalText(const QString& text);

    QString title;
    QString elidedTitle;
    QPushButton* closeButton;

signals:
    void closeRequest();
    // Positive: towards the right end of the strip.
    void scollAdd(int addNum);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void onCloseButton();

private:
    bool m_closable = true;
};
