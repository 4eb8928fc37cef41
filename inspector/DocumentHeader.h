// What every document of the inspector says about itself: which command made it, with which
// version, when the picture was taken and whether discovery had settled by then.
#pragma once

#include <QDateTime>
#include <QString>

struct DocumentHeader
{
    QString command; // "snapshot", "check"
    QDateTime takenAt;
    bool settled = false;
};
