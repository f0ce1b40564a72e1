#pragma once

#include "line_splitter.h"
#include "responder.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <string>

namespace NetModuleSim {

// The module behind a pseudo-terminal: the tool opens the slave as its serial
// port. Command lines are answered in order, each after the chosen delay.
class PtyModule
{
public:
    PtyModule(Responder &responder, int delayMs, std::FILE *commandLog)
        : m_responder(responder), m_delay(delayMs), m_commandLog(commandLog)
    {
    }
    ~PtyModule();

    bool open(std::string *error);
    const std::string &slavePath() const { return m_slavePath; }

    // Serves until stopRequested turns true (checked at least every 100 ms).
    void run(const volatile bool &stopRequested);

private:
    using Clock = std::chrono::steady_clock;
    struct Due
    {
        Clock::time_point at;
        std::string bytes;
    };

    void readCommands();
    void sendDue();
    int msUntilNextAnswer() const;

    Responder &m_responder;
    std::chrono::milliseconds m_delay;
    std::FILE *m_commandLog;
    int m_master = -1;
    int m_heldSlave = -1;
    std::string m_slavePath;
    LineSplitter m_splitter;
    std::deque<Due> m_answers;
};

} // namespace NetModuleSim
