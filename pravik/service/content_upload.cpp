#include "content_upload.h"

#include "pravik/document/display_file.h"

#include "common/file_replace.h"
#include "common/recording_prompter.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace pravik::service {
namespace {

common::Failure refused(const QString &text)
{
    return {common::kRefusedCode, QString(), text, common::MessageIcon::Error};
}

// The last part of a path as either system writes it.
QString baseName(const QString &path)
{
    return path.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
}

// A name that is safe as one file in one folder.
bool plainFileName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[^/\\\\:*?\"<>|\\x00-\\x1f]+$"));
    return plain.match(name).hasMatch() && name != QStringLiteral(".") &&
           name != QStringLiteral("..") && !name.startsWith(u'.');
}

} // namespace

common::Expected<QString> storeUpload(const QString &contentFolder, const QString &displayFileName,
                                      const QByteArray &displayFile,
                                      const QMap<QString, QByteArray> &pictures)
{
    const QString name = baseName(displayFileName);
    if (!plainFileName(name) || !name.endsWith(QStringLiteral(".lt"), Qt::CaseInsensitive))
        return refused(QStringLiteral("'%1' is no display file name").arg(displayFileName));
    document::BoardSettings settings;
    document::ScreenList screens;
    common::RecordingPrompter told;
    if (document::loadDisplayFileBytes(displayFile, settings, screens, told) !=
        document::LoadResult::Loaded)
        return refused(QStringLiteral("%1: %2").arg(name, told.texts().value(0)));

    const QString stem = name.chopped(3);
    QMap<QString, QString> storedAs; // the display file's name -> where it is stored
    QSet<QString> taken;
    for (int row = 1; row <= screens.screenCount(); ++row) {
        const QString picture = screens.text(row, document::PictureColumn);
        if (storedAs.contains(picture))
            continue;
        if (!pictures.contains(picture))
            return refused(
                QStringLiteral("%1 names %2, which the upload lacks").arg(name, picture));
        QString file = baseName(picture);
        if (!plainFileName(file))
            return refused(QStringLiteral("%1 names %2, which is no file name").arg(name, picture));
        // Two pictures of one name from different folders stay apart.
        for (int n = 2; taken.contains(file.toLower()); ++n)
            file = QStringLiteral("%1-%2").arg(n).arg(baseName(picture));
        taken.insert(file.toLower());
        storedAs.insert(picture, stem + u'/' + file);
    }

    const QDir folder(contentFolder);
    if (!folder.mkpath(stem))
        return refused(QStringLiteral("cannot make %1 in the content folder").arg(stem));
    for (auto stored = storedAs.cbegin(); stored != storedAs.cend(); ++stored) {
        if (const common::Status failed = common::replaceFileContents(
                folder.filePath(stored.value()), pictures.value(stored.key())))
            return refused(QStringLiteral("%1: %2").arg(stored.value(), failed->text));
    }
    for (int row = 1; row <= screens.screenCount(); ++row)
        screens.setText(row, document::PictureColumn,
                        storedAs.value(screens.text(row, document::PictureColumn)));
    // The display file last, once everything it names is in place.
    if (const common::Status failed = common::replaceFileContents(
            folder.filePath(name), document::displayFileBytes(settings, screens)))
        return refused(QStringLiteral("%1: %2").arg(name, failed->text));
    return name;
}

} // namespace pravik::service
