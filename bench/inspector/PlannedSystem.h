// The load generator's system as the middleware would announce it, put into an IndexedSystem:
// the benchmarks' sizes measured in one process, without waiting for discovery.
#pragma once

#include <string>

class IndexedSystem;
class LoadPlan;

class PlannedSystem
{
public:
    // Every participant, writer and reader of `plan`, with the load generator's QoS; every
    // seventh reader asks for more durability than the writers offer.
    static void fill(IndexedSystem& system, const LoadPlan& plan);

    // The load generator's options (sizes of 10,000 endpoints unless given) and "--repeat N"
    // into `repeat` (kept when not given), for a single process that holds the whole system.
    static bool parse(int argc, char* argv[], LoadPlan& plan, int& repeat, std::string& error);
};
