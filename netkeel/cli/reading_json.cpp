#include "reading_json.h"

#include "netkeel/module/module_commands.h"
#include "netkeel/module/module_reading.h"

namespace netkeel::cli {

QJsonObject readingToJson(const ModuleReading &reading)
{
    QJsonObject json;
    const auto putText = [&json](const char *key, const std::optional<QString> &value) {
        if (value)
            json.insert(QLatin1String(key), *value);
    };
    if (reading.multiChannel)
        json.insert(QLatin1String("multi"), *reading.multiChannel);
    putText("mac", reading.mac);
    if (reading.baudCode) {
        if (const auto rate = baudRateForCode(*reading.baudCode))
            json.insert(QLatin1String("baud"), *rate);
    }
    putText("ip", reading.moduleIp);
    putText("reply", reading.replyIp);
    putText("gateway", reading.gateway);
    putText("mask", reading.netMask);
    putText("port", reading.modulePort);
    putText("destPort", reading.destPort);
    return json;
}

} // namespace netkeel::cli
