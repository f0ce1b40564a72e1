#include "send_job.h"

#include "pravik/document/vocabulary.h"
#include "pravik/jobs/board_record_file.h"
#include "pravik/link/board_link.h"
#include "pravik/picture/board_canvas.h"

namespace pravik::cli {
namespace {

// The terminal has no desktop to fit: the widest strip keeps the canvas in as
// few pieces as possible. The packed planes do not depend on it.
constexpr int kStripWidth = 1256;

} // namespace

jobs::JobResult runSendJob(const SendJobSetup &setup, const SendJob &job)
{
    const document::BoardSettings &settings = setup.board.settings;
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    picture::BoardCanvas canvas(settings.scrwidth, settings.scrhigh, kStripWidth);
    link::BoardLink &boardLink = setup.link;
    jobs::JobContext context{settings,
                             setup.board.screens,
                             vocabulary,
                             setup.displayFile,
                             setup.compareFile,
                             canvas,
                             [&](QByteArray &buffer, int checksumIndex) {
                                 return boardLink.exchangePacket(buffer, checksumIndex);
                             },
                             [&] { return boardLink.serialPortOpen(); },
                             setup.prompter,
                             setup.view,
                             setup.stop,
                             setup.ledger};
    return job(context);
}

QString boardIdentityFor(const LoadedBoard &board)
{
    return jobs::boardIdentity(board.settings, board.serialDevice);
}

} // namespace pravik::cli
