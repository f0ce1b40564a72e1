#pragma once

#include "netkeel/module/module_log.h"

#include "common/prompter.h"

namespace netkeel::cli {

// Messages as "title: text" lines on standard error, answered with OK.
class StderrPrompter : public common::Prompter
{
public:
    common::MessageAnswer show(const common::Message &message) override;
};

// The module's answers on standard error, one line each, as they come.
class StderrLog : public ModuleLog
{
public:
    void append(const QString &text) override;
};

} // namespace netkeel::cli
