#include "RandomPairs.h"

#include <random>

namespace {

// mt19937's output sequence is fixed by the standard (unlike the distributions), so a seed
// reproduces the same pairs with any standard library.
class Draw
{
public:
    explicit Draw(uint32_t seed) : m_engine(seed) {}

    size_t below(size_t n) { return size_t(m_engine() % n); }
    bool chance(unsigned percent) { return m_engine() % 100 < percent; }
    template <size_t N> const char* oneOf(const char* const (&values)[N])
    {
        return values[below(N)];
    }

private:
    std::mt19937 m_engine;
};

// Durations sit close to each other (0.1 and 0.100000001) and reach infinity, so that equal,
// nearly equal and infinite values meet often.
const char* const deadlines[] = {"0.5", "1", "1.000000001", "2.5", "inf"};
const char* const latencies[] = {"0", "0.1", "0.100000001", "0.25", "inf"};
const char* const leases[] = {"2", "2.5", "10", "inf"};
const char* const reliabilities[] = {"best_effort", "reliable"};
const char* const durabilities[] = {"volatile", "transient_local", "transient", "persistent"};
const char* const livelinesses[] = {"automatic", "manual_by_participant", "manual_by_topic"};
const char* const ownerships[] = {"shared", "exclusive"};
const char* const orders[] = {"reception", "source"};
const char* const scopes[] = {"instance", "topic", "group"};
// Plain names, the empty (default) name, wildcards of both kinds and brackets, which are no
// wildcard to the middleware.
const char* const partitionNames[] = {"",   "A",  "B",  "AB", "BA",   "*",   "?",
                                      "A*", "*B", "A?", "?B", "[AB]", "A*B", "C"};

std::string partitionList(Draw& draw)
{
    // 0: the default partition by omission; otherwise one to three names.
    const size_t count = draw.below(4);
    std::string list;
    for (size_t i = 0; i < count; ++i) {
        list += (i ? "|" : "") + std::string(draw.oneOf(partitionNames));
    }
    return count == 0 ? std::string() : "partition=" + list;
}

std::string presentation(Draw& draw)
{
    std::string text = draw.oneOf(scopes);
    if (draw.chance(50)) {
        text += ":coherent";
    }
    if (draw.chance(50)) {
        text += ":ordered";
    }
    return text;
}

// One field per policy, in a fixed order; an empty field keeps the middleware's default.
using Fields = std::vector<std::string>;

Fields drawFields(Draw& draw)
{
    // One draw per statement: the order in which operands of + are evaluated is unspecified,
    // and the seed must give the same pairs whatever the compiler.
    Fields fields;
    auto add = [&](const std::string& name, const std::string& value) {
        fields.push_back(draw.chance(15) ? std::string() : name + "=" + value);
    };
    add("reliability", draw.oneOf(reliabilities));
    add("durability", draw.oneOf(durabilities));
    add("deadline", draw.oneOf(deadlines));
    add("latency", draw.oneOf(latencies));
    const std::string liveliness = draw.oneOf(livelinesses);
    add("liveliness", liveliness + ":" + draw.oneOf(leases));
    add("ownership", draw.oneOf(ownerships));
    add("destination", draw.oneOf(orders));
    const std::string scope = presentation(draw);
    add("presentation", scope);
    fields.push_back(partitionList(draw));
    return fields;
}

std::string joined(const Fields& fields)
{
    std::string text;
    for (const std::string& field : fields) {
        if (!field.empty()) {
            text += (text.empty() ? "" : ";") + field;
        }
    }
    return text;
}

} // namespace

std::vector<RandomPair> RandomPairs::generate(int count, uint32_t seed)
{
    Draw draw(seed);
    std::vector<RandomPair> pairs;
    for (int i = 0; i < count; ++i) {
        RandomPair pair;
        pair.topic = "Pair_" + std::to_string(seed) + "_" + std::to_string(i);
        pair.writerType = "PairSample";
        pair.readerType = draw.chance(8) ? "PairSampleV2" : "PairSample";
        // The reader mostly asks for what the writer offers and differs in a few policies, so
        // that matching and non-matching pairs both come up often.
        const Fields writer = drawFields(draw);
        const Fields other = drawFields(draw);
        Fields reader = writer;
        for (size_t f = 0; f < reader.size(); ++f) {
            if (draw.chance(15)) {
                reader[f] = other[f];
            }
        }
        pair.writerQos = joined(writer);
        pair.readerQos = joined(reader);
        pairs.push_back(pair);
    }
    return pairs;
}
