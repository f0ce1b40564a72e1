#pragma once

#include <QString>

namespace netkeel {

// Where the answers of the module and "Error! No respond" are written: the
// window's log box, or the terminal.
class ModuleLog
{
public:
    virtual ~ModuleLog() = default;
    virtual void append(const QString &text) = 0;
};

} // namespace netkeel
