#include "board_ledger.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"

#include "common/prompter.h"

#include <QFile>

namespace pravik::jobs {
namespace {

int bit(ScreenPart part)
{
    return part == ScreenPart::Picture ? 1 : 2;
}

QByteArray &digestOf(ScreenDigests &digests, ScreenPart part)
{
    return part == ScreenPart::Picture ? digests.picture : digests.properties;
}

} // namespace

BoardLedger::BoardLedger(const QString &recordFolder, QString identity,
                         const document::BoardSettings &settings, bool onlyChanges,
                         common::Prompter &prompter, RecordWriter writer)
    : m_path(boardRecordPath(recordFolder, identity)), m_identity(std::move(identity)),
      m_settings(settings), m_onlyChanges(onlyChanges), m_prompter(prompter),
      m_writer(std::move(writer))
{
}

BoardRecord &BoardLedger::record()
{
    if (m_record)
        return *m_record;
    const RecordRead read = readBoardRecord(m_path, m_identity);
    switch (read.status) {
    case RecordRead::Status::Missing:
        startAfresh({});
        break;
    case RecordRead::Status::Unreadable:
        startAfresh(kRecordUnreadableText.arg(read.problem));
        break;
    case RecordRead::Status::Foreign:
        startAfresh(kRecordForeignText.arg(read.problem));
        break;
    case RecordRead::Status::Read:
        if (read.record.transferUnderWay)
            startAfresh(kTransferUnfinishedText);
        else if (read.record.width != m_settings.scrwidth ||
                 read.record.height != m_settings.scrhigh || read.record.type != m_settings.scrtype)
            // Its screens were packed for another board.
            startAfresh(kBoardChangedText);
        else
            m_record = read.record;
        break;
    }
    return *m_record;
}

void BoardLedger::startAfresh(const QString &notice)
{
    m_record.emplace();
    m_record->board = m_identity;
    m_record->width = m_settings.scrwidth;
    m_record->height = m_settings.scrhigh;
    m_record->type = m_settings.scrtype;
    if (m_onlyChanges && !notice.isEmpty())
        m_prompter.tell(notice, kProgramTitle, common::MessageIcon::Information);
}

bool BoardLedger::leavesOut(int screen, ScreenPart part, const QByteArray &digest)
{
    if (!m_onlyChanges || digest.isEmpty())
        return false;
    const auto known = record().screens.find(screen);
    const bool held = known != record().screens.end() && digestOf(known->second, part) == digest;
    if (held)
        m_leftOut[screen] |= bit(part);
    return held;
}

void BoardLedger::sending(int screen, ScreenPart part)
{
    markUnderWay();
    if (const auto known = record().screens.find(screen); known != record().screens.end())
        digestOf(known->second, part).clear();
    m_sent[screen] |= bit(part);
}

void BoardLedger::sendingEverything()
{
    markUnderWay();
    record().screens.clear();
}

void BoardLedger::markUnderWay()
{
    BoardRecord &known = record();
    if (m_markedUnderWay)
        return;
    m_markedUnderWay = true;
    known.transferUnderWay = true;
    // Without the mark on disk a crash would leave the old record trusted.
    if (!write())
        QFile::remove(m_path);
}

void BoardLedger::acknowledged(int screen, ScreenPart part, const QByteArray &digest)
{
    m_delivered[screen] |= bit(part);
    // With feedback off nothing is echoed, so nothing is known.
    if (m_settings.feedback != 0 && !digest.isEmpty())
        digestOf(record().screens[screen], part) = digest;
}

bool BoardLedger::displayCurrent(int start, int count)
{
    return record().displayed == count && record().displayedFrom == start;
}

void BoardLedger::displaySending()
{
    markUnderWay();
    record().displayed = 0;
}

void BoardLedger::displayAcknowledged(int start, int count)
{
    if (m_settings.feedback == 0)
        return;
    record().displayedFrom = start;
    record().displayed = count;
}

void BoardLedger::finish()
{
    if (!m_markedUnderWay)
        return; // nothing went out, so the board holds what the record says
    m_record->transferUnderWay = false;
    write();
    m_markedUnderWay = false;
}

bool BoardLedger::write()
{
    const common::Status failed = m_writer(m_path, *m_record);
    if (!failed)
        return true;
    if (!m_writeFailed) {
        m_writeFailed = true;
        m_prompter.tell(kRecordNotWrittenText.arg(failed->text), kProgramTitle,
                        common::MessageIcon::Warning);
    }
    return false;
}

QList<int> BoardLedger::sentScreens() const
{
    QList<int> sent;
    for (const auto &entry : m_sent) {
        if (const auto delivered = m_delivered.find(entry.first);
            delivered != m_delivered.end() && delivered->second == entry.second)
            sent << entry.first;
    }
    return sent;
}

QList<int> BoardLedger::unchangedScreens() const
{
    QList<int> unchanged;
    for (const auto &entry : m_leftOut) {
        if (m_sent.count(entry.first) == 0)
            unchanged << entry.first;
    }
    return unchanged;
}

} // namespace pravik::jobs
