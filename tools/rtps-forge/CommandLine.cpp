#include "CommandLine.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace CommandLine {

namespace {

// Whole-string unsigned decimal within [low, high].
bool number(const std::string& text, unsigned long long low, unsigned long long high,
            unsigned long long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 18) {
        return false;
    }
    value = std::strtoull(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

} // namespace

Outcome parse(int argc, char** argv, ForgeOptions& options, std::string& error)
{
    std::vector<std::string> systemArguments;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            return Outcome::Help;
        }
        if (option == "--list") {
            return Outcome::List;
        }
        if (option == "--no-dispose") {
            options.dispose = false;
            continue;
        }
        if (option == "--commands") {
            options.commands = true;
            continue;
        }
        if (option == "-v" || option == "--verbose") {
            ++options.verbose;
            continue;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + option;
            return Outcome::Error;
        }
        const std::string value = argv[++i];
        unsigned long long n = 0;
        bool ok = true;
        if (option == "--scenario") {
            options.scenario = value;
        } else if (option == "--domain") {
            // The highest domain whose discovery ports all stay below 65536.
            ok = number(value, 0, 231, n);
            options.domain = uint32_t(n);
        } else if (option == "--indices") {
            const size_t dash = value.find('-');
            unsigned long long last = 0;
            ok = dash != std::string::npos && number(value.substr(0, dash), 0, 119, n) &&
                 number(value.substr(dash + 1), n, 119, last);
            options.firstIndex = int(n);
            options.lastIndex = int(last);
        } else if (option == "--duration") {
            ok = number(value, 1, 86400, n);
            options.durationSeconds = double(n);
        } else if (option == "--change-after") {
            ok = number(value, 1, 86400, n);
            options.changeAfterSeconds = double(n);
        } else if (option == "--change-every") {
            ok = number(value, 1, 86400, n);
            options.changeEverySeconds = double(n);
        } else if (option == "--change-by") {
            ok = value == "recreate" || value == "update";
            options.recreate = value == "recreate";
        } else if (option == "--lease") {
            ok = number(value, 1, 3600, n);
            options.leaseSeconds = int(n);
        } else if (option == "--period") {
            ok = number(value, 10, 60000, n);
            options.announcePeriodMs = int(n);
        } else if (option == "--count") {
            ok = number(value, 1, 1000000, n);
            options.count = size_t(n);
        } else if (option == "--idle-heartbeat") {
            ok = number(value, 1, 3600, n);
            options.idleHeartbeatSeconds = double(n);
        } else if (option == "--participants" || option == "--writers" || option == "--readers" ||
                   option == "--topics" || option == "--processes" || option == "--index" ||
                   option == "--hot-percent") {
            // Checked together at the end: --index depends on --processes.
            systemArguments.push_back(option);
            systemArguments.push_back(value);
        } else if (option == "--size") {
            ok = number(value, 1, 64ull << 20, n);
            options.size = size_t(n);
        } else if (option == "--long") {
            options.clampLongValues = value == "clamp";
            if (value == "extended") {
                options.longValue = ParameterList::LongValue::Extended;
            } else if (value == "wrap") {
                options.longValue = ParameterList::LongValue::Wrap;
            } else {
                ok = value == "clamp";
            }
        } else if (option == "--fragment") {
            ok = number(value, 64, 65000, n);
            options.limits.fragmentBytes = uint16_t(n / 4 * 4);
        } else if (option == "--datagram") {
            ok = number(value, 1024, 65400, n);
            options.limits.datagramBytes = size_t(n);
        } else {
            error = "unknown option " + option;
            return Outcome::Error;
        }
        if (!ok) {
            error = "bad value for " + option + ": " + value;
            return Outcome::Error;
        }
    }
    if (!systemArguments.empty() && !options.system.parse(systemArguments, error)) {
        return Outcome::Error;
    }
    return Outcome::Run;
}

std::string usage()
{
    return "usage: rtps-forge [options]\n"
           "Announces forged DDS participants and endpoints (RTPS SPDP/SEDP) to the\n"
           "participants of one domain, over UDP to 127.0.0.1 only.\n"
           "  --scenario NAME     what to announce (default basic; --list shows all)\n"
           "  --domain ID         DDS domain id, 0..231 (default 0)\n"
           "  --indices A-B       participant indices whose discovery ports get the\n"
           "                      announcements (default 0-100)\n"
           "  --duration S        stop after S seconds (default: at SIGINT/SIGTERM)\n"
           "  --lease S           announced lease duration (default 10)\n"
           "  --period MS         interval of the participant announcements (default 1000)\n"
           "  --count N           endpoints per kind for many-endpoints (default 2000)\n"
           "  --size BYTES        string size for huge (default 1048576)\n"
           "  --participants P, --writers W, --readers R, --topics T, --hot-percent H,\n"
           "  --processes N, --index K\n"
           "                      system: process K's share of the benchmark's system of P\n"
           "                      participants (default 100), W writers and R readers (500)\n"
           "                      over T topics (500), H per cent (1) on the hot topic, split\n"
           "                      over N processes (1); reads the benchmark's commands (probe,\n"
           "                      unprobe, churn, crowd, uncrowd, quit) from standard input\n"
           "  --idle-heartbeat S  HEARTBEAT interval for peers that acknowledged everything\n"
           "                      (default 0.5)\n"
           "  --long MODE         values over 65532 bytes: clamp (default), extended (PID\n"
           "                      0x3f01 form) or wrap (16-bit length wraps)\n"
           "  --fragment BYTES    DATA_FRAG fragment size (default 8192)\n"
           "  --datagram BYTES    largest datagram holding a whole sample (default 65000)\n"
           "  --no-dispose        end without disposing; the peers wait for the lease\n"
           "  --change-after S    announce the endpoints the scenario can change (requalify)\n"
           "                      changed after S seconds\n"
           "  --change-every S    then restore and change them again every S seconds\n"
           "  --change-by HOW     recreate (default): disposal and new announcement in one\n"
           "                      datagram; update: the new announcement alone\n"
           "  --commands          print \"participant <guid>\", \"writer <guid> <topic>\",\n"
           "                      \"reader <guid> <topic>\" and \"READY\", then read commands\n"
           "                      from standard input, one a line: \"change\" and \"restore\"\n"
           "                      (answered \"CHANGED <guid> <sequence>\" or \"RESTORED ...\"\n"
           "                      per endpoint announced again, or \"FAILED <reason>\")\n"
           "  -v, --verbose       log peers (twice: and acknowledgements)\n"
           "  --list              list the scenarios\n";
}

} // namespace CommandLine
