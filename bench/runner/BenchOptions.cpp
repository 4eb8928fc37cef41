#include "BenchOptions.h"

#include <functional>
#include <map>

bool BenchOptions::parse(const QStringList& args, QString& error)
{
    const auto number = [&error](const QString& name, const QString& text, double low, double high,
                                 double& out) {
        bool ok = false;
        out = text.toDouble(&ok);
        if (!ok || out < low || out > high) {
            error = QStringLiteral("bad value for %1: %2").arg(name, text);
            return false;
        }
        return true;
    };
    const std::map<QString, std::function<bool(const QString&, const QString&)>> setters = {
        {QStringLiteral("--label"),
         [this](const QString&, const QString& v) {
             label = v;
             return true;
         }},
        {QStringLiteral("--loadgen"),
         [this](const QString&, const QString& v) {
             loadgen = v;
             return true;
         }},
        {QStringLiteral("--json"),
         [this](const QString&, const QString& v) {
             jsonPath = v;
             return true;
         }},
        {QStringLiteral("--loadgen-config"),
         [this](const QString&, const QString& v) {
             loadgenConfig = v;
             return true;
         }},
        {QStringLiteral("--event-log"),
         [this](const QString&, const QString& v) {
             eventLog = v == QLatin1String("on");
             return v == QLatin1String("on") || v == QLatin1String("off");
         }},
    };
    const std::map<QString, std::pair<double, std::function<void(double)>>> numbers = {
        {QStringLiteral("--domain"), {200, [this](double v) { domain = uint32_t(v); }}},
        {QStringLiteral("--participants"), {1e6, [this](double v) { participants = uint32_t(v); }}},
        {QStringLiteral("--writers"), {1e7, [this](double v) { writers = uint32_t(v); }}},
        {QStringLiteral("--readers"), {1e7, [this](double v) { readers = uint32_t(v); }}},
        {QStringLiteral("--topics"), {1e7, [this](double v) { topics = uint32_t(v); }}},
        {QStringLiteral("--processes"), {100, [this](double v) { processes = uint32_t(v); }}},
        {QStringLiteral("--hot-percent"), {100, [this](double v) { hotPercent = v; }}},
        {QStringLiteral("--repeat"), {1000, [this](double v) { repeat = int(v); }}},
        {QStringLiteral("--probes"), {1000, [this](double v) { probes = int(v); }}},
        {QStringLiteral("--churn-rate"), {1e4, [this](double v) { churnRate = v; }}},
        {QStringLiteral("--churn-seconds"), {3600, [this](double v) { churnSeconds = int(v); }}},
        {QStringLiteral("--idle-seconds"), {3600, [this](double v) { idleSeconds = int(v); }}},
        {QStringLiteral("--crowd-writers"),
         {1e5, [this](double v) { crowdWriters = uint32_t(v); }}},
        {QStringLiteral("--crowd-readers"),
         {1e5, [this](double v) { crowdReaders = uint32_t(v); }}},
        {QStringLiteral("--crowd-picky-percent"),
         {100, [this](double v) { crowdPickyPercent = v; }}},
        {QStringLiteral("--discovery-timeout"),
         {86400, [this](double v) { discoveryTimeoutS = int(v); }}},
    };
    for (int i = 0; i < args.size(); i += 2) {
        const QString& name = args[i];
        if (i + 1 >= args.size()) {
            error = QStringLiteral("missing value after ") + name;
            return false;
        }
        const QString& value = args[i + 1];
        const auto text = setters.find(name);
        if (text != setters.end()) {
            if (!text->second(name, value)) {
                error = QStringLiteral("bad value for %1: %2").arg(name, value);
                return false;
            }
            continue;
        }
        const auto numeric = numbers.find(name);
        if (numeric == numbers.end()) {
            error = QStringLiteral("unknown option ") + name;
            return false;
        }
        double parsed = 0;
        if (!number(name, value, 0, numeric->second.first, parsed)) {
            return false;
        }
        numeric->second.second(parsed);
    }
    if (loadgen.isEmpty() || jsonPath.isEmpty()) {
        error = QStringLiteral("--loadgen and --json are required");
        return false;
    }
    if (processes == 0 || processes > participants || topics < 2 || repeat < 1) {
        error = QStringLiteral("need 0 < processes <= participants, topics >= 2, repeat >= 1");
        return false;
    }
    if (label.isEmpty()) {
        label = QString::number(writers + readers);
    }
    return true;
}

QString BenchOptions::usage()
{
    return QStringLiteral(
        "usage: monitor-bench --loadgen <path> --json <file> [--label L] [--domain D]\n"
        "         [--participants P] [--writers W] [--readers R] [--topics T] [--processes N]\n"
        "         [--hot-percent H] [--repeat K] [--probes M] [--churn-rate C]\n"
        "         [--churn-seconds S] [--idle-seconds S] [--discovery-timeout S]\n"
        "         [--crowd-writers CW] [--crowd-readers CR] [--crowd-picky-percent CP]\n"
        "         [--loadgen-config XML] [--event-log on|off]\n"
        "       monitor-bench --table <result.json>...\n"
        "Starts N load generators with a system of P participants, W writers and R readers\n"
        "over T topics in domain D, watches it with the monitor's real classes and writes\n"
        "every figure (median and spread of K repetitions) to the JSON file. --table prints\n"
        "the results of one or more runs side by side. --loadgen-config is appended to\n"
        "CYCLONEDDS_URI for the load generators only (empty: none). At the end CW writers\n"
        "and CR readers (default 1000 each) join one topic, CP per cent of the readers\n"
        "(default 30) asking for reliable delivery from best-effort writers (0 CW: skipped).\n"
        "--event-log off runs the monitor without recording its discovery events (on by\n"
        "default, as in the application).\n");
}

QStringList BenchOptions::loadgenArguments(uint32_t index) const
{
    return {QStringLiteral("--domain"),       QString::number(domain),
            QStringLiteral("--participants"), QString::number(participants),
            QStringLiteral("--writers"),      QString::number(writers),
            QStringLiteral("--readers"),      QString::number(readers),
            QStringLiteral("--topics"),       QString::number(topics),
            QStringLiteral("--processes"),    QString::number(processes),
            QStringLiteral("--index"),        QString::number(index),
            QStringLiteral("--hot-percent"),  QString::number(hotPercent)};
}
