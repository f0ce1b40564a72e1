// The main window's menus and toolbar: every entry with its name and caption.
#include "main_window.h"

#include <QAction>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace pravik::app {
namespace {

QAction *addEntry(QWidget *to, QObject *owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    to->addAction(action);
    return action;
}

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *file = addMenu(bar, "mnufile", QStringLiteral("文件/File"));
    connect(addEntry(file, this, "mnufilopen", QStringLiteral("打开/Open")), &QAction::triggered,
            this, [this] { m_fileCommands.openFile(); });
    connect(addEntry(file, this, "mnufilNew", QStringLiteral("新建/New")), &QAction::triggered,
            this, [this] { m_fileCommands.newFile(); });
    connect(addEntry(file, this, "mnufilsave", QStringLiteral("保存/Save")), &QAction::triggered,
            this, [this] { m_fileCommands.save(); });
    connect(addEntry(file, this, "mnufilsaveas", QStringLiteral("另存/Save As")),
            &QAction::triggered, this, [this] { m_fileCommands.saveAs(); });
    connect(addEntry(file, this, "m_load_com", QStringLiteral("打开比较文件(&C)")),
            &QAction::triggered, this, &MainWindow::chooseCompareFile);
    m_clearCompareAction = addEntry(file, this, "m_clear_com", QStringLiteral("清除比较文件(&R)"));
    m_clearCompareAction->setEnabled(false);
    connect(m_clearCompareAction, &QAction::triggered, this, &MainWindow::clearCompareFile);
    file->addSeparator();
    connect(addEntry(file, this, "mnuFilExit", QStringLiteral("退出/Exit")), &QAction::triggered,
            this, &QWidget::close);

    QMenu *edit = addMenu(bar, "mnuedit", QStringLiteral("编辑/Edit"));
    addEntry(edit, this, "mnufiledit", QStringLiteral("编辑RTF文件(&E)"));
    addEntry(edit, this, "mnueditsetting", QStringLiteral("屏幕设置/LED Board Setting"));
    addEntry(edit, this, "mnueditins", QStringLiteral("插入/Insert Pic"));
    addEntry(edit, this, "mnueditdel", QStringLiteral("删除/Delete Pic"));

    QMenu *picture = addMenu(bar, "mnuPicture", QStringLiteral("图形(&G)"));
    addEntry(picture, this, "mnupicnew", QStringLiteral("新建(&N)"));
    addEntry(picture, this, "mnupicEdt", QStringLiteral("编辑(&E)"));

    QMenu *run = addMenu(bar, "mnurun", QStringLiteral("执行/Process"));
    connect(addEntry(run, this, "mnurunStr", QStringLiteral("发送全部/Send All")),
            &QAction::triggered, this, &MainWindow::runSendAll);
    connect(addEntry(run, this, "mnusendchg", QStringLiteral("发送修改的画面")),
            &QAction::triggered, this, &MainWindow::runSendChanged);
    connect(addEntry(run, this, "mnusendp", QStringLiteral("改变属性/Change Property")),
            &QAction::triggered, this, &MainWindow::runSendProperties);
    connect(addEntry(run, this, "mnusendsp", QStringLiteral("发送指定图片/Send specify Pic")),
            &QAction::triggered, this, &MainWindow::runSendSpecifiedPicture);
    connect(addEntry(run, this, "mnusendclk", QStringLiteral("设置时钟/Setting Clock")),
            &QAction::triggered, this, &MainWindow::sendClock);
    connect(addEntry(run, this, "MNUSIMRUN", QStringLiteral("模拟显示")), &QAction::triggered,
            this, &MainWindow::openShowWindow);

    QMenu *help = addMenu(bar, "mnuhelp", QStringLiteral("帮助/Help"));
    connect(addEntry(help, this, "mnuhlpabout", QStringLiteral("About")), &QAction::triggered,
            this, &MainWindow::showSystemInfo);
    addEntry(help, this, "mnuhelpHelp", QStringLiteral("帮助"));
}

void MainWindow::buildToolbar()
{
    QToolBar *toolbar = addToolBar(QStringLiteral("Toolbar1"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const auto button = [&](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        QAction *action = addEntry(toolbar, toolbar, name, caption);
        action->setIcon(style()->standardIcon(icon));
        return action;
    };
    connect(button("Command3d7", QStringLiteral("新建/New"), QStyle::SP_FileIcon),
            &QAction::triggered, this, [this] { m_fileCommands.newFile(); });
    connect(button("Command3d2", QStringLiteral("打开/Open"), QStyle::SP_DialogOpenButton),
            &QAction::triggered, this, [this] { m_fileCommands.openFile(); });
    connect(button("Command3d5", QStringLiteral("保存/Save"), QStyle::SP_DialogSaveButton),
            &QAction::triggered, this, [this] { m_fileCommands.save(); });
    button("Command3d1", QStringLiteral("屏幕设置/Board Setting"), QStyle::SP_ComputerIcon);
    connect(button("Command3d3", QStringLiteral("发送全部/Send All"), QStyle::SP_MediaPlay),
            &QAction::triggered, this, &MainWindow::runSendAll);
    connect(button("Com_timer", QStringLiteral("设置时钟/Seeting Clock"), QStyle::SP_BrowserReload),
            &QAction::triggered, this, &MainWindow::sendClock);
    connect(button("Command3d8", QStringLiteral("模拟显示"), QStyle::SP_DesktopIcon),
            &QAction::triggered, this, &MainWindow::openShowWindow);
    // Two buttons carry a picture only.
    button("Command3d6", QString(), QStyle::SP_FileDialogContentsView);
    button("Cmdhelp", QString(), QStyle::SP_DialogHelpButton);
    connect(button("Command3d4", QStringLiteral("退出/Exit"), QStyle::SP_DialogCloseButton),
            &QAction::triggered, this, &QWidget::close);
}

} // namespace pravik::app
