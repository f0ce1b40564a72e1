#pragma once

#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/editor/grid_editor.h"
#include "pravik/editor/screen_list_model.h"

#include "common/recording_prompter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// The main window's editing widgets, built the same way: the grid in a layout,
// the text editor and the four lists as free children of the same widget, the
// Edit menu with its four entries, all driven through real events.
class GridFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QModelIndex index(int listRow, int column) const;
    // Where a cell is on the grid's viewport, scrolled into view first.
    QRect cellRect(int listRow, int column);
    // Where the cell lies in the window that holds the editors.
    QRect cellRectInWindow(int listRow, int column);
    void clickCell(int listRow, int column);
    QString cell(int listRow, int column) const { return screens.text(listRow, column); }
    void setCell(int listRow, int column, const QString &text) { model->setCellText(listRow, column, text); }
    QAction *action(const char *name) const;

    pravik::document::Vocabulary vocabulary;
    pravik::document::ScreenList screens;
    common::RecordingPrompter prompter{common::RecordingPrompter::accept};

    std::unique_ptr<QWidget> window;
    pravik::editor::ScreenListModel *model = nullptr;
    QTableView *grid = nullptr;
    QLineEdit *textEditor = nullptr;
    QComboBox *comin = nullptr;
    QComboBox *comout = nullptr;
    QComboBox *comdisp = nullptr;
    QComboBox *comexp = nullptr;
    QMenu *editMenu = nullptr;
    std::unique_ptr<pravik::editor::GridEditor> editor;
};
