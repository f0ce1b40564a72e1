#pragma once

#include "remote_service.h"

namespace pravik::service {

// Every display file of the content folder with its screens, by name.
QList<ContentFile> listContent(const QString &contentFolder);

// Screen `index` (from 0) of the display file as the board shows it: one
// pixel per LED, as PNG. Fails for a file outside the folder or unreadable,
// a screen it does not have, a picture that cannot be drawn.
common::Expected<QByteArray> screenPng(const QString &contentFolder, const QString &file,
                                       int index);

} // namespace pravik::service
