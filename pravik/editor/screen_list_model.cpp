#include "screen_list_model.h"

#include "pravik/document/screen_list.h"

#include <QApplication>
#include <QPalette>

namespace pravik::editor {

using document::kScreenColumns;
using document::NumberColumn;

ScreenListModel::ScreenListModel(document::ScreenList &screens, QObject *parent)
    : QAbstractTableModel(parent), m_screens(screens)
{
}

int ScreenListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(0, m_screens.rowCount() - 1);
}

int ScreenListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kScreenColumns;
}

QVariant ScreenListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_screens.text(listRow(index.row()), index.column());
    if (role == Qt::BackgroundRole && index.column() == NumberColumn)
        return QApplication::palette().button();
    return {};
}

QVariant ScreenListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || m_screens.rowCount() == 0)
        return {};
    return m_screens.text(document::kHeaderRow, section);
}

Qt::ItemFlags ScreenListModel::flags(const QModelIndex &index) const
{
    if (index.column() == NumberColumn)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ScreenListModel::setCellText(int listRow, int column, const QString &text)
{
    m_screens.setText(listRow, column, text);
    const QModelIndex cell = index(gridRow(listRow), column);
    emit dataChanged(cell, cell);
}

void ScreenListModel::insertListRow(int before, const std::array<QString, 9> &texts)
{
    beginInsertRows({}, gridRow(before), gridRow(before));
    m_screens.insertRow(before, texts);
    endInsertRows();
}

void ScreenListModel::removeListRow(int listRow)
{
    beginRemoveRows({}, gridRow(listRow), gridRow(listRow));
    m_screens.removeRow(listRow);
    endRemoveRows();
}

void ScreenListModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace pravik::editor
