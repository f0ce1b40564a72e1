#include "content.h"

#include "pravik/document/display_file.h"
#include "pravik/picture/picture_source.h"

#include "common/recording_prompter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pravik::service {
namespace {

common::Failure refused(const QString &text)
{
    return {common::kFailedCode, QString(), text, common::MessageIcon::Error};
}

// Whether `path`, with every link on the way followed, lies inside `folder`.
bool staysInside(const QString &folder, const QString &path)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    // A file not there yet is judged by the folder it would be made in.
    QFileInfo info(path);
    while (!info.exists() && info.absoluteFilePath() != info.absolutePath())
        info = QFileInfo(info.absolutePath());
    const QString real = info.canonicalFilePath();
    return !root.isEmpty() && !real.isEmpty() &&
           (real == root || real.startsWith(root + QLatin1Char('/')));
}

} // namespace

common::Expected<QString> contentPath(const QString &folder, const QString &relative)
{
    const QString cleaned = QDir::cleanPath(QString(relative).replace(u'\\', u'/'));
    if (relative.isEmpty() || QDir::isAbsolutePath(cleaned) || cleaned == QStringLiteral("..") ||
        cleaned.startsWith(QStringLiteral("../")) || relative.contains(QChar(0)))
        return refused(QStringLiteral("%1 leaves the content folder").arg(relative));
    const QString path = QDir(folder).filePath(cleaned);
    if (!staysInside(folder, path))
        return refused(QStringLiteral("%1 leads out of the content folder").arg(relative));
    return path;
}

common::Expected<QByteArray> contentStamp(const QString &folder, const QString &displayFile)
{
    const common::Expected<QString> path = contentPath(folder, displayFile);
    if (!path)
        return path.failure();
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1: %2").arg(displayFile, file.errorString()));
    const QByteArray bytes = file.readAll();
    document::BoardSettings settings;
    document::ScreenList screens;
    common::RecordingPrompter told;
    if (document::loadDisplayFileBytes(bytes, settings, screens, told) !=
        document::LoadResult::Loaded)
        return refused(QStringLiteral("%1: %2").arg(displayFile, told.texts().value(0)));

    QCryptographicHash stamp(QCryptographicHash::Sha1);
    stamp.addData(bytes);
    const QString root = QFileInfo(folder).absoluteFilePath();
    for (int row = 1; row <= screens.screenCount(); ++row) {
        const QString name = screens.text(row, document::PictureColumn);
        const QString picture = picture::resolveSourcePath(name, *path);
        // The pictures of a display file are the folder's too.
        const QString relative = QDir(root).relativeFilePath(QFileInfo(picture).absoluteFilePath());
        if (!contentPath(folder, relative))
            return refused(QStringLiteral("%1: the picture %2 lies outside the content folder")
                               .arg(displayFile, name));
        QFile source(picture);
        if (!picture::isExistingPictureFile(picture) || !source.open(QIODevice::ReadOnly))
            return refused(QStringLiteral("%1: the picture %2 is missing").arg(displayFile, name));
        stamp.addData(name.toUtf8());
        stamp.addData(source.readAll());
    }
    return stamp.result();
}

} // namespace pravik::service
