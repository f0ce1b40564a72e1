#include "screen_list.h"

namespace pravik::document {

const QString &ScreenList::text(int row, int column) const
{
    return m_rows.at(row).at(static_cast<std::size_t>(column));
}

void ScreenList::setText(int row, int column, const QString &text)
{
    m_rows[row].at(static_cast<std::size_t>(column)) = text;
}

void ScreenList::setRowCount(int rows)
{
    m_rows.resize(rows);
}

void ScreenList::insertRow(int before, const Row &row)
{
    m_rows.insert(before, row);
}

void ScreenList::removeRow(int row)
{
    m_rows.removeAt(row);
}

int ScreenList::screenCount() const
{
    int count = 0;
    for (int r = 1; r < rowCount() && count < kMaxScreens; ++r) {
        if (text(r, PictureColumn).isEmpty())
            break;
        ++count;
    }
    return count;
}

ScreenEntry ScreenList::entry(int row) const
{
    const Row &cells = m_rows.at(row);
    return ScreenEntry{cells[PictureColumn],    cells[EntryEffectColumn], cells[EntrySpeedColumn],
                       cells[StayModeColumn],   cells[StayTimeColumn],    cells[DisplayKindColumn],
                       cells[ExitEffectColumn], cells[ExitSpeedColumn]};
}

void ScreenList::setEntry(int row, const ScreenEntry &entry)
{
    Row &cells = m_rows[row];
    cells[PictureColumn] = entry.picture;
    cells[EntryEffectColumn] = entry.entryEffect;
    cells[EntrySpeedColumn] = entry.entrySpeed;
    cells[StayModeColumn] = entry.stayMode;
    cells[StayTimeColumn] = entry.stayTime;
    cells[DisplayKindColumn] = entry.displayKind;
    cells[ExitEffectColumn] = entry.exitEffect;
    cells[ExitSpeedColumn] = entry.exitSpeed;
}

ScreenList::Row defaultScreenRow(const QString &number)
{
    return ScreenList::Row{number,          QString(),           QStringLiteral("向右展开"),
               QStringLiteral("1"), QStringLiteral("画面停留"), QStringLiteral("1"),
               QStringLiteral("显示图片"), QStringLiteral("向右展开"), QStringLiteral("1")};
}

void initScreenList(ScreenList &list)
{
    list.setRowCount(0);
    list.insertRow(kHeaderRow, ScreenList::Row{
                                   QStringLiteral("幕号"),
                                   QStringLiteral("      图 片 文 件      "),
                                   QStringLiteral(" 引入方式 "),
                                   QStringLiteral("速度"),
                                   QStringLiteral("停留方式"),
                                   QStringLiteral("停留"),
                                   QStringLiteral("温度时间"),
                                   QStringLiteral("引出方式"),
                                   QStringLiteral("速度"),
                               });
    for (int r = 1; r <= kMaxScreens; ++r)
        list.insertRow(r, defaultScreenRow(QString::number(r - 1)));
}

} // namespace pravik::document
