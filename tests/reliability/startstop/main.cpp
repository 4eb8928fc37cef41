// monitor-startstop: one start and stop of the real monitor, as an operator would do it: the
// main window comes up, a domain is included, the peer shows in the physical view, the window
// is closed and main returns, so the monitor's exit-time teardown runs with a live domain and
// the polling thread somewhere in its pass.
//
//   monitor-startstop --domain N [--host NAME] [--wait-ms MS] [--linger-ms MS]
//
// With --host the window stays until a host item "NAME-..." shows (at most --wait-ms, default
// 15000) and then closes after a random 0..--linger-ms (default 300). Without --host it closes
// right after the domain is included, while the polling thread's first pass may still run.
// Prints "SEEN" or "UNSEEN", then "CLOSING"; exit code 0, or 3 when the host was not seen.
#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "DomainSelection.h"
#include "MonitorLib.h"
#include "SysPhysics.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

namespace {

struct Options
{
    int domain = -1;
    QString host;
    int waitMs = 15000;
    int lingerMs = 300;
};

bool parse(const QStringList& arguments, Options& options)
{
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        bool ok = true;
        if (name == QLatin1String("--domain")) {
            options.domain = value.toInt(&ok);
            ok = ok && options.domain >= 0 && options.domain <= 200;
        } else if (name == QLatin1String("--host")) {
            options.host = value;
        } else if (name == QLatin1String("--wait-ms")) {
            options.waitMs = value.toInt(&ok);
        } else if (name == QLatin1String("--linger-ms")) {
            options.lingerMs = value.toInt(&ok);
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return arguments.size() % 2 == 1 && options.domain >= 0 && options.waitMs >= 0 &&
           options.lingerMs >= 0;
}

bool hostShown(const SysPhysics* physics, const QString& host)
{
    const QString prefix = host + QLatin1Char('-');
    for (int i = 0; i < physics->m_rootItem->childCount(); ++i) {
        if (physics->m_rootItem->child(i)->text(0).startsWith(prefix)) {
            return true;
        }
    }
    return false;
}

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    int result = 0;
    {
        QApplication application(argc, argv);
        Options options;
        if (!parse(application.arguments(), options)) {
            std::fputs("usage: monitor-startstop --domain N [--host NAME] [--wait-ms MS] "
                       "[--linger-ms MS]\n",
                       stderr);
            return 2;
        }
        BrelvaneQtDemo window;
        window.show();

        bool decided = false;
        auto close = [&](bool seen) {
            if (decided) {
                return;
            }
            decided = true;
            say(seen ? "SEEN" : "UNSEEN");
            if (!seen && !options.host.isEmpty()) {
                result = 3;
            }
            const int linger = options.host.isEmpty()
                                   ? 0
                                   : int(QRandomGenerator::global()->bounded(options.lingerMs + 1));
            QTimer::singleShot(linger, &window, [&window] {
                say("CLOSING");
                window.close();
            });
        };

        MonitorLib& monitor = MonitorLib::getInstance();
        DomainSelection::apply(monitor, {uint32_t(options.domain)}, {});
        if (options.host.isEmpty()) {
            emit monitor.dataChanged();
            close(false);
        } else {
            // Connected after the views, so it runs after they rebuilt for the same change.
            QObject::connect(&monitor, &MonitorLib::dataChanged, &window, [&] {
                if (hostShown(window.widget->sysPhysic, options.host)) {
                    close(true);
                }
            });
            emit monitor.dataChanged();
            QTimer::singleShot(options.waitMs, &window, [&] { close(false); });
        }
        const int code = application.exec();
        if (result == 0) {
            result = code;
        }
    }
    return result;
}
