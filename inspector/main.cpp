// brelvane: the command-line inspector (snapshot, check, watch; see `brelvane --help`).
#include "Inspector.h"
#include "ResultOutput.h"
#include "UiLanguage.h"

#include <QCoreApplication>
#include <csignal>

int main(int argc, char* argv[])
{
    // Before anything can print: standard output is for the result alone.
    ResultOutput output;
    // A reader that goes away (`brelvane watch | head`) ends the command through a failed
    // write, so it still leaves the network cleanly.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brelvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRELVANE_VERSION));
    // The inspector speaks English whatever the locale: the analysis's texts (problem levels,
    // reasons) come from the same translation the window uses for English-speaking operators.
    UiLanguage::install(application, {QStringLiteral("en")});
    Inspector inspector(output);
    return inspector.run(QCoreApplication::arguments().mid(1));
}
