#pragma once

#include "file_chooser.h"

class QWidget;

namespace common {

class QtFileChooser : public FileChooser
{
public:
    explicit QtFileChooser(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    QString choose(const FileDialogRequest &request) override;

private:
    QWidget *m_parent;
};

} // namespace common
