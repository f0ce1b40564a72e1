#pragma once

#include "pravik/document/board_settings.h"

#include <QString>
#include <array>
#include <optional>

// What the board settings dialog's fields say, and the rules that turn them
// into BoardSettings: the checks of Apply, and the corrections a field makes
// to itself when the operator leaves it.
namespace pravik::settings {

inline const QString kAddressErrorText = QStringLiteral("屏号错误");
inline const QString kWidthErrorText = QStringLiteral("屏宽错误");
inline const QString kHeightErrorText = QStringLiteral("屏高错误");
inline const QString kLinkErrorText =
    QStringLiteral("通讯口错误，请选择 EtherNet 或 COM1 至 COM16");
inline const QString kIpPortErrorText = QStringLiteral("端口号错误，请输入 1 至 65535 的整数");

inline constexpr int kMostScreenWidth = 2512;
inline constexpr int kMostScreenHeight = 512;

enum class FormField { Link, IpBox0, IpBox1, IpBox2, IpBox3, IpPort, Address, Width, Height };

// The texts and states of the dialog's fields.
struct SettingsForm
{
    QString link; // com_com
    std::array<QString, 4> ipBoxes;
    QString ipPort;              // txt_port
    QString address;             // txt_head
    QString width;               // sizew
    QString height;              // sizeh
    std::int16_t screenType = 1; // the option button set: 1, 2 or 3
    QString baud;                // com_baud
    bool feedback = true;        // Check1
};

// The field Apply stopped at, and what the operator is told.
struct Rejection
{
    FormField field;
    QString message;
};

// Apply's checks and storing, in their order. On Ethernet the IP address and
// port are stored as soon as they pass, so a later rejection leaves them
// stored; nothing else is stored until every check has passed. A link text
// that names no link, or an IP port that is no whole port number, is refused
// before anything is stored. Nothing returned means every value was stored.
std::optional<Rejection> storeSettingsForm(const SettingsForm &form,
                                           document::BoardSettings &settings);

// The fields that correct themselves when the operator leaves them.
enum class CorrectedField {
    Width,       // sizew: 1..2512 and a multiple of 8, else "80"
    Height,      // sizeh: 1..512, else "64"
    Address,     // txt_head: 0..255, else "255"
    FirstScreen, // Txt_start: 0..95, else "0"
    ScreenCount, // Txt_end: 0..238, else "1"
};

// The text that replaces an out-of-range value, or nothing when it stays.
std::optional<QString> correctedText(CorrectedField field, const QString &text);

} // namespace pravik::settings
