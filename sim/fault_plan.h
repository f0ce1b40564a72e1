#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <random>

namespace LedBoardSim {

// Misbehaviour asked for on the command line. Frames are counted from 1 among
// those the board answers (its own address, complete, checksum right or wrong).
struct FaultOptions
{
    int wrongEchoAt = 0;                  // this frame gets a wrong echo; 0: none
    double wrongEchoRate = 0.0;           // chance of a wrong echo for any frame
    quint32 seed = 1;                     // seeds the chance and the garbage bytes
    std::optional<int> silentAfter = {};  // no echo once this many frames were answered
    std::optional<int> garbageAfter = {}; // noise instead of the echo after that many
    std::optional<int> hangUpAfter = {};  // close the line after answering that many
};

enum class ReplyKind { Echo, WrongEcho, Garbage, Silent };

QString replyKindName(ReplyKind kind);

class FaultPlan
{
public:
    explicit FaultPlan(const FaultOptions &options = {});

    // How the board answers the frame with this 1-based number.
    ReplyKind replyFor(int frameNumber);
    // The bytes for that answer; the echo is the checksum the board computed.
    QByteArray replyBytes(ReplyKind kind, quint8 checksum);
    bool hangsUpAfter(int frameNumber) const;

private:
    FaultOptions m_options;
    std::mt19937 m_random;
};

} // namespace LedBoardSim
