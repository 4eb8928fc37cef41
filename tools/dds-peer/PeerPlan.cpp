#include "PeerPlan.h"

#include "RandomPairs.h"
#include "peerkit/QosLine.h"
#include "peerkit/SysInfoLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool toSeconds(const std::string& text, double& out)
{
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && errno == 0 && *end == '\0' && std::isfinite(out) && out >= 0;
}

} // namespace

const char* PeerPlan::usage()
{
    return "usage: dds-peer [options]\n"
           "A scriptable DDS peer for tests. Options are read in order; --prop, --sysinfo,\n"
           "--user-data, --writer, --reader and --leave-after apply to the current participant\n"
           "(one is started implicitly if none was), --qos to the last writer or reader.\n"
           "Run it only with CYCLONEDDS_URI=file:///work/main/config/loopback.xml.\n"
           "\n"
           "  --domain N             domain of the participants that follow (default 0)\n"
           "  --participant          start a new participant in the current domain\n"
           "  --prop NAME=VALUE      announce a property (repeatable, names may repeat); with\n"
           "                         none the middleware announces its own default properties\n"
           "  --sysinfo K=V,...      announce dds.sys_info.* properties; keys host, pid, exe,\n"
           "                         user, ip (repeatable), target, created, executed\n"
           "  --user-data TEXT       participant user data\n"
           "  --writer TOPIC[@TYPE]  data writer on TOPIC announcing type name TYPE\n"
           "                         (default PeerSample)\n"
           "  --reader TOPIC[@TYPE]  data reader, likewise\n"
           "  --qos TEXT             QoS of the last writer/reader, fields separated by ';':\n"
           "                         reliability=best_effort|reliable[:max_blocking_s]\n"
           "                         durability=volatile|transient_local|transient|persistent\n"
           "                         deadline=S|inf  latency=S  lifespan=S  timebasedfilter=S\n"
           "                         liveliness=automatic|manual_by_participant|manual_by_topic"
           "[:lease_s]\n"
           "                         ownership=shared|exclusive[:strength]\n"
           "                         destination=reception|source\n"
           "                         presentation=instance|topic|group[:coherent][:ordered]\n"
           "                         partition=A|B  userdata=T  topicdata=T  groupdata=T\n"
           "                         history=keep_last:N|keep_all  transport_priority=N\n"
           "                         durability_service=cleanup_s:keep_last|keep_all:depth:"
           "max_samples:max_instances:max_per_instance\n"
           "  --random-pairs N       N pairs of a writer and a reader, each pair on its own\n"
           "                         topic Pair_<seed>_<i>, with QoS drawn from --seed\n"
           "  --seed S               seed of --random-pairs (default 1)\n"
           "  --pair-side SIDE       both (default): writers and readers in two participants;\n"
           "                         writers or readers: only that side (the other side runs\n"
           "                         in another process with the same seed)\n"
           "  --report-matches       after READY wait until matching has settled, then print\n"
           "                         \"matched <guid> <count>\" per writer and reader and\n"
           "                         \"SETTLED\" (\"UNSETTLED <n>\": n never met the other kind)\n"
           "  --commands             after READY read commands from standard input, one a\n"
           "                         line: \"qos <guid> <QoS text>\" changes the policies the\n"
           "                         text names (--qos grammar) on that writer or reader,\n"
           "                         which is announced again; answers \"QOS <guid>\" or\n"
           "                         \"FAILED <reason>\"\n"
           "  --leave-after S        delete the current participant S seconds after READY\n"
           "                         (prints \"LEFT <guid>\")\n"
           "  --publish-rate HZ      every writer writes HZ samples per second (default none)\n"
           "  --duration S           exit after S seconds (default: until SIGTERM/SIGINT)\n"
           "  --help                 this text\n"
           "\n"
           "Output: one line per entity, \"participant <guid>\", \"writer <guid> <topic>\",\n"
           "\"reader <guid> <topic>\" (guid: 32 lowercase hex digits), then \"READY\".\n"
           "On SIGTERM/SIGINT the entities are deleted and the exit code is 0. Exit code 2:\n"
           "bad command line; 1: the middleware refused an entity.\n";
}

