// The difference between two handle lists of consecutive polling passes.
#pragma once

#include "ZorvanTypes.h"

struct HandleDelta
{
    bool changed = false;
    ZORVAN::InstanceHandleSeq added;   // in the new list's order
    ZORVAN::InstanceHandleSeq removed; // in the old list's order
};
