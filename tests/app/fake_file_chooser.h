#pragma once

#include "pravik/app/file_chooser.h"

#include <QList>
#include <QStringList>

// Answers each file dialog with the next scripted name ("" = cancelled) and
// keeps what was asked.
class FakeFileChooser : public pravik::app::FileChooser
{
public:
    QString choose(const pravik::app::FileDialogRequest &request) override
    {
        requests.append(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers;
    QList<pravik::app::FileDialogRequest> requests;
};
