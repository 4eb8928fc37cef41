// brelvane-demo: a small, fixed DDS system to watch with the monitor (see README.md).
#include "DemoScenario.h"
#include "peerkit/Participant.h"
#include "peerkit/QosLine.h"
#include "peerkit/StopSignal.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const usageText =
    "usage: brelvane-demo [--domains 0,1] [--duration S] [--churn S]\n"
    "Joins each domain with the demo participants (see tools/demo/README.md), prints\n"
    "\"participant <guid>\", \"writer <guid> <topic>\", \"reader <guid> <topic>\" per entity\n"
    "and then \"READY\". Writers publish a sample every 2 s.\n"
    "Run it only with CYCLONEDDS_URI=file:///work/main/config/loopback.xml.\n"
    "  --domains LIST  comma-separated domain ids (default 0)\n"
    "  --duration S    exit after S seconds (default: until SIGTERM/SIGINT)\n"
    "  --churn S       every S seconds one participant leaves (\"LEFT <guid>\") and joins\n"
    "                  again with new entities, in turn\n";

struct Slot
{
    uint32_t domain;
    const DemoParticipant* plan;
    std::unique_ptr<peerkit::Participant> participant;
};

bool join(Slot& slot)
{
    std::string error;
    slot.participant = peerkit::Participant::create(slot.domain, slot.plan->properties,
                                                    slot.plan->userData, error);
    if (!slot.participant) {
        std::fprintf(stderr, "brelvane-demo: %s: %s\n", slot.plan->label.c_str(), error.c_str());
        return false;
    }
    std::printf("participant %s\n", slot.participant->guid().c_str());
    for (const DemoEndpoint& e : slot.plan->endpoints) {
        peerkit::QosLine qos;
        const peerkit::Participant::Endpoint* endpoint = nullptr;
        if (qos.parse(e.qos, error)) {
            endpoint = e.isWriter
                           ? slot.participant->addWriter(e.topic, e.typeName, qos.qos(), error)
                           : slot.participant->addReader(e.topic, e.typeName, qos.qos(), error);
        }
        if (!endpoint) {
            std::fprintf(stderr, "brelvane-demo: %s: %s\n", slot.plan->label.c_str(),
                         error.c_str());
            return false;
        }
        std::printf("%s %s %s\n", e.isWriter ? "writer" : "reader", endpoint->guid.c_str(),
                    endpoint->topic.c_str());
    }
    return true;
}

bool parseSeconds(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return *text != '\0' && *end == '\0' && out >= 0;
}

bool parseDomains(const std::string& text, std::vector<uint32_t>& out)
{
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        char* end = nullptr;
        const unsigned long id = std::strtoul(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || id > 232) {
            return false;
        }
        out.push_back(uint32_t(id));
        start = comma + 1;
    }
    return !out.empty();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<uint32_t> domains;
    double duration = -1;
    double churn = 0;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usageText, stdout);
            return 0;
        } else if (std::strcmp(argv[i], "--domains") == 0 && hasValue &&
                   parseDomains(argv[i + 1], domains)) {
        } else if (std::strcmp(argv[i], "--duration") == 0 && hasValue &&
                   parseSeconds(argv[i + 1], duration)) {
        } else if (std::strcmp(argv[i], "--churn") == 0 && hasValue &&
                   parseSeconds(argv[i + 1], churn) && churn > 0) {
        } else {
            std::fprintf(stderr, "brelvane-demo: bad argument '%s'\n%s", argv[i], usageText);
            return 2;
        }
        ++i;
    }
    if (domains.empty()) {
        domains.push_back(0);
    }
    peerkit::StopSignal::install();

    std::vector<Slot> slots;
    for (uint32_t domain : domains) {
        for (const DemoParticipant& plan : demoScenario()) {
            slots.push_back({domain, &plan, nullptr});
        }
    }
    for (Slot& slot : slots) {
        if (!join(slot)) {
            return 1;
        }
    }
    std::puts("READY");
    std::fflush(stdout);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    double nextPublish = 0;
    double nextChurn = churn;
    size_t churnIndex = 0;
    int32_t sampleId = 0;
    while (!peerkit::StopSignal::sleepFor(0.1)) {
        const double now = std::chrono::duration<double>(Clock::now() - start).count();
        if (duration >= 0 && now >= duration) {
            break;
        }
        if (churn > 0 && now >= nextChurn) {
            nextChurn += churn;
            Slot& slot = slots[churnIndex++ % slots.size()];
            const std::string guid = slot.participant->guid();
            slot.participant.reset();
            std::printf("LEFT %s\n", guid.c_str());
            if (!join(slot)) {
                return 1;
            }
            std::fflush(stdout);
        }
        const bool publishNow = now >= nextPublish;
        if (publishNow) {
            nextPublish += 2.0;
            ++sampleId;
        }
        for (Slot& slot : slots) {
            if (publishNow) {
                slot.participant->publish(sampleId % 5,
                                          slot.plan->label + " sample " + std::to_string(sampleId));
            }
            slot.participant->drain();
        }
    }
    return 0;
}
