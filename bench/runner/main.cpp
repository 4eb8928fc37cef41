// monitor-bench: measures the monitor's real classes against a large synthetic DDS system on
// loopback (see BenchOptions::usage()), or prints earlier results as a table.
#include "BenchOptions.h"
#include "BenchRun.h"
#include "ReportTable.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <cstdio>

namespace {

int printTable(const QStringList& files)
{
    std::vector<QJsonObject> runs;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "monitor-bench: cannot read %s\n", qPrintable(path));
            return 1;
        }
        runs.push_back(QJsonDocument::fromJson(file.readAll()).object());
    }
    std::fputs(ReportTable::render(runs).toUtf8().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The views are real widgets; they need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--table")) {
        return printTable(args.mid(1));
    }
    if (args.value(0) == QLatin1String("--help")) {
        std::fputs(BenchOptions::usage().toUtf8().constData(), stdout);
        return 0;
    }
    BenchOptions options;
    QString error;
    if (!options.parse(args, error)) {
        std::fprintf(stderr, "monitor-bench: %s\n%s", qPrintable(error),
                     qPrintable(BenchOptions::usage()));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("CYCLONEDDS_URI")) {
        std::fputs("monitor-bench: set CYCLONEDDS_URI to the loopback configuration\n", stderr);
        return 2;
    }

    {
        BenchRun run(options);
        if (!run.run(error)) {
            std::fprintf(stderr, "monitor-bench: %s\n", qPrintable(error));
            return 1;
        }
        // Written before the monitor leaves the domain: the results are kept however long
        // Cyclone takes to tear down a thousand remote participants.
        QFile out(options.jsonPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "monitor-bench: cannot write %s\n", qPrintable(options.jsonPath));
            return 1;
        }
        out.write(QJsonDocument(run.toJson()).toJson());
    }
    return printTable({options.jsonPath});
}
