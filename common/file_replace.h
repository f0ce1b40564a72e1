#pragma once

#include <QByteArray>
#include <QString>

namespace common {

// Replaces the file's contents with `bytes` so that the old file survives any
// failure: the new contents go into a temporary file beside it, which is
// renamed over the old one only once every byte is on disk. False, with the
// system's reason in `error`, when that could not be done.
bool replaceFileContents(const QString &path, const QByteArray &bytes, QString *error);

} // namespace common
