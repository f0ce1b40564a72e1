// What the link thread shows reaches the window in order, and only at its
// latest: a window that falls behind a fast transfer draws one preview, not
// a backlog of every screen.

#include "pravik/app/thread_job_view.h"
#include "pravik/picture/board_canvas.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <gtest/gtest.h>

#include <thread>

using namespace pravik;

namespace {

class WindowSideView : public jobs::JobView
{
public:
    void beginTransfer(int maximum) override { calls << QStringLiteral("begin %1").arg(maximum); }
    void showScreen(int row, const QString &caption, const picture::BoardCanvas &) override
    {
        calls << QStringLiteral("screen %1 %2").arg(row).arg(caption);
    }
    void setProgress(int value) override { calls << QStringLiteral("progress %1").arg(value); }
    void endTransfer(bool) override { calls << QStringLiteral("end"); }

    QStringList calls;
};

} // namespace

TEST(ThreadJobView, AWindowThatFellBehindShowsTheLatestScreenOnceThenTheEnd)
{
    WindowSideView window;
    QObject windowSide;
    app::ThreadJobView view(window, &windowSide);
    picture::BoardCanvas canvas;
    canvas.resize(16, 8, 16);
    std::thread link([&] {
        view.beginTransfer(3);
        for (int row = 1; row <= 3; ++row) {
            view.showScreen(row, QStringLiteral("s%1").arg(row), canvas);
            view.setProgress(row);
        }
        view.endTransfer(true);
    });
    link.join(); // the window ran none of its events meanwhile
    QCoreApplication::processEvents();
    EXPECT_EQ(window.calls, QStringList({"begin 3", "screen 3 s3", "progress 3", "end"}));

    // Once drawn, the next screen is posted again.
    view.showScreen(4, QStringLiteral("s4"), canvas);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.calls.last(), "screen 4 s4");
}
