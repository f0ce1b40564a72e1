#pragma once

#include <QAbstractTableModel>
#include <array>

namespace pravik::document {
class ScreenList;
}

namespace pravik::editor {

// Shows the screen list in the grid: the list's row 0 is the header, its rows
// 1.. are the grid's rows, and column 0 (the screen number) looks fixed.
class ScreenListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ScreenListModel(document::ScreenList &screens, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The list was replaced or changed behind the model's back.
    void reload();

    // Edits that go through the model, so that the grid follows them. Rows
    // are rows of the list (1 is the first screen).
    void setCellText(int listRow, int column, const QString &text);
    void insertListRow(int before, const std::array<QString, 9> &texts);
    void removeListRow(int listRow);
    document::ScreenList &screens() { return m_screens; }

    // The list row that a grid row shows, and back.
    static int listRow(int gridRow) { return gridRow + 1; }
    static int gridRow(int listRow) { return listRow - 1; }

private:
    document::ScreenList &m_screens;
};

} // namespace pravik::editor
