#pragma once

// How long an exchange with the module waits for its answer and how long it
// lingers afterwards. At 9600 baud one character takes about 1 ms on the line;
// the longest answer ("Lip" with a fifteen-character address and CR LF) is
// 20 characters, so a module answers within a few tens of milliseconds.
namespace netkeel {

struct ModuleTiming
{
    // Longest wait for more characters than the command's threshold. A second
    // leaves ample room for a module that is busy (storing its configuration
    // after "Wfs") and costs the operator one second when no module answers.
    int waitMs = 1000;

    // The pause after the wait, so that the rest of an answer that crossed the
    // threshold early arrives before it is read. 100 ms carry about 96
    // characters at 9600 baud, far more than any answer.
    int pauseMs = 100;

    // The shorter pause after "rrm" and "rbr": their answers ("Lrm1", "Lbr3"
    // with CR LF) are complete when they cross the threshold.
    int shortPauseMs = 20;
};

} // namespace netkeel
