#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QString>

namespace pravik::service {

// The file `relative` names in the content folder. It must stay inside the
// folder: no absolute path, no "..", and no symbolic link on the way that
// leads out of it; otherwise the failure says why.
common::Expected<QString> contentPath(const QString &folder, const QString &relative);

// A digest of a display file and of every picture and text file its screens
// name, which changes whenever any of them does. Fails when the display file
// cannot be read or is none, or a picture is missing or lies outside the
// content folder.
common::Expected<QByteArray> contentStamp(const QString &folder, const QString &displayFile);

} // namespace pravik::service
