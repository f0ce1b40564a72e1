#include "board_record.h"

#include "pravik/document/screen_list.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pravik::jobs {
namespace {

const QString kFormat = QStringLiteral("pravik board record");
constexpr int kVersion = 1;
constexpr qsizetype kDigestHexLength = 40; // SHA-1

QJsonValue digestValue(const QByteArray &digest)
{
    return digest.isEmpty() ? QJsonValue() : QJsonValue(QString::fromLatin1(digest.toHex()));
}

// A digest field: absent or null for "not known", else 40 hex digits.
bool readDigest(const QJsonObject &screen, const QString &key, QByteArray &digest)
{
    const QJsonValue value = screen.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    const QString hex = value.toString();
    if (hex.size() != kDigestHexLength)
        return false;
    digest = QByteArray::fromHex(hex.toLatin1());
    return digest.toHex() == hex.toLatin1();
}

bool readCount(const QJsonObject &object, const QString &key, int low, int high, int &value)
{
    const QJsonValue field = object.value(key);
    if (!field.isDouble() || field.toDouble() != field.toInt())
        return false;
    value = field.toInt();
    return value >= low && value <= high;
}

common::Failure notARecord(const QString &why)
{
    return {common::kFailedCode, QString(), why};
}

} // namespace

QByteArray recordToJson(const BoardRecord &record)
{
    QJsonArray screens;
    for (const auto &[index, digests] : record.screens) {
        if (digests.picture.isEmpty() && digests.properties.isEmpty())
            continue;
        screens.append(
            QJsonObject{{QStringLiteral("screen"), index},
                        {QStringLiteral("picture"), digestValue(digests.picture)},
                        {QStringLiteral("properties"), digestValue(digests.properties)}});
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("board"), record.board},
                           {QStringLiteral("width"), record.width},
                           {QStringLiteral("height"), record.height},
                           {QStringLiteral("type"), record.type},
                           {QStringLiteral("displayedFrom"), record.displayedFrom},
                           {QStringLiteral("displayed"), record.displayed},
                           {QStringLiteral("transferUnderWay"), record.transferUnderWay},
                           {QStringLiteral("screens"), screens}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

common::Expected<BoardRecord> recordFromJson(const QByteArray &bytes)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (!document.isObject()) {
        return notARecord(parseError.error != QJsonParseError::NoError
                              ? parseError.errorString()
                              : QStringLiteral("not an object"));
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat) {
        return notARecord(QStringLiteral("not a board record"));
    }
    if (root.value(QStringLiteral("version")).toInt() != kVersion) {
        return notARecord(QStringLiteral("record version %1")
                              .arg(root.value(QStringLiteral("version")).toVariant().toString()));
    }
    BoardRecord record;
    record.board = root.value(QStringLiteral("board")).toString();
    record.transferUnderWay = root.value(QStringLiteral("transferUnderWay")).toBool(true);
    const QJsonValue screens = root.value(QStringLiteral("screens"));
    if (record.board.isEmpty() || !screens.isArray() ||
        !readCount(root, QStringLiteral("width"), 0, 0xFFFF, record.width) ||
        !readCount(root, QStringLiteral("height"), 0, 0xFFFF, record.height) ||
        !readCount(root, QStringLiteral("type"), 0, 0xFFFF, record.type) ||
        !readCount(root, QStringLiteral("displayed"), 0, document::kMaxScreens, record.displayed) ||
        (root.contains(QStringLiteral("displayedFrom")) &&
         !readCount(root, QStringLiteral("displayedFrom"), 0, 255, record.displayedFrom))) {
        return notARecord(QStringLiteral("damaged record"));
    }
    for (const QJsonValue &entry : screens.toArray()) {
        const QJsonObject screen = entry.toObject();
        int index = 0;
        ScreenDigests digests;
        if (!readCount(screen, QStringLiteral("screen"), 0, document::kMaxScreens - 1, index) ||
            !readDigest(screen, QStringLiteral("picture"), digests.picture) ||
            !readDigest(screen, QStringLiteral("properties"), digests.properties) ||
            record.screens.count(index) != 0) {
            return notARecord(QStringLiteral("damaged screen entry"));
        }
        record.screens[index] = digests;
    }
    return record;
}

} // namespace pravik::jobs
