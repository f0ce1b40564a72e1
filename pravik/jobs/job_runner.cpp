#include "job_runner.h"

#include "board_ledger.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/vocabulary.h"
#include "pravik/link/board_session.h"
#include "pravik/picture/board_canvas.h"

namespace pravik::jobs {

JobReport runJob(link::BoardSession &session, const JobInput &input, const Job &job, JobView &view,
                 common::Prompter &prompter, const StopToken &stop)
{
    const document::BoardSettings &settings = session.settings();
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    picture::BoardCanvas canvas(settings.scrwidth, settings.scrhigh, input.stripWidth);
    link::BoardLink &boardLink = session.link();
    BoardLedger ledger(input.recordFolder, session.identity(), settings, input.onlyChanges,
                       prompter);
    JobContext context{settings,
                       input.screens,
                       vocabulary,
                       input.displayFile,
                       input.compareFile,
                       canvas,
                       [&](QByteArray &buffer, int checksumIndex) {
                           return boardLink.exchangePacket(buffer, checksumIndex);
                       },
                       [&] { return boardLink.serialPortOpen(); },
                       prompter,
                       view,
                       stop,
                       input.useRecord ? &ledger : nullptr};
    JobReport report{job(context), {}, {}};
    report.sentScreens = ledger.sentScreens();
    report.unchangedScreens = ledger.unchangedScreens();
    return report;
}

} // namespace pravik::jobs
