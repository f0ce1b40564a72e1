#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace pravik::service {

// Stores an uploaded display file in the content folder as its base name
// ("C:\shop\main.lt" becomes main.lt), and every picture and text file it
// names in a folder beside it named after it (main/a.bmp), with the display
// file's paths rewritten to those. `pictures` holds each file under the name
// the display file gives it. Refused: a display file that cannot be read, a
// name that is no plain file name ending in .lt, a picture the upload lacks.
// The stored display file's name, relative to the content folder.
common::Expected<QString> storeUpload(const QString &contentFolder, const QString &displayFileName,
                                      const QByteArray &displayFile,
                                      const QMap<QString, QByteArray> &pictures);

} // namespace pravik::service
