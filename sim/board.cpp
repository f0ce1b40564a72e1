#include "board.h"

#include "command_decoder.h"

#include <QJsonArray>

namespace LedBoardSim {

namespace {

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace

Board::Board(const BoardConfig &config)
    : m_config(config), m_faults(config.faults), m_planes(config.geometry)
{
}

Reaction Board::handle(const ReadItem &item)
{
    Reaction reaction;
    QJsonObject &entry = reaction.logEntry;
    entry[u"seq"] = ++m_entries;
    entry[u"kind"] =
        item.status == FrameStatus::BadHeader ? QStringLiteral("garbage") : QStringLiteral("frame");
    entry[u"raw"] = hex(item.raw);
    entry[u"status"] = frameStatusName(item.status);
    entry[u"well_formed"] = item.status == FrameStatus::Ok;
    if (!item.error.isEmpty())
        entry[u"error"] = item.error;
    if (item.address >= 0)
        entry[u"address"] = item.address;

    if (item.status == FrameStatus::Ok || item.status == FrameStatus::ChecksumError)
        handleCompleteFrame(item, reaction);
    else
        entry[u"reply_kind"] = QStringLiteral("none");
    if (!entry.contains(u"reply"))
        entry[u"reply"] = QJsonValue::Null;
    return reaction;
}

void Board::handleCompleteFrame(const ReadItem &item, Reaction &reaction)
{
    QJsonObject &entry = reaction.logEntry;
    const DecodedCommand command = decodeCommand(item.payload, m_config.geometry.type);
    entry[u"payload_length"] = item.payload.size();
    entry[u"checksum"] = item.checksum;
    entry[u"computed_checksum"] = item.computedChecksum;
    entry[u"command"] = command.code;
    entry[u"command_name"] = command.name;
    entry[u"fields"] = command.fields;
    QStringList notes = command.notes;

    const bool forMe = !m_config.address || *m_config.address == item.address;
    entry[u"for_me"] = forMe;
    if (!forMe) {
        // A board on a shared bus keeps quiet about frames for another address.
        entry[u"reply_kind"] = QStringLiteral("not-addressed");
    } else {
        const int number = ++m_answered;
        entry[u"answered"] = number;
        // The board echoes the checksum it worked out itself; after a damaged
        // frame that differs from the one sent, and the sender resends.
        const ReplyKind kind = m_faults.replyFor(number);
        reaction.reply = m_faults.replyBytes(kind, static_cast<quint8>(item.computedChecksum));
        entry[u"reply_kind"] = replyKindName(kind);
        if (!reaction.reply.isEmpty())
            entry[u"reply"] = hex(reaction.reply);
        reaction.hangUp = m_faults.hangsUpAfter(number);
        if (reaction.hangUp)
            entry[u"hang_up"] = true;

        // Only a frame that arrived intact is stored.
        if (item.status == FrameStatus::Ok && command.code == PictureData) {
            const QString note = m_planes.applyPicturePacket(item.payload);
            if (!note.isEmpty())
                notes << note;
        }
        if (item.status == FrameStatus::Ok && command.code == ScreenProperties) {
            const int screen = static_cast<quint8>(item.payload.at(1));
            if (m_planes.hasScreen(screen))
                reaction.screenToShow = screen;
            else
                notes << QStringLiteral("no picture stored for screen %1").arg(screen);
        }
    }
    if (!notes.isEmpty())
        entry[u"notes"] = QJsonArray::fromStringList(notes);
}

} // namespace LedBoardSim
