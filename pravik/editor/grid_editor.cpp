#include "grid_editor.h"

#include "cell_commit.h"
#include "inserted_screen_row.h"
#include "screen_list_model.h"

#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"

#include "common/numbers.h"
#include "common/prompter.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace pravik::editor {

using namespace document;

namespace {

// The lists lie over 1000-twip columns, too narrow for names such as
// "向右展开": the box stays over its cell, the list it drops is as wide as
// its longest name.
void fitDropDownToNames(QComboBox *list)
{
    QAbstractItemView *view = list->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() +
                          view->verticalScrollBar()->sizeHint().width());
}

// "第 4 幕" above the question for the row whose 幕号 shows 4: the screen as
// the operator sees it in the grid, whatever the rows above it hold.
QString deleteQuestion(const QString &screenNumber)
{
    return QStringLiteral("第 ") + screenNumber.trimmed() +
           QStringLiteral(" 幕\n确信要删除此幕吗?");
}

} // namespace

GridEditor::GridEditor(const GridEditorWidgets &widgets, ScreenListModel &model,
                       const Vocabulary &vocabulary, QMenu *editMenu, common::Prompter &prompter,
                       QObject *parent)
    : QObject(parent), m_grid(widgets.grid), m_textEditor(widgets.textEditor),
      m_entryEffectList(widgets.entryEffectList), m_stayModeList(widgets.stayModeList),
      m_exitEffectList(widgets.exitEffectList), m_displayKindList(widgets.displayKindList),
      m_model(model), m_vocabulary(vocabulary), m_editMenu(editMenu), m_prompter(prompter)
{
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    m_textEditor->installEventFilter(this);
    // The right button shows the Edit menu; no other context menu competes.
    m_grid->setContextMenuPolicy(Qt::PreventContextMenu);
    m_grid->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);

    connect(m_grid, &QAbstractItemView::clicked, this, &GridEditor::cellClicked);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &GridEditor::currentCellChanged);
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_cellBeforeReset = {currentRow(), currentColumn()};
    });
    connect(&m_model, &QAbstractItemModel::modelReset, this, &GridEditor::listReset);

    for (QComboBox *list :
         {m_entryEffectList, m_stayModeList, m_exitEffectList, m_displayKindList}) {
        connect(list, &QComboBox::activated, this, [this, list](int index) {
            chooseEntry(list, index);
            m_grid->setFocus(Qt::OtherFocusReason);
        });
    }

    for (QScrollBar *bar : {m_grid->verticalScrollBar(), m_grid->horizontalScrollBar()}) {
        // Only the operator's own scrolling (wheel, scroll bar) closes the
        // editors; scrolling that follows the current cell or a resize moves
        // them with their cell instead.
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar] {
            if (bar->sliderPosition() != bar->value())
                operatorScrolled();
        });
        connect(bar, &QAbstractSlider::valueChanged, this, &GridEditor::realign);
    }
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, &GridEditor::realign);
    connect(m_grid->verticalHeader(), &QHeaderView::sectionResized, this, &GridEditor::realign);

    ensureCurrentCell();
}

// --- the current cell -------------------------------------------------------

QModelIndex GridEditor::currentCell() const
{
    return m_grid->currentIndex();
}

int GridEditor::currentRow() const
{
    const QModelIndex cell = currentCell();
    return cell.isValid() ? ScreenListModel::listRow(cell.row()) : 1;
}

int GridEditor::currentColumn() const
{
    const QModelIndex cell = currentCell();
    return cell.isValid() ? cell.column() : int(PictureColumn);
}

// The grid always has a current cell, the one the menu commands act on: the
// first screen's picture until the operator picks another. When the list is
// reloaded (a save, a new or opened file) the current cell stays where it was.
void GridEditor::ensureCurrentCell()
{
    if (currentCell().isValid() || m_model.rowCount() == 0)
        return;
    const int row =
        std::clamp(ScreenListModel::gridRow(m_cellBeforeReset.first), 0, m_model.rowCount() - 1);
    m_grid->setCurrentIndex(m_model.index(row, m_cellBeforeReset.second));
}

