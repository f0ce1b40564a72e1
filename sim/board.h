#pragma once

#include "board_geometry.h"
#include "fault_plan.h"
#include "frame_reader.h"
#include "plane_assembler.h"

#include <QJsonObject>

#include <optional>

namespace LedBoardSim {

struct BoardConfig
{
    BoardGeometry geometry;
    std::optional<int> address = {}; // answer only this bus address; unset: every address
    FaultOptions faults;
};

// What the board does about one item off the line.
struct Reaction
{
    QByteArray reply;                // bytes to send back, possibly none
    bool hangUp = false;             // close the line once the reply is out
    std::optional<int> screenToShow; // a screen whose properties just arrived
    QJsonObject logEntry;            // one line of the frame log
};

// The board's behaviour without any link: checks, answers, stores pictures.
class Board
{
public:
    explicit Board(const BoardConfig &config);

    Reaction handle(const ReadItem &item);

    PlaneAssembler &planes() { return m_planes; }
    int answeredFrames() const { return m_answered; }

private:
    void handleCompleteFrame(const ReadItem &item, Reaction &reaction);

    BoardConfig m_config;
    FaultPlan m_faults;
    PlaneAssembler m_planes;
    int m_entries = 0;
    int m_answered = 0;
};

} // namespace LedBoardSim
