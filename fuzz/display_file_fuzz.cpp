// Any bytes offered as a display file (.lt): the loader must end with one of
// its results and a message, never read outside the text or loop forever. A
// file that loads must write back to bytes that load again, since Save and
// Open have to agree on everything Open accepts.

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace pravik::document;

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     static_cast<qsizetype>(size));
    BoardSettings settings;
    ScreenList screens;
    common::RecordingPrompter prompter;
    int settingsRead = 0;
    LoadHooks hooks;
    hooks.settingsRead = [&settingsRead] { ++settingsRead; };
    const LoadResult result = loadDisplayFileBytes(bytes, settings, screens, prompter, hooks);

    // Every outcome but Loaded tells the operator why.
    if ((result == LoadResult::Loaded) != prompter.messages().isEmpty())
        std::abort();
    if (result != LoadResult::Loaded || !unsavableField(screens).isEmpty())
        return 0;

    BoardSettings reloadedSettings;
    ScreenList reloadedScreens;
    common::RecordingPrompter reloadPrompter;
    if (loadDisplayFileBytes(displayFileBytes(settings, screens), reloadedSettings,
                             reloadedScreens, reloadPrompter)
        != LoadResult::Loaded)
        std::abort();
    return 0;
}
