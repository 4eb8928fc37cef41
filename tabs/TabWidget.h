// Panel base: a tab strip over stacked pages, page i belonging to tab i. Choosing a tab shows
// its page; closing a tab takes its page out of the stack without deleting it.
#pragma once

#include <QString>
#include <QWidget>

class QStackedWidget;
class QVBoxLayout;
class TabBar;

class TabWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TabWidget(QWidget* parent = nullptr);

    // Adds a tab with the title and appends the page. Only the first page is shown by this;
    // call setCurrentPage to show a later one.
    void addPage(const QString& title, QWidget* page);
    // The same, with a tab that cannot be closed: for a page that must always be there.
    void addFixedPage(const QString& title, QWidget* page);
    // Shows a page of this panel and makes its tab current.
    void setCurrentPage(QWidget* page);

    // Form members, used directly by owners and subclasses.
    QVBoxLayout* verticalLayout;
    TabBar* tabBar;
    QStackedWidget* stackedWidget;

signals:
    // The tab at index has closed; its page is still at index of stackedWidget while this is
    // delivered and is removed (not deleted) right after.
    void widgetRemoving(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void onTabClosed(int index);

private:
    void setupUi();
    void retranslateUi();
};
