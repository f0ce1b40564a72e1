#include "show_loading.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/plane_packing.h"
#include "pravik/picture/screen_source.h"

#include "common/prompter.h"

namespace pravik::show {
namespace {

// Where the strips meet changes where the canvas keeps its columns, not what
// they hold, so the show takes the widest strip there is.
constexpr int kStripWidth = 1256;

std::optional<LedImage> drawnLeds(const ShowSources &sources, int row, picture::BoardCanvas &canvas,
                                  common::Prompter &prompter)
{
    // The transfer's own drawing, so that a source is found, read and
    // refused exactly as when it is sent.
    if (const common::Status failed = picture::drawScreenSource(
            sources.screens, row, sources.displayFileName, canvas, picture::kMissingSourceText)) {
        common::tell(prompter, *failed);
        return std::nullopt;
    }
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
