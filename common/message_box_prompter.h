#pragma once

#include "prompter.h"

class QWidget;

namespace common {

// Shows each message in a modal QMessageBox over the given window.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    MessageAnswer show(const Message &message) override;

private:
    QWidget *m_parent;
};

} // namespace common
