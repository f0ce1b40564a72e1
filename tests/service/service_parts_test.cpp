// The parts the running service is wired from: its clock and what it watches.
#include "content_watcher.h"
#include "system_service_clock.h"

#include "pravik/document/display_file.h"
#include "pravik/schedule/schedule_file.h"

#include "test_files.h"

#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pravikd;

namespace {

void runEventsFor(int msecs)
{
    QEventLoop loop;
    QTimer::singleShot(msecs, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(SystemServiceClock, StartsWhereTheTestSaysAndWakesOnceForTheLastWakeUp)
{
    const QDateTime start = QDateTime::fromString("2026-12-24T07:59:58+01:00", Qt::ISODate);
    SystemServiceClock clock(start);
    EXPECT_GE(clock.now(), start);
    EXPECT_LT(start.msecsTo(clock.now()), 1000);

    QStringList woken;
    const QDateTime at = clock.now().addMSecs(80);
    clock.wakeAt(clock.now().addMSecs(20), [&] { woken << "replaced"; });
    clock.wakeAt(at, [&] {
        woken << "at";
        EXPECT_GE(clock.now(), at);
    });
    runEventsFor(300);
    EXPECT_EQ(woken, QStringList{"at"});

    clock.wakeAt(clock.now().addMSecs(10), [&] { woken << "cancelled"; });
    clock.wakeAt(QDateTime(), [&] { woken << "never"; });
    // A wake-up already due comes at once, from the event loop.
    clock.wakeAt(clock.now().addSecs(-5), [&] { woken << "due"; });
    EXPECT_EQ(woken, QStringList{"at"});
    runEventsFor(100);
    EXPECT_EQ(woken, (QStringList{"at", "due"}));
}

TEST(ContentWatcher, WatchesTheScheduledFilesTheirPicturesAndTheirFolders)
{
    QTemporaryDir folder;
    const QDir root(folder.path());
    ASSERT_TRUE(root.mkpath("content/lobby/pictures"));
    pravik::document::ScreenList screens;
    pravik::document::initScreenList(screens);
    screens.setText(1, pravik::document::PictureColumn, "pictures/a.bmp");
    screens.setText(2, pravik::document::PictureColumn, "pictures/missing.bmp");
    ASSERT_TRUE(writeFileBytes(root.filePath("content/lobby/day.lt"),
                               pravik::document::displayFileBytes({}, screens)));
    ASSERT_TRUE(writeFileBytes(root.filePath("content/lobby/pictures/a.bmp"), "BM"));
    const common::Expected<pravik::schedule::Schedule> schedule = pravik::schedule::parseSchedule(
        "default * lobby/day.lt\nwindow * daily 01:00-02:00 file lobby/gone.lt\n");
    ASSERT_TRUE(schedule.ok());
    const QString content = root.filePath("content");
    EXPECT_EQ(contentFilesToWatch(content, *schedule),
              (QStringList{content, content + "/lobby", content + "/lobby/day.lt",
                           content + "/lobby/pictures", content + "/lobby/pictures/a.bmp"}));

    ContentWatcher watcher(content);
    watcher.watch(*schedule);
    int changes = 0;
    QObject::connect(&watcher, &ContentWatcher::changed, [&] { ++changes; });
    // A burst of changes is one.
    ASSERT_TRUE(writeFileBytes(root.filePath("content/lobby/pictures/a.bmp"), "BM1"));
    ASSERT_TRUE(writeFileBytes(root.filePath("content/lobby/pictures/a.bmp"), "BM12"));
    runEventsFor(ContentWatcher::kSettleMsecs * 3);
    EXPECT_EQ(changes, 1);
    // A file saved by renaming over it is still watched afterwards.
    ASSERT_TRUE(writeFileBytes(root.filePath("content/lobby/pictures/new.bmp"), "BM3"));
    ASSERT_TRUE(QFile::remove(root.filePath("content/lobby/pictures/a.bmp")));
    ASSERT_TRUE(QFile::rename(root.filePath("content/lobby/pictures/new.bmp"),
                              root.filePath("content/lobby/pictures/a.bmp")));
    runEventsFor(ContentWatcher::kSettleMsecs * 3);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(watcher.watched().contains(content + "/lobby/pictures/a.bmp"));
}

} // namespace
