#include "ip_octets.h"

#include "common/numbers.h"

#include <QList>
#include <limits>

namespace pravik::document {

bool splitIpOctets(QStringView address, std::array<std::int16_t, 4> &octets)
{
    const QList<QStringView> parts = address.split(u'.');
    if (parts.size() > 4)
        return false;
    std::array<std::int16_t, 4> result = octets;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::int64_t value = common::roundHalfEven(common::leadingNumber(parts[i]));
        if (value < std::numeric_limits<std::int16_t>::min() ||
            value > std::numeric_limits<std::int16_t>::max())
            return false;
        result[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(value);
    }
    octets = result;
    return true;
}

} // namespace pravik::document
