#pragma once

#include <QList>
#include <QString>
#include <array>

namespace pravik::document {

// Columns of the screen list, as the grid shows them.
enum ScreenColumn : int {
    NumberColumn = 0, // the screen number; not part of a screen
    PictureColumn = 1,
    EntryEffectColumn = 2,
    EntrySpeedColumn = 3,
    StayModeColumn = 4,
    StayTimeColumn = 5,
    DisplayKindColumn = 6,
    ExitEffectColumn = 7,
    ExitSpeedColumn = 8,
};

inline constexpr int kScreenColumns = 9;
inline constexpr int kMaxScreens = 239;
inline constexpr int kHeaderRow = 0;

// Column widths of the grid in twips, set together with the headers.
inline constexpr std::array<int, kScreenColumns> kColumnWidthTwips{500, 4000, 1000, 500, 1000,
                                                                   500, 1,    1000, 500};

// One screen, as the texts of its grid row.
struct ScreenEntry
{
    QString picture;
    QString entryEffect;
    QString entrySpeed;
    QString stayMode;
    QString stayTime;
    QString displayKind;
    QString exitEffect;
    QString exitSpeed;

    friend bool operator==(const ScreenEntry &, const ScreenEntry &) = default;
};

// The cell texts of the screen-list grid: row 0 holds the headers, rows 1..239
// the screens. The list of screens ends at the first row whose picture is
// empty. Rows can be inserted and removed, so the row count may differ from 240.
class ScreenList
{
public:
    using Row = std::array<QString, kScreenColumns>;

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const Row &row(int row) const { return m_rows.at(row); }
    const QString &text(int row, int column) const;
    void setText(int row, int column, const QString &text);

    void setRowCount(int rows);
    void insertRow(int before, const Row &row);
    void removeRow(int row);

    // Rows 1.. up to the first row without a picture, at most 239: the screens
    // that are saved and sent.
    int screenCount() const;
    ScreenEntry entry(int row) const;
    void setEntry(int row, const ScreenEntry &entry);

    friend bool operator==(const ScreenList &, const ScreenList &) = default;

private:
    QList<Row> m_rows;
};

// Resets the list to 239 empty screens: headers in row 0, the default texts in
// every screen row and no picture anywhere. Rows removed or inserted before are
// undone, so the list always has its 240 rows afterwards.
void initScreenList(ScreenList &list);

// The texts of a fresh screen row in columns 1..8 (column 0 is its number).
ScreenList::Row defaultScreenRow(const QString &number);

} // namespace pravik::document
