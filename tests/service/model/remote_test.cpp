// The remote control's side of the service: uploads stored with their paths
// rewritten, screens as pictures, and commands and events across threads.
#include "manual_clock.h"

#include "pravik/service/board_work.h"
#include "pravik/service/content.h"
#include "pravik/service/content_upload.h"
#include "pravik/service/content_views.h"
#include "pravik/service/keeper.h"
#include "pravik/service/keeper_remote.h"

#include "common/recording_prompter.h"

#include "service_folder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace pravik;
using namespace pravik::service;

namespace {

QByteArray bmp(QRgb colour)
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QStringList picturesOf(const QString &path)
{
    document::BoardSettings settings;
    document::ScreenList screens;
    common::RecordingPrompter quiet;
    document::loadDisplayFile(path, settings, screens, quiet);
    QStringList names;
    for (int row = 1; row <= screens.screenCount(); ++row)
        names << screens.text(row, document::PictureColumn);
    return names;
}

} // namespace

// A desktop's display file works on the service unchanged: its pictures go
// into a folder beside it, named after it, and its paths follow them.
TEST(ContentUpload, StoresThePicturesBesideTheFileAndRewritesItsPaths)
{
    QTemporaryDir content;
    const QStringList named{"C:\\pics\\a.bmp", "pics/b.bmp", "a.bmp", "C:\\pics\\a.bmp"};
    const QMap<QString, QByteArray> pictures{{"C:\\pics\\a.bmp", bmp(qRgb(255, 0, 0))},
                                             {"pics/b.bmp", bmp(qRgb(0, 0, 0))},
                                             {"a.bmp", bmp(qRgb(255, 0, 0))},
                                             {"unused.bmp", bmp(qRgb(0, 0, 0))}};
    const common::Expected<QString> stored = storeUpload(
        content.path(), QStringLiteral("C:\\shop\\main.lt"), smallBoardFileNaming(named), pictures);
    ASSERT_TRUE(stored) << stored.failure().text.toStdString();
    EXPECT_EQ(*stored, QStringLiteral("main.lt"));
    EXPECT_EQ(picturesOf(content.filePath(QStringLiteral("main.lt"))),
              (QStringList{"main/a.bmp", "main/b.bmp", "main/2-a.bmp", "main/a.bmp"}));
    EXPECT_FALSE(QFile::exists(content.filePath(QStringLiteral("main/unused.bmp"))));
    EXPECT_TRUE(contentStamp(content.path(), QStringLiteral("main.lt")));
    const common::Expected<QByteArray> png =
        screenPng(content.path(), QStringLiteral("main.lt"), 1);
    ASSERT_TRUE(png);
    const QImage shown = QImage::fromData(*png, "PNG");
    EXPECT_EQ(shown.size(), QSize(16, 8));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(QImage::fromData(*screenPng(content.path(), QStringLiteral("main.lt"), 0), "PNG")
                  .pixel(3, 3),
              qRgb(255, 0, 0));
    const common::Expected<QByteArray> gif = showGif(content.path(), QStringLiteral("main.lt"));
    ASSERT_TRUE(gif) << gif.failure().text.toStdString();
    EXPECT_TRUE(gif->startsWith("GIF89a"));

    const struct
    {
        const char *name;
        QStringList named;
        const char *refusal;
    } refused[] = {
        {".lt", {"a.bmp"}, "'.lt' is no display file name"},
        {"show.txt", {"a.bmp"}, "'show.txt' is no display file name"},
        {"gap.lt", {"a.bmp", "missing.bmp"}, "gap.lt names missing.bmp, which the upload lacks"},
    };
    for (const auto &c : refused) {
        const common::Expected<QString> refusal = storeUpload(
            content.path(), QString::fromLatin1(c.name), smallBoardFileNaming(c.named), pictures);
        ASSERT_FALSE(refusal) << c.name;
        EXPECT_EQ(refusal.failure().text, QString::fromLatin1(c.refusal));
    }
    EXPECT_FALSE(QFile::exists(content.filePath(QStringLiteral("gap.lt"))));
    // A name is taken for its last part only: nothing lands outside.
    EXPECT_EQ(storeUpload(content.path(), QStringLiteral("../up.lt"), smallBoardFileNaming({"a.bmp"}),
                          pictures)
                  .value(),
              QStringLiteral("up.lt"));
}

