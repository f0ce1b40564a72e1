#include "clock_group.h"

#include "clock_fields.h"
#include "focus_watcher.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace pravik::settings {
namespace {

// Leaves an unchanged field alone, with its cursor and undo history.
void replaceText(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

} // namespace

ClockGroup::ClockGroup(QWidget *parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("Frame4"));

    m_year = addField("TYEAR", kStartYear);
    m_month = addField("TMON", kStartMonth);
    m_day = addField("TDay", kStartDay);
    m_hour = addField("THOUR", kStartTime);
    m_minute = addField("Tmin", kStartTime);
    m_second = addField("Tsecond", kStartTime);
    m_segment = addField("TSEC", kStartSegment);

    m_timeZone = new QComboBox(this);
    m_timeZone->setObjectName(QStringLiteral("ComTzone"));
    m_timeZone->addItems(timeZoneNames());
    m_timeZone->setCurrentIndex(kDefaultTimeZoneIndex);

    m_send = new QPushButton(QStringLiteral("设置"), this);
    m_send->setObjectName(QStringLiteral("Command1"));
    connect(m_send, &QPushButton::clicked, this, &ClockGroup::setClockRequested);

    checkMonthOnLeaving(m_month);
    checkMonthOnLeaving(m_day);
    limitOnLeaving(m_hour, kLastHour);
    limitOnLeaving(m_minute, kLastMinute);
    limitOnLeaving(m_second, kLastMinute);
    limitOnLeaving(m_segment, kLastSegment);

    auto *layout = new QGridLayout(this);
    const auto put = [this, layout](int row, int column, const QString &label, QWidget *field) {
        layout->addWidget(new QLabel(label, this), row, column * 2);
        layout->addWidget(field, row, column * 2 + 1);
    };
    put(0, 0, QStringLiteral("年："), m_year);
    put(0, 1, QStringLiteral("月："), m_month);
    put(0, 2, QStringLiteral("日:"), m_day);
    put(1, 0, QStringLiteral("时:"), m_hour);
    put(1, 1, QStringLiteral("分："), m_minute);
    put(1, 2, QStringLiteral("秒:"), m_second);
    put(2, 0, QStringLiteral("时区："), m_timeZone);
    put(2, 1, QStringLiteral("段："), m_segment);
    layout->addWidget(m_send, 2, 5);
}

ClockGroup::~ClockGroup()
{
    // Fields torn down with the group lose the focus on the way; there is
    // nothing left to correct then.
    qDeleteAll(findChildren<FocusWatcher *>());
}

link::ClockFields ClockGroup::fields() const
{
    link::ClockFields fields;
    fields.section = m_segment->text();
    fields.year = m_year->text();
    fields.month = m_month->text();
    fields.day = m_day->text();
    fields.hour = m_hour->text();
    fields.minute = m_minute->text();
    fields.second = m_second->text();
    fields.timeZoneIndex = m_timeZone->currentIndex();
    return fields;
}

QLineEdit *ClockGroup::addField(const char *name, const QString &startText)
{
    auto *field = new QLineEdit(startText, this);
    field->setObjectName(QString::fromLatin1(name));
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    // Selected after the focus has arrived, so that a mouse click placing the
    // cursor does not undo it.
    FocusWatcher::watch(
        field, [field] { QTimer::singleShot(0, field, &QLineEdit::selectAll); }, nullptr);
    return field;
}

void ClockGroup::limitOnLeaving(QLineEdit *field, int most)
{
    FocusWatcher::watch(field, nullptr,
                        [field, most] { replaceText(field, limitedText(field->text(), most)); });
}

void ClockGroup::checkMonthOnLeaving(QLineEdit *field)
{
    FocusWatcher::watch(field, nullptr, [this, field] {
        replaceText(field, normalisedText(field->text()));
        const MonthAndDay checked = checkedMonthAndDay(m_month->text(), m_day->text());
        replaceText(m_month, checked.month);
        replaceText(m_day, checked.day);
    });
}

} // namespace pravik::settings
