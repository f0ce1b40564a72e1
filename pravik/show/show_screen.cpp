#include "show_screen.h"

#include "pravik/picture/screen_properties.h"

namespace pravik::show {

common::Expected<ScreenProperties> screenProperties(const document::ScreenList &screens,
                                                    const document::Vocabulary &vocabulary,
                                                    std::uint8_t screenIndex)
{
    // Taken from the command's own payload, the one place that turns the
    // list's names and numbers into what the board is sent.
    const common::Expected<QByteArray> payload =
        picture::screenPropertiesPayload(screens, vocabulary, screenIndex);
    if (!payload)
        return payload.failure();
    const auto byte = [&](int index) { return int(std::uint8_t(payload->at(index))); };
    return ScreenProperties{byte(4), byte(5), byte(8), byte(9), byte(6), byte(7)};
}

} // namespace pravik::show
