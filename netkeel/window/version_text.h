#pragma once

#include <QString>

namespace netkeel {

// "Version" and the three numbers in sign-position form, joined with ".":
// version 1.0.10 reads "Version  1. 0. 10".
QString versionText(int major, int minor, int revision);

} // namespace netkeel
