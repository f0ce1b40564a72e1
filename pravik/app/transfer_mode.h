#pragma once

#include <QList>
#include <QPointer>

class QAction;
class QMainWindow;
class QPushButton;
class QShortcut;
class QWidget;

namespace pravik::app {

// While the board link is busy the window stays alive, so every command that
// reads or changes the screen list, the settings, the link or the files is
// taken away for that time: nothing can start inside a transfer. Stop (the
// button and Escape) and Exit remain.
class TransferMode
{
public:
    struct Widgets
    {
        QMainWindow *window;
        QList<QWidget *> inputs;      // the grid and its cell editors
        QList<QAction *> keptActions; // Exit
        QPushButton *stopButton;
        QShortcut *stopShortcut;
    };

    explicit TransferMode(const Widgets &widgets);

    // `dialogCommands`: the buttons of an open board settings dialog that touch
    // the board or the settings; its Cancel still closes it.
    void enter(const QList<QWidget *> &dialogCommands);
    void leave();
    bool active() const { return m_active; }

private:
    Widgets m_w;
    bool m_active = false;
    QList<QPointer<QAction>> m_disabledActions;
    QList<QPointer<QWidget>> m_disabledWidgets;
};

} // namespace pravik::app