bool PeerPlan::parse(const std::vector<std::string>& args, std::string& error)
{
    uint32_t domain = 0;
    auto current = [&]() -> Participant& {
        if (participants.empty()) {
            participants.push_back(Participant());
            participants.back().domain = domain;
        }
        return participants.back();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            help = true;
            continue;
        }
        if (option == "--participant") {
            participants.push_back(Participant());
            participants.back().domain = domain;
            continue;
        }
        if (option == "--report-matches") {
            reportMatches = true;
            continue;
        }
        if (option == "--commands") {
            commands = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = option.rfind("--", 0) == 0 && option != "--"
                        ? option + " needs a value (or is unknown)"
                        : "unexpected argument '" + option + "'";
            return false;
        }
        const std::string& value = args[++i];
        double seconds = 0;
        if (option == "--domain") {
            char* end = nullptr;
            const unsigned long id = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || id > 232) {
                error = "--domain: '" + value + "' is not a domain id 0..232";
                return false;
            }
            domain = uint32_t(id);
        } else if (option == "--prop") {
            const size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = "--prop: '" + value + "' is not NAME=VALUE";
                return false;
            }
            current().properties.push_back({value.substr(0, eq), value.substr(eq + 1)});
        } else if (option == "--sysinfo") {
            if (!peerkit::SysInfoLine::parse(value, current().properties, error)) {
                error = "--sysinfo: " + error;
                return false;
            }
        } else if (option == "--user-data") {
            current().userData = value;
        } else if (option == "--writer" || option == "--reader") {
            Endpoint endpoint;
            endpoint.isWriter = option == "--writer";
            const size_t at = value.find('@');
            endpoint.topic = value.substr(0, at);
            endpoint.typeName = at == std::string::npos ? std::string() : value.substr(at + 1);
            if (endpoint.topic.empty() || (at != std::string::npos && endpoint.typeName.empty())) {
                error = option + ": '" + value + "' is not TOPIC or TOPIC@TYPE";
                return false;
            }
            current().endpoints.push_back(endpoint);
        } else if (option == "--qos") {
            peerkit::QosLine qos;
            if (participants.empty() || participants.back().endpoints.empty()) {
                error = "--qos must follow a --writer or --reader";
                return false;
            }
            if (!qos.parse(value, error)) {
                error = "--qos: " + error;
                return false;
            }
            participants.back().endpoints.back().qos = value;
        } else if (option == "--random-pairs" || option == "--seed") {
            char* end = nullptr;
            errno = 0;
            const unsigned long n = std::strtoul(value.c_str(), &end, 10);
            const unsigned long limit = option == "--seed" ? 4294967295ul : 10000ul;
            if (value.empty() || value[0] == '-' || *end != '\0' || errno != 0 || n > limit) {
                error = option + ": '" + value + "' is not a number 0.." + std::to_string(limit);
                return false;
            }
            if (option == "--seed") {
                seed = uint32_t(n);
            } else {
                randomPairs = int(n);
                pairsDomain = domain;
            }
        } else if (option == "--pair-side") {
            if (value == "both") {
                pairSide = PairSide::Both;
            } else if (value == "writers") {
                pairSide = PairSide::Writers;
            } else if (value == "readers") {
                pairSide = PairSide::Readers;
            } else {
                error = "--pair-side: '" + value + "' is not both, writers or readers";
                return false;
            }
        } else if (option == "--leave-after") {
            if (!toSeconds(value, seconds)) {
                error = "--leave-after: '" + value + "' is not a number of seconds";
                return false;
            }
            current().leaveAfter = seconds;
        } else if (option == "--duration") {
            if (!toSeconds(value, duration)) {
                error = "--duration: '" + value + "' is not a number of seconds";
                return false;
            }
        } else if (option == "--publish-rate") {
            if (!toSeconds(value, publishRate) || publishRate > 1000) {
                error = "--publish-rate: '" + value + "' is not a rate 0..1000 Hz";
                return false;
            }
        } else {
            error = "unknown option '" + option + "'";
            return false;
        }
    }
    if (randomPairs > 0) {
        addRandomPairs(pairsDomain);
        return true;
    }
    // A bare "dds-peer --domain 5" still is a peer: one participant with default properties.
    current();
    return true;
}

void PeerPlan::addRandomPairs(uint32_t domain)
{
    Participant writers;
    Participant readers;
    writers.domain = readers.domain = domain;
    for (const RandomPair& pair : RandomPairs::generate(randomPairs, seed)) {
        writers.endpoints.push_back({true, pair.topic, pair.writerType, pair.writerQos});
        readers.endpoints.push_back({false, pair.topic, pair.readerType, pair.readerQos});
    }
    if (pairSide != PairSide::Readers) {
        participants.push_back(writers);
    }
    if (pairSide != PairSide::Writers) {
        participants.push_back(readers);
    }
}
