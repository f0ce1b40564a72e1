#pragma once

#include <QString>

// Texts that name the program and its build.
namespace pravik {

inline const QString kProgramTitle = QStringLiteral("Pravik");
inline const QString kBuildId = QStringLiteral("V5.14 (0409101757)");
inline const QString kContactText = QStringLiteral("Pravik LED 显示屏编辑发送系统  support@pravik.example");
inline constexpr int kVersionMajor = 5;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 5;

} // namespace pravik
