#include "grid_fixture.h"

#include <QAction>
#include <QHeaderView>
#include <QTest>
#include <QVBoxLayout>

using namespace pravik::document;
using pravik::editor::GridEditor;
using pravik::editor::ScreenListModel;

void GridFixture::SetUp()
{
    fillVocabulary(vocabulary);
    initScreenList(screens);

    window = std::make_unique<QWidget>();
    window->resize(1000, 600);
    auto *layout = new QVBoxLayout(window.get());
    // The grid sits below a bar, as it sits below the toolbar in the window.
    layout->setContentsMargins(0, 40, 0, 0);

    model = new ScreenListModel(screens, window.get());
    grid = new QTableView(window.get());
    grid->setObjectName(QStringLiteral("Grid1"));
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    for (int c = 0; c < kScreenColumns; ++c)
        grid->setColumnWidth(c, kColumnWidthTwips[static_cast<std::size_t>(c)] / 15);
    grid->setColumnHidden(DisplayKindColumn, true);
    layout->addWidget(grid);

    textEditor = new QLineEdit(QStringLiteral(" 0-255,1延时最短，0延时最长"), window.get());
    textEditor->setObjectName(QStringLiteral("txtedit"));
    const auto makeList = [this](const char *name) {
        auto *list = new QComboBox(window.get());
        list->setObjectName(QString::fromLatin1(name));
        return list;
    };
    comin = makeList("Comin");
    comout = makeList("Comout");
    comdisp = makeList("Comdisp");
    comexp = makeList("Comexp");
    for (int p = 0; p < kOfferedEffects; ++p) {
        comin->addItem(vocabulary.entryEffects[static_cast<std::size_t>(p)]);
        comout->addItem(vocabulary.exitEffects[static_cast<std::size_t>(p)]);
    }
    for (int p = 0; p < kOfferedStayModes; ++p)
        comdisp->addItem(vocabulary.stayModes[static_cast<std::size_t>(p)]);
    for (int p = 0; p < kOfferedDisplayKinds; ++p)
        comexp->addItem(vocabulary.displayKinds[static_cast<std::size_t>(p)]);
    for (QWidget *w : std::initializer_list<QWidget *>{comin, comout, comdisp, comexp, textEditor})
        w->hide();

    editMenu = new QMenu(QStringLiteral("编辑/Edit"), window.get());
    editMenu->setObjectName(QStringLiteral("mnuedit"));
    const auto addEntry = [this](const char *name, const QString &caption) {
        QAction *entry = editMenu->addAction(caption);
        entry->setObjectName(QString::fromLatin1(name));
        return entry;
    };
    addEntry("mnufiledit", QStringLiteral("编辑RTF文件(&E)"));
    addEntry("mnueditsetting", QStringLiteral("屏幕设置/LED Board Setting"));
    QAction *insert = addEntry("mnueditins", QStringLiteral("插入/Insert Pic"));
    QAction *remove = addEntry("mnueditdel", QStringLiteral("删除/Delete Pic"));

    QObject::connect(insert, &QAction::triggered, [this] { editor->insertScreen(); });
    QObject::connect(remove, &QAction::triggered, [this] { editor->deleteScreen(); });
    pravik::editor::GridEditorWidgets widgets{grid, textEditor, comin, comdisp, comout, comexp};
    editor = std::make_unique<GridEditor>(widgets, *model, vocabulary, editMenu, prompter);

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void GridFixture::TearDown()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    editor.reset();
    window.reset();
}

QModelIndex GridFixture::index(int listRow, int column) const
{
    return model->index(ScreenListModel::gridRow(listRow), column);
}

QRect GridFixture::cellRect(int listRow, int column)
{
    grid->scrollTo(index(listRow, column));
    return grid->visualRect(index(listRow, column));
}

QRect GridFixture::cellRectInWindow(int listRow, int column)
{
    const QRect rect = grid->visualRect(index(listRow, column));
    return QRect(grid->viewport()->mapTo(window.get(), rect.topLeft()), rect.size());
}

void GridFixture::clickCell(int listRow, int column)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellRect(listRow, column).center());
}

QAction *GridFixture::action(const char *name) const
{
    return editMenu->findChild<QAction *>(QString::fromLatin1(name));
}
