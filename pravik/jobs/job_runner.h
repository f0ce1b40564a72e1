#pragma once

#include "board_record_file.h"
#include "job_context.h"

#include <QList>

namespace pravik::link {
class BoardSession;
}

namespace pravik::jobs {

// The widest canvas strip: one piece for any board up to that width. The
// packed planes do not depend on it; only the window's preview does.
inline constexpr int kWidestStrip = 1256;

// What a job is run on, besides the board of its session.
struct JobInput
{
    const document::ScreenList &screens;
    QString displayFile; // empty: no display file is loaded
    QString compareFile; // empty: none is set
    // Send All leaves out what the board's record says the board holds.
    bool onlyChanges = false;
    int stripWidth = kWidestStrip;
    QString recordFolder = boardRecordFolder();
    // Whether the board's record is read and kept. A command that knows
    // nothing of the board's size (a range alone) leaves it be.
    bool useRecord = true;
};

// How a job went, and what it did according to the board's record.
struct JobReport
{
    JobResult result;
    QList<int> sentScreens;      // delivered whole
    QList<int> unchangedScreens; // left out, because the board held them
};

using Job = std::function<JobResult(JobContext &)>;

// Runs `job` against the board of `session` on the calling thread, with a
// canvas of the board's size, the vocabulary, the exchange over the session's
// link and the board's record, which every job keeps up to date. The window,
// pravik-cli, each board of a fleet and the service run their jobs here.
JobReport runJob(link::BoardSession &session, const JobInput &input, const Job &job, JobView &view,
                 common::Prompter &prompter, const StopToken &stop);

} // namespace pravik::jobs
