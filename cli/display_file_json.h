#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"

#include "common/failure.h"
#include "common/prompter.h"

#include <QJsonObject>
#include <QList>
#include <optional>

namespace pravik::cli {

// A display file as one JSON object: "settings", "screens" (the rows up to the
// first one without a picture) and "messages" (what loading it showed).
QJsonObject displayFileJson(const document::BoardSettings &settings,
                            const document::ScreenList &screens,
                            const QList<common::Message> &messages);

struct DisplayFileContent
{
    document::BoardSettings settings;
    document::ScreenList screens;
};

// Reads the same object back ("messages" is ignored). Every value must be one
// the display file can carry and read back unchanged; otherwise the failure
// says which and why.
common::Expected<DisplayFileContent> displayFileFromJson(const QJsonObject &object);

} // namespace pravik::cli
