#pragma once

#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/editor/grid_editor.h"
#include "pravik/editor/screen_list_model.h"

#include "common/recording_prompter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

// The main window's editing widgets, built the same way: the grid in a layout
// below a bar, the text editor and the four lists as free children of the same
// widget, the Edit menu with its insert and delete entries, all driven through
// real events.
class GridFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        using namespace pravik::document;
        fillVocabulary(vocabulary);
        initScreenList(screens);
        window = std::make_unique<QWidget>();
        window->resize(1000, 600);
        auto *layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 40, 0, 0);

        model = new pravik::editor::ScreenListModel(screens, window.get());
        grid = new QTableView(window.get());
        grid->setModel(model);
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        for (int c = 0; c < kScreenColumns; ++c)
            grid->setColumnWidth(c, kColumnWidthTwips[static_cast<std::size_t>(c)] / 15);
        grid->setColumnHidden(DisplayKindColumn, true);
        layout->addWidget(grid);

        textEditor = new QLineEdit(window.get());
        const auto makeList = [this](const char *name, const auto &names, int count) {
            auto *list = new QComboBox(window.get());
            list->setObjectName(QString::fromLatin1(name));
            for (int p = 0; p < count; ++p)
                list->addItem(names[static_cast<std::size_t>(p)]);
            list->hide();
            return list;
        };
        comin = makeList("Comin", vocabulary.entryEffects, kOfferedEffects);
        comout = makeList("Comout", vocabulary.exitEffects, kOfferedEffects);
        comdisp = makeList("Comdisp", vocabulary.stayModes, kOfferedStayModes);
        comexp = makeList("Comexp", vocabulary.displayKinds, kOfferedDisplayKinds);
        textEditor->hide();

        editMenu = new QMenu(window.get());
        insertEntry = editMenu->addAction(QStringLiteral("插入/Insert Pic"));
        deleteEntry = editMenu->addAction(QStringLiteral("删除/Delete Pic"));
        QObject::connect(insertEntry, &QAction::triggered, [this] { editor->insertScreen(); });
        QObject::connect(deleteEntry, &QAction::triggered, [this] { editor->deleteScreen(); });
        pravik::editor::GridEditorWidgets widgets{grid, textEditor, comin, comdisp, comout, comexp};
        editor = std::make_unique<pravik::editor::GridEditor>(widgets, *model, vocabulary, editMenu,
                                                              prompter);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QModelIndex index(int listRow, int column) const
    {
        return model->index(pravik::editor::ScreenListModel::gridRow(listRow), column);
    }
    // Where a cell is on the grid's viewport, scrolled into view first.
    QRect cellRect(int listRow, int column)
    {
        grid->scrollTo(index(listRow, column));
        return grid->visualRect(index(listRow, column));
    }
    // Where the cell lies in the window that holds the editors.
    QRect cellRectInWindow(int listRow, int column) const
    {
        const QRect rect = grid->visualRect(index(listRow, column));
        return QRect(grid->viewport()->mapTo(window.get(), rect.topLeft()), rect.size());
    }
    void clickCell(int listRow, int column)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellRect(listRow, column).center());
    }
    QString cell(int listRow, int column) const { return screens.text(listRow, column); }
    void setCell(int listRow, int column, const QString &text)
    {
        model->setCellText(listRow, column, text);
    }

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
    QAction *insertEntry = nullptr;
    QAction *deleteEntry = nullptr;
    std::unique_ptr<pravik::editor::GridEditor> editor;
};
