#pragma once

#include <QByteArray>
#include <QImage>

namespace pravik::picture {

// Reads the plain uncompressed 24-bit BMP that most sign pictures are, in one
// pass over its rows; the toolkit's general reader spends several times as
// long on it, which shows when a long list goes out over a fast link. A null
// image for any other kind of BMP (or a damaged one): the general reader
// takes those.
QImage readPlainBmp(const QByteArray &bytes);

} // namespace pravik::picture
