#include "ip_address_editor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace common {

QStringList splitAddress(QStringView text)
{
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && pieces.size() < IpAddressEditor::kBoxes; ++i) {
        if (text[i] == u'.') {
            pieces << text.mid(start, i - start).toString();
            start = i + 1;
        }
    }
    if (pieces.size() < IpAddressEditor::kBoxes)
        pieces << text.mid(start).toString();
    return pieces;
}

IpAddressEditor::IpAddressEditor(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < kBoxes; ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("%1(%2)").arg(name).arg(i));
        box->setAlignment(Qt::AlignCenter);
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, i] { boxChanged(i); });
        connect(box, &QLineEdit::textEdited, this, &IpAddressEditor::addressEdited);
        layout->addWidget(box, 1);
        m_boxes[static_cast<std::size_t>(i)] = box;
    }
}

void IpAddressEditor::setAddress(QStringView address)
{
    const QStringList pieces = splitAddress(address);
    for (int i = 0; i < pieces.size(); ++i)
        setBoxText(i, pieces[i]);
}

QString IpAddressEditor::address() const
{
    QStringList texts;
    for (const QLineEdit *box : m_boxes)
        texts << box->text();
    return texts.join(u'.');
}

QLineEdit *IpAddressEditor::box(int index) const
{
    return m_boxes.at(static_cast<std::size_t>(index));
}

QString IpAddressEditor::boxText(int index) const
{
    return box(index)->text();
}

QStringList IpAddressEditor::boxTexts() const
{
    QStringList texts;
    for (const QLineEdit *box : m_boxes)
        texts << box->text();
    return texts;
}

void IpAddressEditor::setBoxText(int index, const QString &text)
{
    box(index)->setText(text);
}

void IpAddressEditor::setEditable(bool editable)
{
    for (QLineEdit *box : m_boxes)
        box->setEnabled(editable);
}

bool IpAddressEditor::isEditable() const
{
    return m_boxes[0]->isEnabled();
}

int IpAddressEditor::indexOf(const QObject *box) const
{
    for (int i = 0; i < kBoxes; ++i) {
        if (m_boxes[static_cast<std::size_t>(i)] == box)
            return i;
    }
    return -1;
}

void IpAddressEditor::boxChanged(int index)
{
    if (m_spreading)
        return;
    QLineEdit *changed = box(index);
    QString text = changed->text();
    if (text.endsWith(u'.')) {
        text.chop(1);
        changed->setText(text); // comes back here once more, without the "."
        return;
    }
    // A whole address pasted into one box spreads over it and the boxes after
    // it rather than leaving "." inside a box.
    if (!text.contains(u'.'))
        return;
    const QStringList pieces = splitAddress(text);
    m_spreading = true;
    for (int i = 0; i < pieces.size() && index + i < kBoxes; ++i)
        setBoxText(index + i, pieces[i]);
    m_spreading = false;
}

bool IpAddressEditor::eventFilter(QObject *watched, QEvent *event)
{
    const int index = indexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // The main keyboard's full stop only; the keypad's decimal point is
        // typed and then dropped as a trailing ".".
        if (key->key() == Qt::Key_Period && !key->modifiers().testFlag(Qt::KeypadModifier)) {
            if (index < kBoxes - 1) {
                QLineEdit *next = box(index + 1);
                next->setFocus(Qt::OtherFocusReason);
                next->selectAll();
            } else {
                box(0)->setFocus(Qt::OtherFocusReason);
            }
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        emit boxLeft(index);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace common
