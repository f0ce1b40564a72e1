#pragma once

#include <QStringList>
#include <QWidget>

#include <array>

class QLineEdit;

namespace common {

// Splits a dotted address into the pieces for the four boxes: each "." ends a
// piece, the text after the last "." is the next piece. A text with more than
// three "." yields four pieces and the rest is dropped; a text with fewer
// yields fewer pieces ("1.2" -> "1", "2").
QStringList splitAddress(QStringView text);

// The four-box IP address editor: four text boxes, index 0 to 3 from left to
// right, whose value is their texts joined with ".". A typed "." never stays
// in a box: the main keyboard's full stop moves on to the next box with its
// text selected (from the fourth back to the first), and a "." that ends a
// box's text is removed.
class IpAddressEditor : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBoxes = 4;

    // The boxes are named after the editor, as a control array: name(0) ... name(3).
    explicit IpAddressEditor(const QString &name, QWidget *parent = nullptr);

    // Puts the pieces of a dotted address into the boxes from the first on;
    // boxes that get no piece keep their text.
    void setAddress(QStringView address);
    QString address() const;

    QLineEdit *box(int index) const;
    QString boxText(int index) const;
    QStringList boxTexts() const; // the four boxes as they stand, unchecked
    void setBoxText(int index, const QString &text);

    // A greyed editor shows the address but takes no typing.
    void setEditable(bool editable);
    bool isEditable() const;

signals:
    // The focus has left box index (for checks made when the operator moves on).
    void boxLeft(int index);
    void addressEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void boxChanged(int index);
    int indexOf(const QObject *box) const;

    std::array<QLineEdit *, kBoxes> m_boxes{};
    bool m_spreading = false;
};

} // namespace common