void GridEditor::setCurrentRow(int listRow)
{
    m_grid->setCurrentIndex(m_model.index(ScreenListModel::gridRow(listRow), currentColumn()));
}

bool GridEditor::isTextEditorOpen() const
{
    return !m_textEditor->isHidden();
}

// --- opening the editors ----------------------------------------------------

void GridEditor::cellClicked()
{
    openEditorForCurrentCell();
}

void GridEditor::openEditorForCurrentCell()
{
    const QModelIndex cell = currentCell();
    if (!cell.isValid())
        return;
    const QString text =
        m_model.screens().text(ScreenListModel::listRow(cell.row()), cell.column());
    switch (cell.column()) {
    case PictureColumn:
    case EntrySpeedColumn:
    case StayTimeColumn:
    case ExitSpeedColumn:
        placeOver(m_textEditor, cell, true);
        m_textEditor->show();
        m_textEditor->raise();
        sendListsBehind();
        openTextEditor(QString());
        m_textEditor->selectAll();
        break;
    case EntryEffectColumn:
        openList(m_entryEffectList, effectCode(m_vocabulary, text));
        break;
    case StayModeColumn:
        openList(m_stayModeList, stayModeCode(m_vocabulary, text));
        break;
    case ExitEffectColumn:
        openList(m_exitEffectList, effectCode(m_vocabulary, text));
        break;
    default:
        // The screen number and the display kind have no editor.
        break;
    }
}

void GridEditor::openTextEditor(const QString &typed)
{
    const QModelIndex cell = currentCell();
    if (!cell.isValid())
        return;
    if (!typed.isEmpty()) {
        m_textEditor->setText(typed);
        m_textEditor->setCursorPosition(int(typed.size()));
    } else {
        const QString text =
            m_model.screens().text(ScreenListModel::listRow(cell.row()), cell.column());
        m_textEditor->setText(text);
        m_textEditor->setCursorPosition(std::min(100, int(text.size())));
    }
    placeOver(m_textEditor, cell, true);
    m_textEditor->show();
    m_textEditor->raise();
    m_textEditor->setEnabled(true);
    m_textEditor->setFocus(Qt::OtherFocusReason);
}

void GridEditor::openList(QComboBox *list, int code)
{
    const QModelIndex cell = currentCell();
    placeOver(list, cell, false);
    fitDropDownToNames(list);
    list->raise();
    sendListsBehind(list);
    // Selecting the cell's entry counts as choosing it: a name the list does
    // not offer (a spare effect) is rewritten as the one its code stands for.
    if (code >= 0 && code < list->count()) {
        {
            const QSignalBlocker quiet(list);
            list->setCurrentIndex(code);
        }
        chooseEntry(list, code);
    }
    list->show();
    list->setFocus(Qt::OtherFocusReason);
    m_textEditor->hide();
    m_textEditor->setEnabled(false);
}

void GridEditor::chooseEntry(QComboBox *list, int index)
{
    list->hide();
    const QModelIndex cell = currentCell();
    if (cell.isValid() && index >= 0)
        m_model.setCellText(ScreenListModel::listRow(cell.row()), cell.column(),
                            list->itemText(index));
}

// --- committing -------------------------------------------------------------

void GridEditor::commitInto(const QModelIndex &cell)
{
    if (cell.isValid()) {
        m_model.setCellText(ScreenListModel::listRow(cell.row()), cell.column(),
                            commitTextOnLeave(cell.column(), m_textEditor->text()));
    }
    m_textEditor->hide();
}

void GridEditor::gridGotFocus()
{
    if (isTextEditorOpen())
        commitInto(currentCell());
}

void GridEditor::currentCellChanged(const QModelIndex &, const QModelIndex &previous)
{
    if (isTextEditorOpen())
        commitInto(previous);
    // A list belongs to the cell it was opened over; left open it would write
    // its choice into whatever cell became current.
    sendListsBehind();
}

