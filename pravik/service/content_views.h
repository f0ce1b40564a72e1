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

// The display file's screens played once through as the board plays them,
// as an animated GIF (an LED four pixels a side). Fails as screenPng does, or
// at the first screen Send All would refuse.
common::Expected<QByteArray> showGif(const QString &contentFolder, const QString &file);

} // namespace pravik::service
