// Which side of a writer/reader match a request names.
#pragma once

// A fixed underlying type: a request may carry any int (a cast, a queued call), and the lookups
// must be able to compare it and refuse it rather than read an invalid value.
enum MatchType : int
{
    ReaderMatch = 0,
    WriterMatch = 1
};
