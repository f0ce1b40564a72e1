#pragma once

#include "common/file_chooser.h"

#include <QList>
#include <QStringList>

// Answers each file dialog with the next scripted name ("" = cancelled) and
// keeps what was asked.
class FakeFileChooser : public common::FileChooser
{
public:
    QString choose(const common::FileDialogRequest &request) override
    {
        requests.append(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers;
    QList<common::FileDialogRequest> requests;
};
