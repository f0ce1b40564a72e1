// The send of a display file to a fleet, over boards made of fakes: what each
// board ends with, the fleet line's bus address, and a stop in the middle.
#include "gate.h"
#include "link_fakes.h"

#include "pravik/document/display_file.h"
#include "pravik/fleet/fleet_send.h"
#include "pravik/link/link_messages.h"

#include "common/recording_prompter.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

using namespace pravik;
using namespace pravik::fleet;

namespace {

// A board behind a fake link: it echoes every frame's checksum, stays silent,
// or its link fails; it can hold its first frame until the test lets it go.
class FakeBoard : public link::DatagramLink, public link::SerialLink
{
public:
    enum class Behaviour { Echoes, Silent, LinkDies };
    explicit FakeBoard(Behaviour behaviour) : m_behaviour(behaviour) {}

    link::LinkTraits traits() const override { return {false, 5}; }
    common::Status discardInput() override { return {}; }
    common::Status send(const QByteArray &frame) override
    {
        const std::lock_guard lock(m_mutex);
        m_frames << frame;
        // The checksum is the frame's last byte, or the one before an escape.
        m_answer = QByteArray(1, frame.endsWith("\xFA\xFF") ? '\xFA' : frame.back());
        return {};
    }
    common::Status waitForData(int msecs, bool &dataWaiting) override
    {
        if (holdFirstFrame && framesSent() == 1) {
            held->add();
            letGo->waitFor(1);
        }
        dataWaiting = m_behaviour == Behaviour::Echoes;
        if (m_behaviour == Behaviour::LinkDies)
            return link::linkFailure(QStringLiteral("the receiving thread ended"));
        if (!dataWaiting)
            clock.msecs += msecs;
        return {};
    }
    common::Status readWaiting(QByteArray &data) override
    {
        const std::lock_guard lock(m_mutex);
        data = std::exchange(m_answer, QByteArray());
        return {};
    }
    void setRemote(const QString &, std::int32_t) override {}
    std::int32_t localPort() const override { return 1973; }
    common::Status setLocalPort(std::int32_t) override { return {}; }
    bool isOpen() const override { return true; }
    void close() override {}
    common::Status configure(const QString &, double) override { return {}; }
    common::Status open() override { return {}; }

    int framesSent()
    {
        const std::lock_guard lock(m_mutex);
        return static_cast<int>(m_frames.size());
    }
    QList<QByteArray> frames()
    {
        const std::lock_guard lock(m_mutex);
        return m_frames;
    }

