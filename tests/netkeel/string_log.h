#pragma once


#include "netkeel/module/module_log.h"

// The log as one text, as the window's log box holds it.
class StringLog : public netkeel::ModuleLog
{
public:
    void append(const QString &text) override { text_ += text; }
    const QString &text() const { return text_; }

private:
    QString text_;
};
