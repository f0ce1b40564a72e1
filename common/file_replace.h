#pragma once

#include "failure.h"

#include <QByteArray>
#include <QString>

namespace common {

// Replaces the file's contents with `bytes` so that the old file survives any
// failure: the new contents go into a temporary file beside it, which is
// renamed over the old one only once every byte is on disk. The failure, with
// the system's reason, when that could not be done.
Status replaceFileContents(const QString &path, const QByteArray &bytes);

} // namespace common
