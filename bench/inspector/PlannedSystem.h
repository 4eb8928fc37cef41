// The load generator's system as the middleware would announce it, put into an IndexedSystem:
// the benchmarks' sizes measured in one process, without waiting for discovery.
#pragma once

class IndexedSystem;
class LoadPlan;

class PlannedSystem
{
public:
    // Every participant, writer and reader of `plan`, with the load generator's QoS; every
    // seventh reader asks for more durability than the writers offer.
    static void fill(IndexedSystem& system, const LoadPlan& plan);
};
