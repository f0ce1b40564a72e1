#include "show_loading.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/jobs/job_context.h"
#include "pravik/jobs/job_messages.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/screen_transfer.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/plane_packing.h"

#include "common/prompter.h"

namespace pravik::show {
namespace {

// Where the strips meet changes where the canvas keeps its columns, not what
// they hold, so the show takes the widest strip there is.
constexpr int kStripWidth = 1256;

// A show draws the screens without showing a transfer.
class NoTransferView : public jobs::JobView
{
public:
    void beginTransfer(int) override {}
    void showScreen(int, const QString &, const picture::BoardCanvas &) override {}
    void setProgress(int) override {}
    void endTransfer(bool) override {}
};

std::optional<LedImage> drawnLeds(const ShowSources &sources, int row, picture::BoardCanvas &canvas,
                                  common::Prompter &prompter)
{
    // The transfer's own drawing, so that a source is found, read and
    // refused exactly as when it is sent.
    const QString noCompareFile;
    NoTransferView view;
    const jobs::StopToken stop;
    jobs::JobContext context{.settings = sources.settings,
                             .screens = sources.screens,
                             .vocabulary = sources.vocabulary,
                             .displayFileName = sources.displayFileName,
                             .compareFileName = noCompareFile,
                             .canvas = canvas,
                             .exchange = {},
                             .serialPortOpen = {},
                             .prompter = prompter,
                             .view = view,
                             .stop = stop};
    if (!jobs::drawScreenSource(context, row, jobs::kMissingSourceText))
        return std::nullopt;
    return ledImage(canvas, sources.settings.scrtype);
}

picture::BoardCanvas boardCanvas(const document::BoardSettings &settings)
{
    return picture::BoardCanvas(settings.scrwidth, settings.scrhigh, kStripWidth);
}

// The transfer refuses a board too large for its planes at its first
// picture. A board that is sent no pictures at all is held to the
// single-colour limit, which keeps its dark preview to a sensible size.
bool boardFits(const document::BoardSettings &settings, common::Prompter &prompter)
{
    const auto overflow =
        picture::bandOverflow(settings.scrwidth, settings.scrhigh, settings.scrtype == 2 ? 2 : 1);
    if (overflow)
        prompter.tell(*overflow, kProgramTitle, common::MessageIcon::Error);
    return !overflow;
}

} // namespace

std::optional<LedImage> loadScreenLeds(const ShowSources &sources, int row,
                                       common::Prompter &prompter)
{
    if (!boardFits(sources.settings, prompter))
        return std::nullopt;
    picture::BoardCanvas canvas = boardCanvas(sources.settings);
    return drawnLeds(sources, row, canvas, prompter);
}

std::optional<std::vector<ShowScreen>> loadShowScreens(const ShowSources &sources,
                                                       common::Prompter &prompter)
{
    if (!boardFits(sources.settings, prompter))
        return std::nullopt;
    picture::BoardCanvas canvas = boardCanvas(sources.settings);
    std::vector<ShowScreen> screens;
    const int count = sources.screens.screenCount();
    for (int row = 1; row <= count; ++row) {
        std::optional<LedImage> leds = drawnLeds(sources, row, canvas, prompter);
        if (!leds)
            return std::nullopt;
        QString problem;
        const std::optional<ScreenProperties> properties =
            screenProperties(sources.screens, sources.vocabulary, std::uint8_t(row - 1), problem);
        if (!properties) {
            prompter.tell(problem, kProgramTitle, common::MessageIcon::Error);
            return std::nullopt;
        }
        screens.push_back(ShowScreen{std::move(*leds), *properties});
    }
    return screens;
}

} // namespace pravik::show
