#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace pravik::settings {

// Calls back when a field receives or loses the keyboard focus: the dialog's
// fields correct themselves when the operator leaves them. A window that is
// merely deactivated (a message box comes up, the operator switches to
// another program) is no leaving: the operator has not moved on, and a
// rejected value must still be there when the box has been answered.
class FocusWatcher : public QObject
{
    Q_OBJECT

public:
    using Callback = std::function<void()>;

    // Watches `field`; the watcher belongs to the field.
    static FocusWatcher *watch(QWidget *field, Callback entered, Callback left);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusWatcher(QWidget *field, Callback entered, Callback left);

    Callback m_entered;
    Callback m_left;
};

} // namespace pravik::settings