std::optional<OpenTextEditor> GridEditor::takeOpenTextEditor()
{
    if (!isTextEditorOpen())
        return std::nullopt;
    m_textEditor->hide();
    const QModelIndex cell = currentCell();
    if (!cell.isValid())
        return std::nullopt;
    return OpenTextEditor{ScreenListModel::listRow(cell.row()), cell.column(),
                          m_textEditor->text()};
}

void GridEditor::putIntoTextEditor(const QString &text)
{
    m_textEditor->setText(text);
    const QModelIndex cell = currentCell();
    if (cell.isValid())
        m_model.setCellText(ScreenListModel::listRow(cell.row()), cell.column(), text);
}

// --- keys -------------------------------------------------------------------

bool GridEditor::gridKeyPressed(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    const char16_t code = text.front().unicode();
    if (code <= 32) {
        openTextEditor(QString()); // a blank or control character keeps the cell text
        return true;
    }
    if (code == 127 || (!text.front().isPrint() && !text.front().isSurrogate()))
        return false;
    openTextEditor(text);
    return true;
}

// Chinese typed into the grid arrives from the input method, not as keys: it
// replaces the cell text in the editor like any printable character.
bool GridEditor::gridTextComposed(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty())
        return false;
    openTextEditor(event->commitString());
    return true;
}

bool GridEditor::textEditorKeyPressed(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        m_textEditor->hide();
        m_grid->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Down:
        focusGridCommitting();
        if (currentRow() < m_model.screens().rowCount() - 1)
            setCurrentRow(currentRow() + 1);
        return true;
    case Qt::Key_Up:
        focusGridCommitting();
        if (currentRow() > 1)
            setCurrentRow(currentRow() - 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enterPressed();
        return true; // the key itself is never typed
    default:
        return false;
    }
}

void GridEditor::focusGridCommitting()
{
    m_grid->setFocus(Qt::OtherFocusReason);
    // The grid commits when it takes the focus; an inactive window gets no
    // focus event, so commit here all the same.
    gridGotFocus();
}

void GridEditor::enterPressed()
{
    const QModelIndex cell = currentCell();
    const int row = currentRow();
    if (!cell.isValid() || row >= kEnterRowLimit)
        return;
    if (const auto text = commitTextOnEnter(cell.column(), m_textEditor->text()))
        m_model.setCellText(row, cell.column(), *text);
    // After deletions there may be no row below: the editor then stays.
    if (row + 1 >= m_model.screens().rowCount())
        return;
    // Leaving the cell commits the still open editor into it.
    setCurrentRow(row + 1);
    openEditorForCurrentCell();
}

// --- scrolling, resizing and the list being replaced ------------------------

void GridEditor::operatorScrolled()
{
    m_textEditor->hide();
    sendListsBehind();
}

void GridEditor::listReset()
{
    // A new list replaces the one being edited: nothing is committed into it.
    // The current cell comes first: the grid, taking the focus from the hidden
    // editor, would otherwise pick the number column.
    ensureCurrentCell();
    m_textEditor->hide();
    sendListsBehind();
}

// Sending a list behind the grid hides it from the operator; it is hidden
// outright so that it cannot keep the keyboard focus unseen.
void GridEditor::sendListsBehind(QComboBox *except)
{
    for (QComboBox *list :
         {m_entryEffectList, m_stayModeList, m_exitEffectList, m_displayKindList}) {
        if (list == except)
            continue;
        list->lower();
        list->hide();
    }
}

