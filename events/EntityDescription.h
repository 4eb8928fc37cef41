// What a discovered participant, writer or reader was when it joined: read once from its
// record and its participant's system information, and shared by every event about it, since
// the record is gone by the time the entity leaves.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

struct EntityDescription
{
    std::string key; // the 16 bytes of the handle
    QString handle;  // the key as "0x" and 32 lowercase hexadecimal digits
    // Whether the entity's own record was read when it joined. When not, an endpoint's topic
    // and type are unknown (empty).
    bool recordRead = false;
    // Empty for participants.
    QString topic;
    QString type;
    // Where it runs, from the system information of its participant (the defaults for one that
    // announces none). Unknown (`placed` false, texts empty) when the participant's record
    // could not be read.
    bool placed = false;
    QString host;
    QString ips;
    QString process;
    uint32_t pid = 0;
};
