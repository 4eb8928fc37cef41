// Waits until the middleware has settled which of a peer's writers and readers match, and
// prints that: one "matched <guid> <count>" line per endpoint, then "SETTLED" (or "UNSETTLED
// <n>" when n endpoints never saw an endpoint of the other kind on their topic).
#pragma once

#include "peerkit/Participant.h"

#include <memory>
#include <vector>

class MatchReport
{
public:
    // Settled means: every endpoint's topic has an endpoint of the other kind in the domain's
    // discovery data, and no matched count has changed for `quietSeconds` since. Gives up after
    // `timeoutSeconds` or on a stop request.
    static void run(const std::vector<const peerkit::Participant*>& participants,
                    double quietSeconds, double timeoutSeconds);
};
