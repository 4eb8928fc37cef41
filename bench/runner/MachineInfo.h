// Where a benchmark result came from: CPU, cores, memory, OS, compiler, build type, versions.
#pragma once

#include <QJsonObject>

class MachineInfo
{
public:
    static QJsonObject collect();
};
