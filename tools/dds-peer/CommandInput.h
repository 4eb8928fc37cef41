// Commands for a running dds-peer, one a line on standard input, read without blocking the
// peer's main loop.
#pragma once

#include <string>
#include <vector>

class CommandInput
{
public:
    // The complete lines that arrived since the last call, without their line ends. Once
    // standard input has ended, or cannot be read, no more lines come.
    std::vector<std::string> lines();

private:
    std::string m_pending; // a line begun but not ended yet
    bool m_closed = false;
};
