#include "BrelvaneWidget.h"

BrelvaneWidget::BrelvaneWidget(QWidget* parent) : QWidget(parent)
{
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("BrelvaneWidget"));
    }
}
