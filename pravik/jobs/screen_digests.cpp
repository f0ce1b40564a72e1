#include "screen_digests.h"

#include "pravik/picture/rasterise.h"
#include "pravik/picture/screen_properties.h"

#include <QCryptographicHash>

namespace pravik::jobs {

QByteArray pictureDigest(const picture::BoardCanvas &canvas, int screenType,
                         std::uint8_t screenIndex)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const picture::PacketExchange digestOnly = [&hash](QByteArray &buffer, int checksumIndex) {
        hash.addData(QByteArrayView(buffer).first(checksumIndex));
        return common::Status();
    };
    // Whatever would stop the real transfer is told by it, not here.
    if (picture::rasterisePicture(canvas, screenType, screenIndex, digestOnly).failure)
        return {};
    return hash.result();
}

QByteArray propertiesDigest(const document::ScreenList &screens,
                            const document::Vocabulary &vocabulary, std::uint8_t screenIndex)
{
    const common::Expected<QByteArray> payload =
        picture::screenPropertiesPayload(screens, vocabulary, screenIndex);
    if (!payload)
        return {};
    return QCryptographicHash::hash(*payload, QCryptographicHash::Sha1);
}

} // namespace pravik::jobs
