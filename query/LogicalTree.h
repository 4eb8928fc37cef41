// The logical picture of the watched domains: per domain, the topics that have a discovered
// data writer or data reader there.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

class MonitorLib;

// Domain id to the topic names (raw UTF-8 bytes) seen there, both ascending. A domain whose
// participant answered but has no writer and no reader has an empty set.
using LogicalTree = std::map<uint32_t, std::set<std::string>>;

// Lists every topic with a writer or reader in every watched domain. A domain whose
// participant list cannot be had is left out; a failed writer listing leaves out the domain's
// readers too; a failed fetch skips that endpoint. Takes monitor.mutex and brings the
// discovery mirror up to date, which prints the line of each failed query.
LogicalTree collectLogicalTree(MonitorLib& monitor);
