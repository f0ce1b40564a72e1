// The boards' states written on a thread of their own: the newest state of
// each board reaches the disk, flush() waits for it, the end writes what
// still waits, and a state that cannot be written is told.
#include "pravik/service/state_writer.h"

#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::service;

namespace {

BoardState stateOf(const QString &board, int failures)
{
    BoardState state;
    state.board = board;
    state.health = Health::Failing;
    state.failuresInARow = failures;
    return state;
}

int failuresOn(const StateStore &store, const QString &board)
{
    const common::Expected<BoardState> state = store.read(board);
    return state ? state->failuresInARow : -1;
}

} // namespace

TEST(StateWriter, WritesTheNewestStateOfEveryBoardBeforeItEnds)
{
    QTemporaryDir folder;
    const StateStore store(folder.filePath(QStringLiteral("state")));
    {
        StateWriter writer(store);
        for (int failures = 1; failures <= 50; ++failures) {
            writer.write(stateOf(QStringLiteral("a"), failures));
            writer.write(stateOf(QStringLiteral("b"), 100 + failures));
        }
        writer.flush();
        EXPECT_EQ(failuresOn(store, QStringLiteral("a")), 50);
        EXPECT_EQ(failuresOn(store, QStringLiteral("b")), 150);
        writer.write(stateOf(QStringLiteral("c"), 7));
    }
    EXPECT_EQ(failuresOn(store, QStringLiteral("c")), 7);
}

TEST(StateWriter, TellsAStateItCannotWrite)
{
    QTemporaryDir folder;
    // A file where the state folder should be.
    const QString blocked = folder.filePath(QStringLiteral("state"));
    ASSERT_TRUE(writeFileBytes(blocked, "not a folder"));
    QStringList told;
    StateWriter writer(StateStore(blocked),
                       [&](const QString &board, const common::Failure &failure) {
                           told << board + QStringLiteral(": ") + failure.text;
                       });
    writer.write(stateOf(QStringLiteral("entrance"), 1));
    writer.flush();
    EXPECT_EQ(told, QStringList{"entrance: " + blocked + ": cannot make the folder"});
}
