#pragma once

#include <QByteArray>
#include <QString>

namespace pravik::picture {

// Why a picture file is cut short, or an empty text when it is whole. The
// toolkit's readers draw what there is of a picture whose file ends early (the
// missing rows of a BMP stay black, a GIF stops part way, a JPEG turns grey):
// the board would show part of a picture and the operator would not know.
QString cutShortReason(const QByteArray &bytes);

} // namespace pravik::picture
