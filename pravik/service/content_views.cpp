#include "content_views.h"

#include "content.h"

#include "pravik/document/display_file.h"
#include "pravik/document/vocabulary.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/led_view.h"
#include "pravik/picture/screen_source.h"
#include "pravik/show/show.h"
#include "pravik/show/show_gif.h"
#include "pravik/show/show_loading.h"

#include "common/recording_prompter.h"

#include <QBuffer>
#include <QDirIterator>

namespace pravik::service {
namespace {

constexpr int kStripWidth = 1256;

common::Failure notThere(const QString &text)
{
    return refused(Refusal::UnknownFile, text);
}

struct Loaded
{
    QString path;
    document::BoardSettings settings;
    document::ScreenList screens;
};

common::Expected<Loaded> load(const QString &folder, const QString &file)
{
    const common::Expected<QString> path = contentPath(folder, file);
    if (!path)
        return notThere(path.failure().text);
    Loaded loaded{*path, {}, {}};
    common::RecordingPrompter told;
    if (document::loadDisplayFile(*path, loaded.settings, loaded.screens, told) !=
        document::LoadResult::Loaded)
        return notThere(QStringLiteral("%1: %2").arg(file, told.texts().value(0)));
    return loaded;
}

} // namespace

QList<ContentFile> listContent(const QString &contentFolder)
{
    QList<ContentFile> files;
    const QDir root(contentFolder);
    QDirIterator found(contentFolder, {QStringLiteral("*.lt")}, QDir::Files,
                       QDirIterator::Subdirectories);
    QStringList names;
    while (found.hasNext())
        names << root.relativeFilePath(found.next());
    names.sort();
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    for (const QString &name : names) {
        const common::Expected<Loaded> loaded = load(contentFolder, name);
        if (!loaded)
            continue;
        ContentFile file{name,
                         loaded->settings.scrwidth,
                         loaded->settings.scrhigh,
                         loaded->settings.scrtype,
                         {}};
        for (int row = 1; row <= loaded->screens.screenCount(); ++row) {
            const document::ScreenList &screens = loaded->screens;
            file.screens << QJsonObject{
                {QStringLiteral("index"), row - 1},
                {QStringLiteral("picture"), screens.text(row, document::PictureColumn)},
                {QStringLiteral("entry"), screens.text(row, document::EntryEffectColumn)},
                {QStringLiteral("stay"), screens.text(row, document::StayModeColumn)},
                {QStringLiteral("exit"), screens.text(row, document::ExitEffectColumn)}};
        }
        files << file;
    }
    return files;
}

common::Expected<QByteArray> screenPng(const QString &contentFolder, const QString &file, int index)
{
    const common::Expected<Loaded> loaded = load(contentFolder, file);
    if (!loaded)
        return loaded.failure();
    if (index < 0 || index >= loaded->screens.screenCount())
        return notThere(QStringLiteral("%1 has screens 0 to %2")
                            .arg(file)
                            .arg(loaded->screens.screenCount() - 1));
    const int type = loaded->settings.scrtype;
    picture::BoardCanvas canvas(loaded->settings.scrwidth, loaded->settings.scrhigh, kStripWidth);
    if (const common::Status failed = picture::drawScreenSource(
            loaded->screens, index + 1, loaded->path, canvas, picture::kMissingPictureText))
        return *failed;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // A board without pictures of its own (multi-colour) is shown as one colour.
    picture::ledView(canvas, type == 2 ? 2 : 1).save(&buffer, "PNG");
    return png;
}

common::Expected<QByteArray> showGif(const QString &contentFolder, const QString &file)
{
    const common::Expected<Loaded> loaded = load(contentFolder, file);
    if (!loaded)
        return loaded.failure();
    document::Vocabulary vocabulary;
    document::fillVocabulary(vocabulary);
    const show::ShowSources sources{loaded->settings, loaded->screens, vocabulary, loaded->path};
    std::vector<show::LoadedScreen> screens = show::loadScreens(sources);
    if (const common::Status problem = show::firstProblem(screens))
        return *problem;
    if (screens.empty())
        return notThere(QStringLiteral("%1 has no screens").arg(file));
    // The same show every time: the clock screens start at midnight.
    const show::Show played(loaded->settings, show::showScreens(std::move(screens)));
    return show::showGif(played, show::GifOptions{});
}

} // namespace pravik::service
