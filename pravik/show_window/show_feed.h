#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"

#include <QObject>
#include <QString>
#include <functional>

namespace pravik::show_window {

// What the show plays: the board settings and the screen list as they are at
// the moment, saved or not. A copy, so that the show never reads a list that
// is being edited under it.
struct ShowInput
{
    document::BoardSettings settings;
    document::ScreenList screens;
    document::Vocabulary vocabulary;
    QString displayFileName; // relative picture paths start from its folder
};

// Where the show window takes its input from, and the word that it changed:
// the main window feeds it its grid and settings, a test anything it likes.
class ShowFeed : public QObject
{
    Q_OBJECT
public:
    using Source = std::function<ShowInput()>;

    explicit ShowFeed(Source source, QObject *parent = nullptr)
        : QObject(parent), m_source(std::move(source))
    {
    }

    ShowInput input() const { return m_source(); }

signals:
    // The screen list or the board settings changed.
    void changed();

private:
    Source m_source;
};

} // namespace pravik::show_window
