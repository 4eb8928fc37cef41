// When the forge announces its changeable endpoints again: on the schedule of the command line
// (--change-after, --change-every) and on commands read from standard input (--commands).
#pragma once

#include "CommandInput.h"
#include "ForgeOptions.h"

#include <chrono>
#include <vector>

class ChangeTrigger
{
public:
    using Clock = std::chrono::steady_clock;
    enum class Action
    {
        Change,  // announce the changed versions
        Restore, // announce the originals again
    };

    ChangeTrigger(const ForgeOptions& options, Clock::time_point start);

    // What is due by `now`, in order. A command line that is none of "change" and "restore" is
    // answered with a FAILED line here.
    std::vector<Action> due(Clock::time_point now);

private:
    bool m_commands;
    bool m_scheduled;
    std::chrono::duration<double> m_every;
    Clock::time_point m_next;
    Action m_nextAction = Action::Change;
    CommandInput m_input;
};
