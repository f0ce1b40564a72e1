#include "content_watcher.h"

#include "pravik/document/display_file.h"
#include "pravik/picture/picture_source.h"
#include "pravik/service/content.h"
#include "pravik/service/service_setup.h"

#include "common/recording_prompter.h"

#include <QFile>
#include <QFileInfo>

namespace pravikd {
namespace {

void addWithFolder(const QString &path, QStringList &paths)
{
    const QFileInfo info(path);
    for (const QString &item : {info.absolutePath(), info.absoluteFilePath()}) {
        if (QFileInfo::exists(item) && !paths.contains(item))
            paths << item;
    }
}

} // namespace

QStringList contentFilesToWatch(const QString &contentFolder,
                                const pravik::schedule::Schedule &schedule)
{
    QStringList paths;
    if (QFileInfo(contentFolder).isDir())
        paths << QFileInfo(contentFolder).absoluteFilePath();
    for (const QString &file : pravik::service::scheduledFiles(schedule)) {
        const common::Expected<QString> path = pravik::service::contentPath(contentFolder, file);
        if (!path)
            continue;
        addWithFolder(*path, paths);
        QFile displayFile(*path);
        if (!displayFile.open(QIODevice::ReadOnly))
            continue;
        pravik::document::BoardSettings settings;
        pravik::document::ScreenList screens;
        common::RecordingPrompter quiet;
        if (pravik::document::loadDisplayFileBytes(displayFile.readAll(), settings, screens,
                                                   quiet) != pravik::document::LoadResult::Loaded)
            continue;
        for (int row = 1; row <= screens.screenCount(); ++row)
            addWithFolder(pravik::picture::resolveSourcePath(
                              screens.text(row, pravik::document::PictureColumn), *path),
                          paths);
    }
    return paths;
}

ContentWatcher::ContentWatcher(QString contentFolder, QObject *parent)
    : QObject(parent), m_contentFolder(std::move(contentFolder))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMsecs);
    connect(&m_settle, &QTimer::timeout, this, &ContentWatcher::settled);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
}

void ContentWatcher::watch(const pravik::schedule::Schedule &schedule)
{
    m_schedule = schedule;
    const QStringList wanted = contentFilesToWatch(m_contentFolder, m_schedule);
    const QStringList old = watched();
    if (!old.isEmpty())
        m_watcher.removePaths(old);
    if (!wanted.isEmpty())
        m_watcher.addPaths(wanted);
}

QStringList ContentWatcher::watched() const
{
    return m_watcher.directories() + m_watcher.files();
}

void ContentWatcher::settled()
{
    // A file renamed over another is a new file: watch it, and whatever the
    // display files name now.
    watch(m_schedule);
    emit changed();
}

} // namespace pravikd
