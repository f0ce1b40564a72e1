#include "version_text.h"

#include "common/numbers.h"

namespace netkeel {

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version ") + common::signPosition(major) + u'.' +
           common::signPosition(minor) + u'.' + common::signPosition(revision);
}

} // namespace netkeel
