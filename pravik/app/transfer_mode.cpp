#include "transfer_mode.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

namespace pravik::app {

TransferMode::TransferMode(const Widgets &widgets) : m_w(widgets)
{
    m_w.stopButton->hide();
    m_w.stopShortcut->setEnabled(false);
}

void TransferMode::enter(const QList<QWidget *> &dialogCommands)
{
    if (m_active)
        return;
    m_active = true;
    // Disabled actions refuse their menu entry, toolbar button, shortcut and
    // any click already queued. Menus stay open to reach Exit.
    for (QAction *action : m_w.window->findChildren<QAction *>()) {
        if (action->isEnabled() && !action->menu() && !m_w.keptActions.contains(action)) {
            action->setEnabled(false);
            m_disabledActions << action;
        }
    }
    for (QWidget *widget : m_w.inputs + dialogCommands) {
        if (widget->isEnabled()) {
            widget->setEnabled(false);
            m_disabledWidgets << widget;
        }
    }
    m_w.stopButton->setEnabled(true);
    m_w.stopButton->show();
    m_w.stopShortcut->setEnabled(true);
}

void TransferMode::leave()
{
    if (!m_active)
        return;
    m_active = false;
    for (const QPointer<QAction> &action : std::as_const(m_disabledActions)) {
        if (action)
            action->setEnabled(true);
    }
    for (const QPointer<QWidget> &widget : std::as_const(m_disabledWidgets)) {
        if (widget)
            widget->setEnabled(true);
    }
    m_disabledActions.clear();
    m_disabledWidgets.clear();
    m_w.stopButton->hide();
    m_w.stopShortcut->setEnabled(false);
}

} // namespace pravik::app
