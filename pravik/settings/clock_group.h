#pragma once

#include "pravik/link/board_commands.h"

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace pravik::settings {

// The clock group Frame4 of the board settings dialog: date, time, time
// zone and segment number for the board's clock, and the button "设置"
// (Command1) that sends them. Every field but the year corrects itself when
// the operator leaves it, and every text field selects its whole text when
// entered, so that typing replaces the old value.
class ClockGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit ClockGroup(QWidget *parent = nullptr);
    ~ClockGroup() override;

    // The texts as they stand, for the clock command.
    link::ClockFields fields() const;
    // Command1, which sends the clock to the board.
    QPushButton *sendButton() const { return m_send; }

signals:
    // Command1 was pressed.
    void setClockRequested();

private:
    QLineEdit *addField(const char *name, const QString &startText);
    void limitOnLeaving(QLineEdit *field, int most);
    void checkMonthOnLeaving(QLineEdit *field);

    QLineEdit *m_year = nullptr;
    QLineEdit *m_month = nullptr;
    QLineEdit *m_day = nullptr;
    QLineEdit *m_hour = nullptr;
    QLineEdit *m_minute = nullptr;
    QLineEdit *m_second = nullptr;
    QLineEdit *m_segment = nullptr;
    QComboBox *m_timeZone = nullptr;
    QPushButton *m_send = nullptr;
};

} // namespace pravik::settings
