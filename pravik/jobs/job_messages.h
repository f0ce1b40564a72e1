#pragma once

#include <QList>
#include <QString>

namespace pravik::jobs {

inline const QString kNoDisplayFileText = QStringLiteral("未调入显示文件");
inline const QString kNoDisplayFileTitle = QStringLiteral("错误");
inline const QString kStartDisplayTitle = QStringLiteral("发送显示命令");
inline const QString kSentText = QStringLiteral("发送成功");
inline const QString kSetUpPortText = QStringLiteral("请设置通讯端口");
inline const QString kSystemErrorTitle = QStringLiteral("系统错误");

// "    开始显示从0幕开始, 5幕画面  " for five screens.
QString startDisplayQuestion(int screens);

// "0-4, 6, 8-238" for screens 0 to 4, 6 and 8 to 238, with `separator`
// between the parts.
QString screenRanges(const QList<int> &screens, const QString &separator);

// What a send of only the changes did: "已发送第 2、5 幕，3 幕未修改", or that
// the board held everything already. Empty for a list without screens.
QString changesSentText(const QList<int> &sent, const QList<int> &unchanged, bool displaySent);

// What the operator is told after stopping a job: how many screens reached
// the board.
inline QString stoppedText(int screensSent)
{
    return QStringLiteral("已停止发送，%1 幕画面已送到屏幕").arg(screensSent);
}

} // namespace pravik::jobs
