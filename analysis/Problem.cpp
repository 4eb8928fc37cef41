#include "Problem.h"

#include <QCoreApplication>

QString ProblemEndpoint::text() const
{
    if (isEmpty()) {
        return QString();
    }
    return process + QLatin1Char(' ') + handle;
}

QString Problem::levelText(ProblemLevel level)
{
    switch (level) {
    case ProblemLevel::Error:
        return QCoreApplication::translate("Problem", "错误");
    case ProblemLevel::Warning:
        return QCoreApplication::translate("Problem", "警告");
    case ProblemLevel::Hint:
        break;
    }
    return QCoreApplication::translate("Problem", "提示");
}

bool Problem::sameEntry(const Problem& other) const
{
    return !(*this < other) && !(other < *this) && text == other.text && writer == other.writer &&
           reader == other.reader && count == other.count;
}
