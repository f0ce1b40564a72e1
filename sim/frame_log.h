#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>

namespace LedBoardSim {

// One JSON object per line, appended and flushed at once so that a reader can
// follow the file while the board runs.
class FrameLog
{
public:
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    void append(const QJsonObject &entry);
    void close();

private:
    QFile m_file;
};

} // namespace LedBoardSim
