#pragma once

#include "pravik/jobs/stop_token.h"

namespace pravik::cli {

// While it lives, Ctrl-C (SIGINT) and SIGTERM ask the job to stop after the
// frame on the wire instead of killing the program half way through one.
// The exit status then tells which signal it was, as a shell expects.
class StopOnSignals
{
public:
    StopOnSignals();
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals &) = delete;
    StopOnSignals &operator=(const StopOnSignals &) = delete;

    // What the job looks at before each frame.
    const jobs::StopToken &token() const { return m_stop; }

    // The signal that arrived, or 0.
    int received() const;
    // 128 + the signal when one arrived, else `status`.
    int exitStatus(int status) const;

private:
    jobs::StopToken m_stop;
};

} // namespace pravik::cli
