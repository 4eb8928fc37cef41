// inspector-bench: the snapshot command's own work (collect, build, print) at the benchmark's
// sizes, on a system of the load generator's shape held behind the middleware interface
// (IndexedSystem), so that the figure does not depend on how far the middleware's discovery of
// a real load has come on a busy machine. The monitor's polling thread walks it meanwhile, as
// it would walk a real domain.
#include "IndexedSystem.h"
#include "LoadPlan.h"
#include "MonitorLib.h"
#include "PlannedSystem.h"
#include "SnapshotCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace ZORVAN;

namespace {

struct Figure
{
    std::vector<double> samples;
    void add(double ms) { samples.push_back(ms); }
    // "median [min–max]"
    void print(const char* name) const
    {
        std::vector<double> s = samples;
        std::sort(s.begin(), s.end());
        std::printf("  %-28s %7.1f [%.1f-%.1f] ms\n", name, s[s.size() / 2], s.front(), s.back());
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    LoadPlan plan;
    int repeat = 15;
    std::string error;
    if (!PlannedSystem::parse(argc, argv, plan, repeat, error)) {
        std::fprintf(stderr, "inspector-bench: %s\n%s  --repeat N  runs per format (15)\n",
                     error.c_str(), LoadPlan::usage());
        return 2;
    }

    IndexedSystem system(plan.domain);
    PlannedSystem::fill(system, plan);
    MonitorLib& monitor = MonitorLib::getInstance();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        monitor.domains[plan.domain].m_metaParticipant = &system;
        monitor.ownParticipants.insert(system.get_instance_handle());
    }
    rusage before = {};
    getrusage(RUSAGE_SELF, &before);
    // Printed into a file, as `brelvane snapshot > file` does (the page cache, not the disk).
    char sinkName[] = "/tmp/inspector-bench.XXXXXX";
    const int sink = ::mkstemp(sinkName);
    if (sink < 0) {
        std::perror("inspector-bench");
        return 1;
    }
    ::unlink(sinkName);
    std::printf("%u participants, %u writers, %u readers, %u topics; %d runs per format\n",
                plan.participants, plan.writers, plan.readers, plan.topics, repeat);
    for (InspectorOptions::Format format :
         {InspectorOptions::Format::Json, InspectorOptions::Format::Text}) {
        Figure collect, problems, build, write, total;
        size_t bytes = 0;
        size_t listed = 0;
        for (int run = 0; run < repeat; ++run) {
            DocumentHeader header;
            header.command = QStringLiteral("snapshot");
            header.takenAt = QDateTime::currentDateTimeUtc();
            header.settled = true;
            const SnapshotCommand::Result result = SnapshotCommand::run(monitor, header, format);
            ::ftruncate(sink, 0);
            ::lseek(sink, 0, SEEK_SET);
            QElapsedTimer timer;
            timer.start();
            const ssize_t written = ::write(sink, result.text.data(), result.text.size());
            const double writeMs = double(timer.nsecsElapsed()) / 1e6;
            if (written != ssize_t(result.text.size()) ||
                result.endpoints != size_t(plan.writers + plan.readers)) {
                std::fprintf(stderr, "inspector-bench: incomplete snapshot\n");
                return 1;
            }
            bytes = result.text.size();
            listed = result.problems;
            collect.add(result.collectMs);
            problems.add(result.problemsMs);
            build.add(result.buildMs);
            write.add(writeMs);
            total.add(result.collectMs + result.problemsMs + result.buildMs + writeMs);
        }
        std::printf("%s (%zu bytes, %zu problems listed):\n",
                    format == InspectorOptions::Format::Json ? "json" : "text", bytes, listed);
        collect.print("collect under the mutex");
        problems.print("problems analysis");
        build.print("build the document");
        write.print("print");
        total.print("own work in all");
    }
    rusage after = {};
    getrusage(RUSAGE_SELF, &after);
    std::printf("peak memory: %.1f MiB (%.1f MiB with the system held by the double, before "
                "the first snapshot)\n",
                double(after.ru_maxrss) / 1024.0, double(before.ru_maxrss) / 1024.0);
    ::close(sink);
    // The system is not the monitor's to delete.
    monitor.stopPolling();
    std::lock_guard<std::mutex> lock(monitor.mutex);
    monitor.domains.clear();
    monitor.ownParticipants.clear();
    return 0;
}
