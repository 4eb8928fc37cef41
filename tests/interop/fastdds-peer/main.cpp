// fastdds-peer: a Fast DDS participant with one data writer and one data reader on loopback,
// for the interoperability tests. Prints its entities the way dds-peer does, then "READY";
// after that "RECEIVED <id> <text>" for the first sample its reader takes. Ends cleanly on
// SIGTERM or SIGINT.
#include "FastPeer.h"

#include <fastdds/dds/log/Log.hpp>
#include <fastdds/dds/log/StdoutErrConsumer.hpp>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

// Fast DDS 2.9 deletes its statistics readers through a base class of another size, inside the
// library, when a participant's entities go. AddressSanitizer (scripts/sanitize.sh) would stop
// this peer at that point; the fault is not ours and every other check stays on.
extern "C" __attribute__((used)) const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

namespace {

const char usage[] =
    "usage: fastdds-peer --domain N --profile FILE\n"
    "Joins domain N with the participant profile \"brelvane_loopback\" of FILE (a Fast DDS\n"
    "XML profile file), writes on \"InteropTrack\" twice a second and reads \"InteropCommand\",\n"
    "both with type name \"interop::Sample\" ({@key int32 id; string text}).\n";

bool parse(int argc, char** argv, uint32_t& domain, std::string& profile)
{
    bool haveDomain = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--domain") {
            char* end = nullptr;
            const unsigned long value = std::strtoul(argv[i + 1], &end, 10);
            haveDomain = *argv[i + 1] != '\0' && *end == '\0' && value <= 232;
            domain = uint32_t(value);
        } else if (option == "--profile") {
            profile = argv[i + 1];
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && haveDomain && !profile.empty();
}

} // namespace

int main(int argc, char** argv)
{
    uint32_t domain = 0;
    std::string profile;
    if (!parse(argc, argv, domain, profile)) {
        std::fputs(usage, stderr);
        return 2;
    }
    // Blocked before Fast DDS starts its threads, so they inherit the mask and the stop
    // request reaches only the sigtimedwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Fast DDS logs to standard output by default, which carries the entity lines.
    using eprosima::fastdds::dds::Log;
    Log::ClearConsumers();
    Log::RegisterConsumer(std::make_unique<eprosima::fastdds::dds::StdoutErrConsumer>());

    std::string error;
    std::unique_ptr<FastPeer> peer = FastPeer::create(domain, profile, error);
    if (!peer) {
        std::fprintf(stderr, "fastdds-peer: %s\n", error.c_str());
        return 1;
    }
    std::printf("participant %s\n", peer->participantGuid().c_str());
    std::printf("writer %s %s\n", peer->writerGuid().c_str(), FastPeer::kWriterTopic);
    std::printf("reader %s %s\n", peer->readerGuid().c_str(), FastPeer::kReaderTopic);
    std::puts("READY");
    std::fflush(stdout);

    const timespec tick{0, 500000000};
    bool reported = false;
    std::vector<FastSample> received;
    for (int32_t id = 1;; ++id) {
        if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) {
            break;
        }
        peer->publish(id % 100, "fast " + std::to_string(id));
        received.clear();
        peer->take(received);
        if (!reported && !received.empty()) {
            std::printf("RECEIVED %d %s\n", int(received.front().id),
                        received.front().text.c_str());
            std::fflush(stdout);
            reported = true;
        }
    }
    peer.reset();
    Log::Flush();
    return 0;
}
