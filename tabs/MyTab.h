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

    // Shows the title elided at the right so that it stays clear of the close button.
    void updateText();
    void setCloseButtonVisible(bool visible);
    // The width the full title needs next to the close button.
    int preferredWidth() const;

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
};
