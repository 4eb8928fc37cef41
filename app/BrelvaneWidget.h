// The main window's central content: the panels of the monitor in three columns.
#pragma once

#include <QWidget>

class BrelvaneWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BrelvaneWidget(QWidget* parent = nullptr);
};
