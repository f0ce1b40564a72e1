#include "focus_watcher.h"

#include <QFocusEvent>
#include <QWidget>

namespace pravik::settings {

FocusWatcher *FocusWatcher::watch(QWidget *field, Callback entered, Callback left)
{
    return new FocusWatcher(field, std::move(entered), std::move(left));
}

FocusWatcher::FocusWatcher(QWidget *field, Callback entered, Callback left)
    : QObject(field), m_entered(std::move(entered)), m_left(std::move(left))
{
    field->installEventFilter(this);
}

bool FocusWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool windowOnly =
            reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        if (!windowOnly) {
            const Callback &callback = event->type() == QEvent::FocusIn ? m_entered : m_left;
            if (callback)
                callback();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pravik::settings
