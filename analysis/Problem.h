// One entry of the problems list: a writer and a reader of one topic that cannot match, an
// endpoint that matches nothing on its topic, a topic with only one side, or the count of
// entries of one topic left out of the list.
#pragma once

#include "Reason.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <string>
#include <tuple>

enum class ProblemLevel : uint8_t
{
    Error,   // "错误"
    Warning, // "警告"
    Hint     // "提示"
};

// One side of a problem as the list shows it. Empty (no key) when the problem has no
// endpoint on that side.
struct ProblemEndpoint
{
    std::string key; // 16 raw bytes
    QString handle;  // handle text
    QString process; // "name:pid"

    bool isEmpty() const { return key.empty(); }
    // "name:pid 0x…", or empty
    QString text() const;
    bool operator==(const ProblemEndpoint& other) const
    {
        return key == other.key && handle == other.handle && process == other.process;
    }
};

struct Problem
{
    // In the order the list gives them within one level and topic.
    enum class Kind : uint8_t
    {
        IncompatiblePair, // error: writer and reader
        MorePairs,        // error: how many more pairs the list leaves out
        UnmatchedWriter,  // warning: writer
        UnmatchedReader,  // warning: reader
        MoreUnmatched,    // warning: how many more endpoints the list leaves out
        WritersOnly,      // hint
        ReadersOnly       // hint
    };

    ProblemLevel level = ProblemLevel::Error;
    Kind kind = Kind::IncompatiblePair;
    uint32_t domain = 0;
    std::string topic; // bytes as announced
    QString text;      // the "问题" column
    ProblemEndpoint writer;
    ProblemEndpoint reader;
    // why the pair cannot match (IncompatiblePair only)
    QVector<Reason> reasons;
    // endpoints or pairs the entry stands for: 1 for a pair or an endpoint, the number left out
    // for the More kinds, the topic's endpoints for a hint
    uint64_t count = 1;

    static QString levelText(ProblemLevel level);
    QString topicText() const { return QString::fromUtf8(topic.data(), int(topic.size())); }

    // The list's order: level, domain, topic, kind, writer, reader. No two entries of one
    // report are equivalent.
    bool operator<(const Problem& other) const
    {
        return std::tie(level, domain, topic, kind, writer.key, reader.key) <
               std::tie(other.level, other.domain, other.topic, other.kind, other.writer.key,
                        other.reader.key);
    }
    // Same place in the list and same texts.
    bool sameEntry(const Problem& other) const;
};
