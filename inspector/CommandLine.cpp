#include "CommandLine.h"

#include "DomainSelection.h"

#include <cmath>

namespace CommandLine {

namespace {

using Command = InspectorOptions::Command;

Command commandFrom(const QString& word)
{
    if (word == QLatin1String("snapshot")) {
        return Command::Snapshot;
    }
    if (word == QLatin1String("check")) {
        return Command::Check;
    }
    if (word == QLatin1String("watch")) {
        return Command::Watch;
    }
    return Command::None;
}

// The dialog's rules, one id at a time, so that the message can name the id that breaks them.
bool readDomains(const QString& text, std::set<uint32_t>& domains, QString& error)
{
    const QStringList pieces = QString(text)
                                   .replace(QLatin1Char(';'), QLatin1Char(','))
                                   .split(QLatin1Char(','), Qt::SkipEmptyParts);
    std::set<uint32_t> read;
    for (const QString& piece : pieces) {
        if (!DomainSelection::isValidInput(piece)) {
            error = QStringLiteral("bad domain id '%1': a domain id is a whole number from 0 to "
                                   "200; separate several by ',' (for example 0,3)")
                        .arg(piece);
            return false;
        }
        const std::set<uint32_t> id = DomainSelection::parseIds(piece);
        read.insert(id.begin(), id.end());
    }
    if (read.empty()) {
        error = QStringLiteral("--domains names no domain id (for example --domains 0,3)");
        return false;
    }
    domains.insert(read.begin(), read.end());
    return true;
}

bool readSeconds(const QString& option, const QString& text, double& seconds, QString& error)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    // A year is far beyond any sensible wait and keeps every derived millisecond count exact.
    if (!ok || !std::isfinite(value) || value < 0 || value > 365.0 * 24 * 3600) {
        error = QStringLiteral("bad value '%1' for %2: give a number of seconds, 0 or more")
                    .arg(text, option);
        return false;
    }
    seconds = value;
    return true;
}

bool takes(Command command, const QString& option)
{
    if (option == QLatin1String("--domains") || option == QLatin1String("--verbose")) {
        return true;
    }
    if (option == QLatin1String("--settle") || option == QLatin1String("--quiet") ||
        option == QLatin1String("--format")) {
        return command == Command::Snapshot || command == Command::Check;
    }
    if (option == QLatin1String("--duration")) {
        return command == Command::Watch;
    }
    return false;
}

bool isHelp(const QString& argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

} // namespace

Outcome parse(const QStringList& arguments, InspectorOptions& options, QString& error)
{
    options = InspectorOptions();
    if (arguments.isEmpty()) {
        error = QStringLiteral("no command given");
        return Outcome::UsageError;
    }
    const QString& first = arguments.first();
    if (first == QLatin1String("--version") && arguments.size() == 1) {
        return Outcome::Version;
    }
    if (isHelp(first) && arguments.size() == 1) {
        return Outcome::Help;
    }
    options.command = commandFrom(first);
    if (options.command == Command::None) {
        error = first.startsWith(QLatin1Char('-'))
                    ? QStringLiteral("unknown option '%1'").arg(first)
                    : QStringLiteral("unknown command '%1'").arg(first);
        return Outcome::UsageError;
    }
    const QString command = commandName(options.command);
    for (const QString& argument : arguments.mid(1)) {
        if (isHelp(argument)) {
            return Outcome::Help;
        }
    }
    bool domainsGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        QString option = arguments[i];
        QString value;
        bool hasValue = false;
        const int equals = option.indexOf(QLatin1Char('='));
        if (option.startsWith(QLatin1String("--")) && equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
            hasValue = true;
        }
        if (!option.startsWith(QLatin1Char('-'))) {
            error = QStringLiteral("unexpected argument '%1'").arg(option);
            return Outcome::UsageError;
        }
        if (!takes(options.command, option)) {
            error = QStringLiteral("unknown option '%1' for %2").arg(option, command);
            return Outcome::UsageError;
        }
        if (option == QLatin1String("--verbose")) {
            if (hasValue) {
                error = QStringLiteral("--verbose takes no value");
                return Outcome::UsageError;
            }
            options.verbose = true;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(option);
                return Outcome::UsageError;
            }
            value = arguments[++i];
        }
        bool ok = true;
        if (option == QLatin1String("--domains")) {
            ok = readDomains(value, options.domains, error);
            domainsGiven = true;
        } else if (option == QLatin1String("--settle")) {
            ok = readSeconds(option, value, options.settleSeconds, error);
        } else if (option == QLatin1String("--quiet")) {
            ok = readSeconds(option, value, options.quietSeconds, error);
        } else if (option == QLatin1String("--duration")) {
            ok = readSeconds(option, value, options.durationSeconds, error);
        } else if (value == QLatin1String("json")) {
            options.format = InspectorOptions::Format::Json;
        } else if (value == QLatin1String("text")) {
            options.format = InspectorOptions::Format::Text;
        } else {
            error = QStringLiteral("bad value '%1' for --format: json or text").arg(value);
            ok = false;
        }
        if (!ok) {
            return Outcome::UsageError;
        }
    }
    if (!domainsGiven) {
        error = QStringLiteral("%1 needs --domains (for example --domains 0,3)").arg(command);
        return Outcome::UsageError;
    }
    return Outcome::Run;
}