    FakeClock clock;
    CountingTickWaiter ticks;
    bool holdFirstFrame = false;
    Gate *held = nullptr;
    Gate *letGo = nullptr;

private:
    const Behaviour m_behaviour;
    std::mutex m_mutex;
    QList<QByteArray> m_frames;
    QByteArray m_answer;
};

class RecordingFleetView : public FleetView
{
public:
    void screenSending(int, int) override {}
    void boardFinished(int board, const BoardOutcome &) override
    {
        const std::lock_guard lock(m_mutex);
        finished << board;
    }
    QList<int> finished;

private:
    std::mutex m_mutex;
};

class FleetSendTest : public ::testing::Test
{
protected:
    FleetSendTest()
    {
        settings.port = 0;
        settings.scrtype = 1;
        settings.scrwidth = 16;
        settings.scrhigh = 8;
        document::initScreenList(screens);
        QImage picture(16, 8, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        picture.save(folder.filePath(QStringLiteral("red.bmp")));
        for (int row = 1; row <= 2; ++row)
            screens.setText(row, document::PictureColumn, QStringLiteral("red.bmp"));
    }

    // The boards of `fleetText`, each over the fake of its IP address.
    QList<BoardOutcome> send(const QString &fleetText, const jobs::StopToken &stop)
    {
        const auto boards = parseFleet(fleetText);
        EXPECT_TRUE(boards) << boards.failure().text.toStdString();
        FleetSend sending{settings, screens, folder.filePath(QStringLiteral("show.lt"))};
        sending.recordFolder = folder.filePath(QStringLiteral("records"));
        return sendToFleet(
            sending, *boards, view, stop,
            [this](const BoardOnLink &board, FleetLink &) {
                FakeBoard &fake = *fakes.at(board.settings.ipAddress);
                return std::make_unique<link::BoardSession>(board.settings, board.serialDevice,
                                                            fake, fake, fake.clock, fake.ticks);
            },
            [] { return std::make_unique<FakeBoard>(FakeBoard::Behaviour::Echoes); });
    }

    FakeBoard &addBoard(const QString &address, FakeBoard::Behaviour behaviour)
    {
        return *(fakes[address] = std::make_unique<FakeBoard>(behaviour));
    }

    QTemporaryDir folder;
    document::BoardSettings settings;
    document::ScreenList screens;
    std::map<QString, std::unique_ptr<FakeBoard>> fakes;
    RecordingFleetView view;
};

} // namespace

// Each board ends on its own: one that answers is sent, a silent one times
// out, one whose link dies fails with the link's error, not a time-out; each
// frame carries the bus address of its fleet line.
TEST_F(FleetSendTest, EachBoardEndsOnItsOwnWithItsOwnAddress)
{
    addBoard(QStringLiteral("10.0.0.1"), FakeBoard::Behaviour::Echoes);
    addBoard(QStringLiteral("10.0.0.2"), FakeBoard::Behaviour::Silent);
    addBoard(QStringLiteral("10.0.0.3"), FakeBoard::Behaviour::LinkDies);
    const jobs::StopToken neverStopped;
    const QList<BoardOutcome> outcomes = send(QStringLiteral("front udp:10.0.0.1:1973 7\n"
                                                             "quiet udp:10.0.0.2:1973 1\n"
                                                             "dead  udp:10.0.0.3:1973 1\n"),
                                              neverStopped);
    QStringList ends;
    for (const BoardOutcome &outcome : outcomes)
        ends << QStringLiteral("%1 %2 %3 %4")
                    .arg(resultName(outcome.result))
                    .arg(outcome.code)
                    .arg(outcome.screens)
                    .arg(outcome.message);
    EXPECT_EQ(ends, (QStringList{"sent 0 2 ", "failed 4 0 超时: 请检查线路",
                                 "failed 5 0 系统错误: the receiving thread ended"}));
    const QList<QByteArray> frames = fakes.at(QStringLiteral("10.0.0.1"))->frames();
    ASSERT_EQ(frames.size(), 7); // two screens of picture and properties, then the display
    for (const QByteArray &frame : frames)
        EXPECT_EQ(frame.left(3), QByteArray("\xFA\xFA\x07"));
    std::sort(view.finished.begin(), view.finished.end());
    EXPECT_EQ(view.finished, (QList<int>{0, 1, 2}));
}

// A stop (Ctrl-C) while every link has a frame on the wire: each board ends
// after that frame and is stopped, and a board whose turn had not come is
// stopped without a frame.
TEST_F(FleetSendTest, AStopEndsEveryBoardAfterItsFrameOnTheWire)
{
    Gate held;
    Gate letGo;
    for (const char *address : {"10.0.0.1", "10.0.0.2", "10.0.0.3"}) {
        FakeBoard &board = addBoard(QString::fromLatin1(address), FakeBoard::Behaviour::Echoes);
        board.holdFirstFrame = true;
        board.held = &held;
        board.letGo = &letGo;
    }
    jobs::StopToken stop;
    QList<BoardOutcome> outcomes;
    std::thread fleet([&] {
        outcomes = send(QStringLiteral("a udp:10.0.0.1:1973 1\n"
                                       "b udp:10.0.0.2:1973 1\n"
                                       "c udp:10.0.0.3:1973 1\n"
                                       "a2 udp:10.0.0.1:1973 2\n"),
                        stop);
    });
    const bool allOnTheWire = held.waitFor(3);
    stop.requestStop();
    letGo.add();
    fleet.join();
    ASSERT_TRUE(allOnTheWire);
    ASSERT_EQ(outcomes.size(), 4);
    for (const BoardOutcome &outcome : outcomes)
        EXPECT_EQ(outcome.result, BoardOutcome::Result::Stopped);
    // Board a's fake stands for a2 as well: a2 sent nothing after a's frame.
    for (const char *address : {"10.0.0.1", "10.0.0.2", "10.0.0.3"})
        EXPECT_EQ(fakes.at(QString::fromLatin1(address))->framesSent(), 1) << address;
}
