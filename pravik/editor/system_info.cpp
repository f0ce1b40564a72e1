#include "system_info.h"

#include "pravik/document/board_capacity.h"
#include "pravik/document/program_texts.h"

#include "common/numbers.h"

namespace pravik::editor {

QString systemInfoText(const document::BoardSettings &settings)
{
    using common::signPosition;
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    text += QStringLiteral("当前屏幕宽: ") + signPosition(settings.scrwidth) + crlf;
    text += QStringLiteral("当前屏幕高: ") + signPosition(settings.scrhigh) + crlf;
    text += QStringLiteral("当前屏幕类型:") + signPosition(settings.scrtype) + u',' +
            signPosition(128) + QStringLiteral("    ") + crlf;
    text += QStringLiteral("4Mb 估计可存储数量:") +
            QString::number(document::capacityEstimate(settings)) +
            QStringLiteral("           ") + crlf;
    text += QStringLiteral("当前握手信号:") + QString::number(settings.busAddress()) + crlf;
    text += QStringLiteral("Version ") + signPosition(kVersionMajor) + u'.' +
            signPosition(kVersionMinor) + u'.' + signPosition(kVersionRevision) + crlf;
    text += QStringLiteral("ID ") + kBuildId + crlf;
    text += QStringLiteral("-------------------------------       ") + crlf;
    text += kContactText;
    return text;
}

} // namespace pravik::editor
