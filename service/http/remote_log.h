#pragma once

#include <QString>
#include <functional>

namespace pravikd::http {

// Where the remote control says what an operator of the service should know:
// pravikd passes its journal.
enum class LogLevel { Info, Warning, Error };
using Log = std::function<void(LogLevel level, const QString &message)>;

} // namespace pravikd::http
