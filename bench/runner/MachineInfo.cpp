#include "MachineInfo.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QSysInfo>
#include <thread>

#include <dds/version.h>

namespace {

// The value after "<key>:" (or "<key>=") on the first line that starts with the key.
QString fieldOf(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QString();
    }
    // /proc files report a size of 0: read to the end instead of testing for it.
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(key)) {
            QString value = line.mid(key.size()).trimmed();
            if (value.startsWith(QLatin1Char(':')) || value.startsWith(QLatin1Char('='))) {
                value = value.mid(1).trimmed();
            }
            value.remove(QLatin1Char('"'));
            return value;
        }
    }
    return QString();
}

} // namespace

QJsonObject MachineInfo::collect()
{
    const QString memKiB = fieldOf(QStringLiteral("/proc/meminfo"), QStringLiteral("MemTotal"));
    const double memGiB =
        memKiB.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0).toDouble() / 1024.0 / 1024.0;
    return QJsonObject{
        {QStringLiteral("cpu"),
         fieldOf(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name"))},
        {QStringLiteral("cores"), int(std::thread::hardware_concurrency())},
        {QStringLiteral("memory_gib"), qRound(memGiB * 10) / 10.0},
        {QStringLiteral("os"),
         fieldOf(QStringLiteral("/etc/os-release"), QStringLiteral("PRETTY_NAME"))},
        {QStringLiteral("kernel"), QSysInfo::kernelVersion()},
        {QStringLiteral("compiler"), QStringLiteral(BENCH_COMPILER)},
        {QStringLiteral("build_type"), QStringLiteral(BENCH_BUILD_TYPE)},
        {QStringLiteral("qt"), QString::fromLatin1(qVersion())},
        {QStringLiteral("cyclonedds"), QStringLiteral(DDS_VERSION)},
    };
}
