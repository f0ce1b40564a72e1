#include "job_messages.h"

#include <QStringList>

namespace pravik::jobs {

QString screenRanges(const QList<int> &screens, const QString &separator)
{
    QStringList ranges;
    for (qsizetype i = 0; i < screens.size();) {
        qsizetype last = i;
        while (last + 1 < screens.size() && screens[last + 1] == screens[last] + 1)
            ++last;
        ranges << (last == i ? QString::number(screens[i])
                             : QStringLiteral("%1-%2").arg(screens[i]).arg(screens[last]));
        i = last + 1;
    }
    return ranges.join(separator);
}

QString changesSentText(const QList<int> &sent, const QList<int> &unchanged, bool displaySent)
{
    const QString unchangedPart = QStringLiteral("%1 幕未修改").arg(unchanged.size());
    if (!sent.isEmpty()) {
        const QString sentPart =
            QStringLiteral("已发送第 %1 幕").arg(screenRanges(sent, QStringLiteral("、")));
        return unchanged.isEmpty() ? sentPart : sentPart + QStringLiteral("，") + unchangedPart;
    }
    if (displaySent)
        return unchangedPart + QStringLiteral("，已发送显示命令");
    if (!unchanged.isEmpty())
        return QStringLiteral("屏上的画面都是最新的，未发送");
    return {};
}

} // namespace pravik::jobs
