#pragma once

#include "board_record.h"
#include "board_record_file.h"

#include <QList>
#include <QString>
#include <functional>
#include <map>

namespace common {
class Prompter;
}

namespace pravik::document {
struct BoardSettings;
}

namespace pravik::jobs {

enum class ScreenPart { Picture, Properties };

// What an "only changes" send tells the operator when it sends everything.
inline const QString kRecordUnreadableText = QStringLiteral("屏幕记录无法读取 (%1)，发送全部画面");
inline const QString kRecordForeignText =
    QStringLiteral("屏幕记录属于另一块屏幕 (%1)，发送全部画面");
inline const QString kBoardChangedText = QStringLiteral("屏幕尺寸或类型已改变，发送全部画面");
inline const QString kTransferUnfinishedText = QStringLiteral("上次发送没有结束，发送全部画面");
inline const QString kRecordNotWrittenText = QStringLiteral("屏幕记录无法保存: %1");

// The board's record as one transfer uses it: what the board already holds,
// which a transfer of changes only leaves out, and what the board echoes
// now. A part is forgotten before its first frame goes out and remembered only
// once the board has echoed all of it, so a failure, a stop or feedback off
// never leaves it recorded as on the board.
//
// The record is read when the job first asks, so a job that sends nothing
// touches no file, and it is written when the job ends (finish). Before the
// first frame it is written once marked as under way: should the program end
// in the middle, the next transfer trusts none of it. A mark that cannot be
// written takes the record away instead, for the same reason.
class BoardLedger
{
public:
    // The record of the board `identity` names (see boardIdentity), kept in
    // `recordFolder`. What the operator is told of the record goes to `prompter`.
    // How the record reaches its file (writeBoardRecord).
    using RecordWriter =
        std::function<common::Status(const QString &path, const BoardRecord &record)>;

    BoardLedger(const QString &recordFolder, QString identity,
                const document::BoardSettings &settings, bool onlyChanges,
                common::Prompter &prompter, RecordWriter writer = writeBoardRecord);

    bool onlyChanges() const { return m_onlyChanges; }

    // Whether this part of the screen can be left out: only changes are
    // sent, and the board acknowledged the very same `digest` for it.
    bool leavesOut(int screen, ScreenPart part, const QByteArray &digest);
    // Its frames go out now; the board's copy is unknown until it echoes.
    void sending(int screen, ScreenPart part);
    void acknowledged(int screen, ScreenPart part, const QByteArray &digest);
    // Send All overwrites every screen it reaches, whatever the record says.
    void sendingEverything();

    // Whether the board already shows `count` screens from screen `start`.
    bool displayCurrent(int start, int count);
    void displaySending();
    void displayAcknowledged(int start, int count);

    // Writes the record; a failure is told, the job's outcome stays.
    void finish();

    bool anythingSent() const { return !m_sent.empty(); }
    // Screens of which every part that went out was delivered.
    QList<int> sentScreens() const;
    // Screens of which nothing went out, because the board holds them already.
    QList<int> unchangedScreens() const;

private:
    BoardRecord &record();
    void markUnderWay();
    void startAfresh(const QString &notice);
    bool write();

    const QString m_path;
    const QString m_identity;
    const document::BoardSettings &m_settings;
    const bool m_onlyChanges;
    common::Prompter &m_prompter;
    const RecordWriter m_writer;
    std::optional<BoardRecord> m_record;
    bool m_markedUnderWay = false;
    bool m_writeFailed = false;
    // Screen -> parts, as bits: which went out, were delivered (echoed, or
    // sent with feedback off), were left out.
    std::map<int, int> m_sent;
    std::map<int, int> m_delivered;
    std::map<int, int> m_leftOut;
};

// Writes the ledger's record however the job that holds it ends.
class LedgerFinisher
{
public:
    explicit LedgerFinisher(BoardLedger *ledger) : m_ledger(ledger) {}
    ~LedgerFinisher()
    {
        if (m_ledger)
            m_ledger->finish();
    }
    LedgerFinisher(const LedgerFinisher &) = delete;
    LedgerFinisher &operator=(const LedgerFinisher &) = delete;

private:
    BoardLedger *m_ledger;
};

} // namespace pravik::jobs
