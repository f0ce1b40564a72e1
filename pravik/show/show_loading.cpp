#include "show_loading.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/plane_packing.h"
#include "pravik/picture/screen_source.h"

#include <algorithm>

namespace pravik::show {
namespace {

// Where the strips meet changes where the canvas keeps its columns, not what
// they hold, so the show takes the widest strip there is.
constexpr int kStripWidth = 1256;

const QString kNoPicturesText =
    QStringLiteral("屏幕类型为 %1：只有单色屏 (1) 和三色屏 (2) 显示图形");

common::Failure sendAllFailure(const QString &text)
{
    return common::Failure{common::kFailedCode, kProgramTitle, text, common::MessageIcon::Error};
}

// The transfer refuses a board too large for its planes at its first
// picture. A board that is sent no pictures at all is held to the
// single-colour limit, which keeps its dark preview to a sensible size.
common::Status boardFits(const document::BoardSettings &settings)
{
    const auto overflow =
        picture::bandOverflow(settings.scrwidth, settings.scrhigh, settings.scrtype == 2 ? 2 : 1);
    if (overflow)
        return sendAllFailure(*overflow);
    return {};
}

// The transfer's own drawing, so that a source is found, read and refused
// exactly as when it is sent.
common::Status drawLeds(const ShowSources &sources, int row, picture::BoardCanvas &canvas,
                        LedImage &leds)
{
    if (common::Status failed = picture::drawScreenSource(
            sources.screens, row, sources.displayFileName, canvas, picture::kMissingSourceText))
        return failed;
    leds = ledImage(canvas, sources.settings.scrtype);
    return {};
}

LoadedScreen loadScreen(const ShowSources &sources, int row, const common::Status &tooLarge,
                        picture::BoardCanvas &canvas)
{
    LoadedScreen loaded;
    loaded.index = row - 1;
    if (const common::Status failed =
            tooLarge ? tooLarge : drawLeds(sources, row, canvas, loaded.screen.leds))
        loaded.problems << *failed;
    const common::Expected<ScreenProperties> properties =
        screenProperties(sources.screens, sources.vocabulary, std::uint8_t(row - 1));
    if (properties)
        loaded.screen.properties = *properties;
    else
        loaded.problems << properties.failure();
    // Any other board stays dark; the operator is told why rather than left
    // to wonder.
    if (loaded.problems.isEmpty() && !boardShowsPictures(sources.settings))
        loaded.problems << common::Failure{common::kRefusedCode, kProgramTitle,
                                           kNoPicturesText.arg(sources.settings.scrtype),
                                           common::MessageIcon::None};
    return loaded;
}

} // namespace

bool boardShowsPictures(const document::BoardSettings &settings)
{
    return settings.scrtype == 1 || settings.scrtype == 2;
}

std::vector<LoadedScreen> loadScreens(const ShowSources &sources, const ScreenRange &range)
{
    const int count = sources.screens.screenCount();
    const int first = std::max(range.first, 0);
    const int end = range.count < 0 ? count : std::min(count, first + range.count);
    std::vector<LoadedScreen> screens;
    if (first >= end)
        return screens;
    // A board too large is refused before anything is drawn, for each screen
    // as the transfer would refuse it.
    const common::Status tooLarge = boardFits(sources.settings);
    picture::BoardCanvas canvas;
    if (!tooLarge)
        canvas.resize(sources.settings.scrwidth, sources.settings.scrhigh, kStripWidth);
    screens.reserve(std::size_t(end - first));
    for (int row = first + 1; row <= end; ++row)
        screens.push_back(loadScreen(sources, row, tooLarge, canvas));
    return screens;
}

common::Status firstProblem(const std::vector<LoadedScreen> &screens)
{
    for (const LoadedScreen &screen : screens)
        if (!screen.problems.isEmpty())
            return screen.problems.first();
    return {};
}

std::vector<ShowScreen> showScreens(std::vector<LoadedScreen> screens)
{
    std::vector<ShowScreen> shown;
    shown.reserve(screens.size());
    for (LoadedScreen &screen : screens)
        shown.push_back(std::move(screen.screen));
    return shown;
}

} // namespace pravik::show
