#include "Reason.h"

#include <QCoreApplication>

QString Reason::text() const
{
    return QCoreApplication::translate("Reason", "%1：%2（发布端 %3，订阅端 %4）")
        .arg(policy, explanation, writerValue, readerValue);
}