// The editors lie over the grid in their parent widget's coordinates, so the
// header above the cells is accounted for wherever the grid sits.
void GridEditor::placeOver(QWidget *editor, const QModelIndex &cell, bool takeCellHeight)
{
    if (!cell.isValid())
        return;
    const QRect rect = m_grid->visualRect(cell);
    QWidget *parent = editor->parentWidget();
    const QPoint topLeft = parent->mapFromGlobal(m_grid->viewport()->mapToGlobal(rect.topLeft()));
    const int height = takeCellHeight ? rect.height() : editor->sizeHint().height();
    editor->setGeometry(topLeft.x(), topLeft.y(), rect.width(), height);
    m_editedCell = cell;
}

void GridEditor::scheduleRealign()
{
    // The grid lays out its scroll bars after its own resize event: follow
    // the cell once that is done.
    if (m_realignPending)
        return;
    m_realignPending = true;
    QTimer::singleShot(0, this, [this] {
        m_realignPending = false;
        if (m_editedCell.isValid() &&
            (isTextEditorOpen() || m_entryEffectList->isVisible() || m_stayModeList->isVisible() ||
             m_exitEffectList->isVisible()))
            m_grid->scrollTo(m_editedCell);
        realign();
    });
}

void GridEditor::realign()
{
    if (!m_editedCell.isValid())
        return;
    if (isTextEditorOpen())
        placeOver(m_textEditor, m_editedCell, true);
    for (QComboBox *list : {m_entryEffectList, m_stayModeList, m_exitEffectList}) {
        if (!list->isHidden())
            placeOver(list, m_editedCell, false);
    }
}

// --- menu commands ----------------------------------------------------------

void GridEditor::insertScreen()
{
    const int row = currentRow();
    const int column = currentColumn();
    sendListsBehind();
    m_textEditor->hide();
    m_model.insertListRow(row, insertedScreenRow(row));
    m_grid->setCurrentIndex(m_model.index(ScreenListModel::gridRow(row), column));
}

void GridEditor::deleteScreen()
{
    // Named, so that the operator sees which row a right click made current.
    const common::Message question{
        deleteQuestion(m_model.screens().text(currentRow(), NumberColumn)), QStringLiteral("删除"),
        common::MessageIcon::Question, common::MessageButtons::OkCancel};
    if (m_prompter.show(question) != common::MessageAnswer::Ok)
        return;
    m_textEditor->hide();
    sendListsBehind();
    // The last screen row stays: the grid never loses all its screens.
    if (m_model.screens().rowCount() <= 2)
        return;
    m_model.removeListRow(currentRow());
    ensureCurrentCell();
}

// --- events -----------------------------------------------------------------

bool GridEditor::eventFilter(QObject *watched, QEvent *event)
{
    // A filter sees the events of a disabled grid too (during a transfer);
    // nothing in the grid may change then.
    if (!m_grid->isEnabled() && event->isInputEvent())
        return false;
    if (watched == m_grid) {
        if (event->type() == QEvent::FocusIn)
            gridGotFocus();
        else if (event->type() == QEvent::KeyPress)
            return gridKeyPressed(static_cast<QKeyEvent *>(event));
        else if (event->type() == QEvent::InputMethod)
            return gridTextComposed(static_cast<QInputMethodEvent *>(event));
        else if (event->type() == QEvent::Resize)
            scheduleRealign();
    } else if (watched == m_grid->viewport()) {
        if (event->type() == QEvent::MouseButtonPress && m_editMenu) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                // The menu acts on the cell under the mouse, as after a click there.
                const QModelIndex clicked = m_grid->indexAt(mouse->position().toPoint());
                if (clicked.isValid())
                    m_grid->setCurrentIndex(clicked);
                m_editMenu->popup(mouse->globalPosition().toPoint());
                return true;
            }
        } else if (event->type() == QEvent::Resize) {
            scheduleRealign();
        }
    } else if (watched == m_textEditor) {
        if (event->type() == QEvent::KeyPress)
            return textEditorKeyPressed(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::MouseButtonDblClick)
            emit textEditorDoubleClicked();
        // The editor stands for its cell: it offers the grid's menu, not its own.
        if (event->type() == QEvent::ContextMenu && m_editMenu) {
            m_editMenu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pravik::editor
