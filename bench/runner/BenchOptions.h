// What one benchmark run measures: the synthetic system's size and how often each figure is
// repeated. Parsed from the runner's command line.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

struct BenchOptions
{
    QString label;
    uint32_t domain = 150;
    uint32_t participants = 100;
    uint32_t writers = 500;
    uint32_t readers = 500;
    uint32_t topics = 500;
    uint32_t processes = 1;
    double hotPercent = 1.0;
    int repeat = 15;       // repetitions of every timed operation
    int probes = 20;       // discovery-to-screen samples
    double churnRate = 50; // endpoints replaced per second in the churn phase; 0 skips it
    int churnSeconds = 10;
    int idleSeconds = 10; // CPU of the idle monitor is averaged over this window
    // The crowd phase: this many writers and readers join one topic, that share of the readers
    // asking for what the writers do not offer; 0 writers skips it.
    uint32_t crowdWriters = 1000;
    uint32_t crowdReaders = 1000;
    double crowdPickyPercent = 30;
    int discoveryTimeoutS = 900;
    QString loadgen; // path of bench-loadgen
    // Appended to CYCLONEDDS_URI for the load generators only (the monitor runs with the
    // configuration as given). By default their processes listen on ephemeral ports, so they
    // find the monitor but not one another: a thousand participants crammed onto one machine
    // would otherwise spend every core discovering each other, a cost that is the generators'
    // and not the monitor's.
    QString loadgenConfig =
        QStringLiteral("<Discovery><ParticipantIndex>none</ParticipantIndex></Discovery>");
    QString jsonPath;
    // Whether the monitor records its discovery events, as the application does.
    bool eventLog = true;

    // Fills the options from "--name value" pairs; false with a reason in `error`.
    bool parse(const QStringList& args, QString& error);
    static QString usage();
    // The load generator's arguments for process `index`.
    QStringList loadgenArguments(uint32_t index) const;
};
