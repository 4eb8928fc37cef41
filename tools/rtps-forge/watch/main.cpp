// rtps-forge-watch: a plain Cyclone DDS participant that reports what it discovered of the
// forged peers (GUID prefixes marked by rtps-forge), so that the forge's announcements can be
// checked against a real DDS stack. Exits 0 as soon as every expectation holds, 1 when the
// time is up first.
#include <dds/dds.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Settings
{
    uint32_t domain = 0;
    int seconds = 30;
    bool all = false;
    int verbose = 0;
    long expectParticipants = -1;
    long expectPublications = -1;
    long expectSubscriptions = -1;
    std::vector<std::string> expectHosts; // dds.sys_info.hostname values that must show up
};

bool forged(const dds_guid_t& guid)
{
    return guid.v[0] == 0x7f && guid.v[1] == 0x7f && guid.v[2] == 'F' && guid.v[3] == 'G';
}

std::string guidText(const dds_guid_t& guid)
{
    char text[40];
    char* p = text;
    for (int i = 0; i < 16; ++i) {
        p += std::sprintf(p, "%02x%s", guid.v[i], (i % 4 == 3 && i < 15) ? ":" : "");
    }
    return text;
}

// Printable ASCII as it is, anything else as \xNN; long texts shortened with their length.
std::string shown(const char* text, size_t limit = 60)
{
    if (!text) {
        return "(null)";
    }
    const size_t length = std::strlen(text);
    std::string result;
    for (size_t i = 0; i < length && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            result.push_back(char(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02x", c);
            result += escaped;
        }
    }
    if (length > limit) {
        result += "...(" + std::to_string(length) + " bytes)";
    }
    return "\"" + result + "\"";
}

struct Picture
{
    std::vector<std::string> participantLines;
    std::vector<std::string> hosts;
    std::map<std::string, std::pair<long, long>> topics; // shown name -> writers, readers
    long participants = 0;
    long publications = 0;
    long subscriptions = 0;
};

const uint32_t maxSamples = 50000;

void readParticipants(dds_entity_t reader, const Settings& settings, Picture& picture)
{
    std::vector<void*> samples(maxSamples, nullptr);
    std::vector<dds_sample_info_t> infos(maxSamples);
    const dds_return_t n = dds_read(reader, samples.data(), infos.data(), maxSamples, maxSamples);
    for (dds_return_t i = 0; i < n; ++i) {
        const auto* p = static_cast<const dds_builtintopic_participant_t*>(samples[size_t(i)]);
        if (!infos[size_t(i)].valid_data || infos[size_t(i)].instance_state != DDS_IST_ALIVE ||
            (!settings.all && !forged(p->key))) {
            continue;
        }
        ++picture.participants;
        uint32_t count = 0;
        char** names = nullptr;
        std::string line = "participant " + guidText(p->key);
        if (dds_qget_propnames(p->qos, &count, &names)) {
            line += " properties=" + std::to_string(count);
            for (uint32_t k = 0; k < count; ++k) {
                char* value = nullptr;
                if (dds_qget_prop(p->qos, names[k], &value)) {
                    if (std::strcmp(names[k], "dds.sys_info.hostname") == 0) {
                        picture.hosts.push_back(value);
                    }
                    if (settings.verbose || std::strncmp(names[k], "dds.sys_info.", 13) == 0) {
                        line += "\n  " + shown(names[k]) + " = " + shown(value);
                    }
                    dds_free(value);
                }
                dds_free(names[k]);
            }
            dds_free(names);
        } else {
            line += " properties=none";
        }
        void* userData = nullptr;
        size_t userDataSize = 0;
        if (dds_qget_userdata(p->qos, &userData, &userDataSize)) {
            line += "\n  user_data " + std::to_string(userDataSize) + " bytes";
            dds_free(userData);
        }
        picture.participantLines.push_back(line);
    }
    if (n > 0) {
        dds_return_loan(reader, samples.data(), n);
    }
}

void readEndpoints(dds_entity_t reader, bool writers, const Settings& settings, Picture& picture)
{
    std::vector<void*> samples(maxSamples, nullptr);
    std::vector<dds_sample_info_t> infos(maxSamples);
    const dds_return_t n = dds_read(reader, samples.data(), infos.data(), maxSamples, maxSamples);
    for (dds_return_t i = 0; i < n; ++i) {
        const auto* e = static_cast<const dds_builtintopic_endpoint_t*>(samples[size_t(i)]);
        if (!infos[size_t(i)].valid_data || infos[size_t(i)].instance_state != DDS_IST_ALIVE ||
            (!settings.all && !forged(e->key))) {
            continue;
        }
        ++(writers ? picture.publications : picture.subscriptions);
        auto& counts = picture.topics[shown(e->topic_name) + " type " + shown(e->type_name)];
        ++(writers ? counts.first : counts.second);
    }
    if (n > 0) {
        dds_return_loan(reader, samples.data(), n);
    }
}

bool satisfied(const Settings& s, const Picture& p)
{
    for (const std::string& host : s.expectHosts) {
        bool found = false;
        for (const std::string& seen : p.hosts) {
            found = found || seen == host;
        }
        if (!found) {
            return false;
        }
    }
    return (s.expectParticipants < 0 || p.participants == s.expectParticipants) &&
           (s.expectPublications < 0 || p.publications == s.expectPublications) &&
           (s.expectSubscriptions < 0 || p.subscriptions == s.expectSubscriptions);
}

void print(const Picture& picture)
{
    for (const std::string& line : picture.participantLines) {
        std::printf("%s\n", line.c_str());
    }
    for (const auto& topic : picture.topics) {
        std::printf("topic %s: %ld writer(s), %ld reader(s)\n", topic.first.c_str(),
                    topic.second.first, topic.second.second);
    }
    std::printf("totals: participants=%ld publications=%ld subscriptions=%ld\n",
                picture.participants, picture.publications, picture.subscriptions);
}

bool parse(int argc, char** argv, Settings& s)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--all") {
            s.all = true;
        } else if (option == "-v") {
            ++s.verbose;
        } else if (i + 1 < argc) {
            const char* value = argv[++i];
            if (option == "--domain") {
                s.domain = uint32_t(std::strtoul(value, nullptr, 10));
            } else if (option == "--seconds") {
                s.seconds = std::atoi(value);
            } else if (option == "--participants") {
                s.expectParticipants = std::atol(value);
            } else if (option == "--publications") {
                s.expectPublications = std::atol(value);
            } else if (option == "--subscriptions") {
                s.expectSubscriptions = std::atol(value);
            } else if (option == "--host") {
                s.expectHosts.push_back(value);
            } else {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!parse(argc, argv, settings)) {
        std::fprintf(stderr, "usage: rtps-forge-watch [--domain D] [--seconds S] [--all] [-v]\n"
                             "       [--participants N] [--publications N] [--subscriptions N]\n"
                             "       [--host NAME]...\n");
        return 2;
    }
    const dds_entity_t participant = dds_create_participant(settings.domain, nullptr, nullptr);
    if (participant < 0) {
        std::fprintf(stderr, "rtps-forge-watch: %s\n", dds_strretcode(participant));
        return 2;
    }
    const dds_entity_t participants =
        dds_create_reader(participant, DDS_BUILTIN_TOPIC_DCPSPARTICIPANT, nullptr, nullptr);
    const dds_entity_t publications =
        dds_create_reader(participant, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
    const dds_entity_t subscriptions =
        dds_create_reader(participant, DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION, nullptr, nullptr);
    const bool expecting = settings.expectParticipants >= 0 || settings.expectPublications >= 0 ||
                           settings.expectSubscriptions >= 0 || !settings.expectHosts.empty();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(settings.seconds);
    Picture picture;
    bool met = false;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        picture = Picture();
        readParticipants(participants, settings, picture);
        readEndpoints(publications, true, settings, picture);
        readEndpoints(subscriptions, false, settings, picture);
        met = expecting && satisfied(settings, picture);
    } while (!met && std::chrono::steady_clock::now() < deadline);
    print(picture);
    dds_delete(participant);
    if (expecting) {
        std::printf("%s\n", met ? "expectations met" : "expectations NOT met");
    }
    return expecting && !met ? 1 : 0;
}
