#include "frame_log.h"

#include <QJsonDocument>

namespace LedBoardSim {

bool FrameLog::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = QStringLiteral("cannot open log %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void FrameLog::append(const QJsonObject &entry)
{
    if (!m_file.isOpen())
        return;
    m_file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact));
    m_file.write("\n");
    m_file.flush();
}

void FrameLog::close()
{
    m_file.close();
}

} // namespace LedBoardSim
