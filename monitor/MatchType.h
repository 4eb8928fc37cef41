// Which side of a writer/reader match a request names.
#pragma once

enum MatchType
{
    ReaderMatch = 0,
    WriterMatch = 1
};