// Commands from the server's threads reach the keeper's thread; its events
// come to every listener in the order they happened. Closed, it refuses.
TEST(KeeperRemote, CommandsCrossToTheKeepersThreadAndEventsComeBackInOrder)
{
    QTemporaryDir folder;
    const QString content = folder.filePath(QStringLiteral("content"));
    ASSERT_TRUE(storeUpload(content, QStringLiteral("lobby.lt"), smallBoardFileNaming({"a.bmp"}),
                            {{"a.bmp", bmp(qRgb(255, 0, 0))}}));
    const ServiceSetup setup = serviceSetupIn(folder.path());
    ASSERT_TRUE(writeFileBytes(setup.fleetFile, "a udp:10.0.0.1:1973 1\n"));
    ASSERT_TRUE(writeFileBytes(setup.scheduleFile, "clock 04:00\n"));
    ManualClock clock(
        QDateTime::fromString(QStringLiteral("2026-12-07T09:00:00+01:00"), Qt::ISODate));
    Keeper keeper(
        setup, clock, [](const QString &) {},
        [](const WorkOrder &order, fleet::FleetLink &, const jobs::StopToken &,
           const WorkProgress &progress) {
            WorkDone done;
            done.clockSet = order.work.setClock;
            done.contentSent = order.work.sendContent;
            done.contacted = true;
            if (order.work.sendContent)
                progress(0, 1);
            return done;
        });
    ASSERT_EQ(keeper.start(), std::nullopt);
    KeeperRemote remote(keeper);
    QStringList events;
    std::mutex mutex;
    const std::shared_ptr<void> listening = remote.subscribe([&](const ServiceEvent &event) {
        const std::lock_guard lock(mutex);
        events << event.type + u' ' +
                      (event.data.contains(QStringLiteral("state"))
                           ? event.data.value(QStringLiteral("state")).toString()
                           : QString());
    });
    const auto idle = [&] { until([&] { return keeper.idle(); }); };
    idle();
    {
        const std::lock_guard lock(mutex);
        events.clear();
    }

    common::Expected<int> job = 0;
    std::atomic<bool> answered{false};
    std::thread server([&] {
        job = remote.command(Command{
            Command::Kind::SendChanges, QStringLiteral("a"), QStringLiteral("lobby.lt"), {}});
        answered = true;
    });
    // The command waits for the keeper's thread, which is this one.
    while (!answered)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    server.join();
    ASSERT_TRUE(job);
    idle();

    // Closed as the service ends, it refuses a command at once.
    remote.close();
    common::Expected<int> late = 0;
    std::thread(
        [&] { late = remote.command(Command{Command::Kind::SetClock, QStringLiteral("a"), {}, {}}); })
        .join();
    ASSERT_FALSE(late);
    EXPECT_EQ(late.failure().code, int(Refusal::Stopping));
    QCoreApplication::processEvents();
    {
        const std::lock_guard lock(mutex);
        EXPECT_EQ(events.mid(0, 3), (QStringList{"job queued", "progress ", "job done"}));
        EXPECT_TRUE(events.contains(QStringLiteral("state ok")));
        events.clear();
    }
    EXPECT_EQ(remote.job(*job)->state, JobStatus::State::Done);
    EXPECT_EQ(remote.board(QStringLiteral("a"))->state.shown->file, QStringLiteral("lobby.lt"));

    // A new upload of what a board shows reaches it at once, not at the
    // next minute; a plan spans two weeks at the most.
    ASSERT_TRUE(remote.upload(QStringLiteral("lobby.lt"), smallBoardFileNaming({"b.bmp"}),
                              {{"b.bmp", bmp(qRgb(0, 255, 0))}}));
    idle();
    QCoreApplication::processEvents();
    {
        const std::lock_guard lock(mutex);
        EXPECT_TRUE(events.contains(QStringLiteral("job done")));
    }
    EXPECT_TRUE(remote.plan(clock.now(), 336));
    EXPECT_FALSE(remote.plan(clock.now(), 337));
}
