#include "ChangeTrigger.h"

#include <cstdio>

ChangeTrigger::ChangeTrigger(const ForgeOptions& options, Clock::time_point start)
    : m_commands(options.commands),
      m_scheduled(options.changeAfterSeconds > 0 || options.changeEverySeconds > 0),
      m_every(options.changeEverySeconds)
{
    const double first =
        options.changeAfterSeconds > 0 ? options.changeAfterSeconds : options.changeEverySeconds;
    m_next =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(first));
}

std::vector<ChangeTrigger::Action> ChangeTrigger::due(Clock::time_point now)
{
    std::vector<Action> actions;
    if (m_scheduled && now >= m_next) {
        actions.push_back(m_nextAction);
        m_nextAction = m_nextAction == Action::Change ? Action::Restore : Action::Change;
        if (m_every.count() > 0) {
            m_next += std::chrono::duration_cast<Clock::duration>(m_every);
        } else {
            m_scheduled = false;
        }
    }
    if (m_commands) {
        for (const std::string& line : m_input.lines()) {
            if (line == "change") {
                actions.push_back(Action::Change);
            } else if (line == "restore") {
                actions.push_back(Action::Restore);
            } else if (!line.empty()) {
                std::printf("FAILED unknown command: %s\n", line.c_str());
                std::fflush(stdout);
            }
        }
    }
    return actions;
}
