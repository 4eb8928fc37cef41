// dds-peer: a DDS peer scripted from the command line (see PeerPlan::usage()).
#include "CommandInput.h"
#include "MatchReport.h"
#include "PeerPlan.h"
#include "peerkit/Participant.h"
#include "peerkit/QosLine.h"
#include "peerkit/StopSignal.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Running
{
    std::unique_ptr<peerkit::Participant> participant;
    double leaveAfter;
};

bool createAll(const PeerPlan& plan, std::vector<Running>& running)
{
    for (const PeerPlan::Participant& p : plan.participants) {
        std::string error;
        std::unique_ptr<peerkit::Participant> participant =
            peerkit::Participant::create(p.domain, p.properties, p.userData, error);
        if (!participant) {
            std::fprintf(stderr, "dds-peer: %s\n", error.c_str());
            return false;
        }
        std::printf("participant %s\n", participant->guid().c_str());
        for (const PeerPlan::Endpoint& e : p.endpoints) {
            peerkit::QosLine qos;
            qos.parse(e.qos, error); // checked while parsing the command line
            const peerkit::Participant::Endpoint* endpoint =
                e.isWriter ? participant->addWriter(e.topic, e.typeName, qos.qos(), error)
                           : participant->addReader(e.topic, e.typeName, qos.qos(), error);
            if (!endpoint) {
                std::fprintf(stderr, "dds-peer: %s\n", error.c_str());
                return false;
            }
            std::printf("%s %s %s\n", e.isWriter ? "writer" : "reader", endpoint->guid.c_str(),
                        endpoint->topic.c_str());
        }
        running.push_back({std::move(participant), p.leaveAfter});
    }
    return true;
}

// "qos <guid> <QoS text>": changes the policies the text names on that writer or reader.
// Answers "QOS <guid>" once the middleware took the change, "FAILED <reason>" otherwise.
void runCommand(const std::string& line, std::vector<Running>& running)
{
    const size_t verbEnd = line.find(' ');
    const std::string verb = line.substr(0, verbEnd);
    std::string error;
    if (verb == "qos" && verbEnd != std::string::npos) {
        const size_t guidEnd = line.find(' ', verbEnd + 1);
        const std::string guid = line.substr(verbEnd + 1, guidEnd - verbEnd - 1);
        peerkit::QosLine qos;
        if (guidEnd == std::string::npos || !qos.parse(line.substr(guidEnd + 1), error)) {
            error = error.empty() ? "qos needs a GUID and a QoS text" : error;
        } else {
            for (Running& r : running) {
                if (r.participant && r.participant->setQos(guid, qos.qos(), error)) {
                    std::printf("QOS %s\n", guid.c_str());
                    std::fflush(stdout);
                    return;
                }
            }
        }
    } else {
        error = "unknown command '" + line + "'";
    }
    std::printf("FAILED %s\n", error.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    PeerPlan plan;
    std::string error;
    if (!plan.parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::fprintf(stderr, "dds-peer: %s\n%s", error.c_str(), PeerPlan::usage());
        return 2;
    }
    if (plan.help) {
        std::fputs(PeerPlan::usage(), stdout);
        return 0;
    }
    peerkit::StopSignal::install();

    std::vector<Running> running;
    if (!createAll(plan, running)) {
        return 1;
    }
    std::puts("READY");
    std::fflush(stdout);
    if (plan.reportMatches) {
        std::vector<const peerkit::Participant*> participants;
        for (const Running& r : running) {
            participants.push_back(r.participant.get());
        }
        // A second of quiet is ample on loopback; a minute covers a slow second process.
        MatchReport::run(participants, 1.0, 60.0);
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const double tick = plan.publishRate > 0 ? std::min(1.0 / plan.publishRate, 0.1) : 0.1;
    double nextPublish = 0;
    int32_t sampleId = 0;
    CommandInput commands;
    while (!peerkit::StopSignal::requested()) {
        if (plan.commands) {
            for (const std::string& line : commands.lines()) {
                runCommand(line, running);
            }
        }
        const double now = std::chrono::duration<double>(Clock::now() - start).count();
        if (plan.duration >= 0 && now >= plan.duration) {
            break;
        }
        for (Running& r : running) {
            if (r.participant && r.leaveAfter >= 0 && now >= r.leaveAfter) {
                const std::string guid = r.participant->guid();
                r.participant.reset();
                std::printf("LEFT %s\n", guid.c_str());
                std::fflush(stdout);
            }
        }
        const bool publishNow = plan.publishRate > 0 && now >= nextPublish;
        if (publishNow) {
            nextPublish += 1.0 / plan.publishRate;
            ++sampleId;
        }
        for (Running& r : running) {
            if (r.participant) {
                if (publishNow) {
                    r.participant->publish(sampleId % 100, "sample " + std::to_string(sampleId));
                }
                r.participant->drain();
            }
        }
        peerkit::StopSignal::sleepFor(tick);
    }
    // Deleting the participants announces their end, so peers drop them at once rather than
    // after a lease expires.
    running.clear();
    return 0;
}