QString commandName(InspectorOptions::Command command)
{
    switch (command) {
    case Command::Snapshot:
        return QStringLiteral("snapshot");
    case Command::Check:
        return QStringLiteral("check");
    case Command::Watch:
        return QStringLiteral("watch");
    case Command::None:
        break;
    }
    return QString();
}

QString usage(InspectorOptions::Command command)
{
    const QString domains =
        QStringLiteral("  --domains LIST     the domain ids to join, 0 to 200, separated by ','\n"
                       "                     (for example 0,3; the domain dialog's ';' works too\n"
                       "                     when quoted)\n");
    const QString settle =
        QStringLiteral("  --settle SECONDS   wait at most this long for discovery to settle\n"
                       "                     (default 10)\n"
                       "  --quiet SECONDS    discovery has settled when nothing changed for this\n"
                       "                     long (default 2; more for large or busy systems)\n");
    const QString verbose =
        QStringLiteral("  --verbose          progress and timings on standard error\n"
                       "  --help             this text\n");
    const QString exitCodes = QStringLiteral("Exit codes: 0 done; 2 bad command line, or a domain "
                                             "that cannot be joined;\n"
                                             "130 interrupted before the result.\n");
    // Joined from a list: a long chain of + makes the compiler see an overflow that is not there.
    const QString format = QStringLiteral("  --format json|text output format (default json)\n");
    switch (command) {
    case Command::Snapshot:
        return QStringList{QStringLiteral("usage: brelvane snapshot --domains LIST [--settle "
                                          "SECONDS] [--quiet SECONDS]\n"
                                          "                         [--format json|text]\n"
                                          "Joins the domains, waits until discovery settles, "
                                          "prints every participant,\n"
                                          "writer, reader and topic with its QoS and the "
                                          "problems found, and leaves.\n\n"),
                           domains,
                           settle,
                           format,
                           verbose,
                           QStringLiteral("\n"),
                           exitCodes}
            .join(QString());
    case Command::Check:
        return QStringList{QStringLiteral("usage: brelvane check --domains LIST [--settle "
                                          "SECONDS] [--quiet SECONDS]\n"
                                          "                      [--format json|text]\n"
                                          "Like snapshot, but prints the problems only, and "
                                          "tells by its exit code whether\n"
                                          "any of them is an error.\n\n"),
                           domains,
                           settle,
                           format,
                           verbose,
                           QStringLiteral("\nExit codes: 0 no error-level problem; 1 at least "
                                          "one; 2 bad command line, or a\n"
                                          "domain that cannot be joined; 130 interrupted before "
                                          "the result.\n")}
            .join(QString());
    case Command::Watch:
        return QStringList{QStringLiteral("usage: brelvane watch --domains LIST [--duration "
                                          "SECONDS]\n"
                                          "Prints one JSON object per line for every discovery "
                                          "event: first what already\n"
                                          "exists, as \"joined\" events, then every participant, "
                                          "writer and reader that\n"
                                          "joins or leaves (\"joined\", \"left\") or changes its "
                                          "QoS (\"qos_changed\"),\n"
                                          "until interrupted (SIGINT, SIGTERM) or the duration "
                                          "ends.\n\n"),
                           domains,
                           QStringLiteral("  --duration SECONDS stop after this long (default: "
                                          "until interrupted)\n"),
                           verbose,
                           QStringLiteral("\nExit codes: 0 done, also when interrupted; 2 bad "
                                          "command line, or a domain\n"
                                          "that cannot be joined.\n")}
            .join(QString());
    case Command::None:
        break;
    }
    return QStringLiteral(
        "usage: brelvane COMMAND --domains LIST [options]\n"
        "       brelvane COMMAND --help\n"
        "       brelvane --version\n"
        "Inspects DDS domains from the command line.\n\n"
        "Commands:\n"
        "  snapshot  every participant, writer, reader and topic, and the problems found\n"
        "  check     the problems only; exit code 1 when one of them is an error\n"
        "  watch     discovery events as JSON lines, until interrupted\n\n"
        "Standard output carries only the result; diagnostics go to standard error.\n"
        "The network is chosen as for the monitor: through CYCLONEDDS_URI.\n");
}

} // namespace CommandLine
