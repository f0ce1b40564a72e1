#pragma once

#include <QObject>
#include <QPersistentModelIndex>
#include <QString>
#include <optional>
#include <utility>

class QComboBox;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QTableView;

namespace common {
class Prompter;
}

namespace pravik::document {
struct Vocabulary;
}

namespace pravik::editor {

class ScreenListModel;

// The widgets of the main window that edit the screen list. The editors are
// free children of a widget that also holds the grid, not cells of the grid.
struct GridEditorWidgets
{
    QTableView *grid = nullptr;            // Grid1
    QLineEdit *textEditor = nullptr;       // txtedit: picture file, speeds, stay time
    QComboBox *entryEffectList = nullptr;  // Comin
    QComboBox *stayModeList = nullptr;     // Comdisp
    QComboBox *exitEffectList = nullptr;   // Comout
    QComboBox *displayKindList = nullptr;  // Comexp: filled, never placed over a cell
};

// The text editor as it was when it was taken away, for Save to commit with
// its own rule. Rows are rows of the screen list (1 is the first screen).
struct OpenTextEditor
{
    int listRow = 0;
    int column = 0;
    QString text;
};

// Edits the screen list in the grid: a click on a cell places the text editor
// or a drop-down list exactly over it, and the value goes back into the cell
// when the editor is left. The cell texts live in the model only; the grid and
// the editors are views of it.
class GridEditor : public QObject
{
    Q_OBJECT
public:
    // The Edit menu is shown as the grid's context menu on the right button.
    GridEditor(const GridEditorWidgets &widgets, ScreenListModel &model,
               const document::Vocabulary &vocabulary, QMenu *editMenu,
               common::Prompter &prompter, QObject *parent = nullptr);

    // Hides the text editor and hands over what it held, if it was open; Save
    // commits that with its own rule.
    std::optional<OpenTextEditor> takeOpenTextEditor();

    bool isTextEditorOpen() const;
    // The grid's current cell: a row of the screen list and a column.
    int currentRow() const;
    int currentColumn() const;

    // The text editor and the current cell both take this text; the editor
    // stays open (a picture file was chosen for the cell).
    void putIntoTextEditor(const QString &text);

public slots:
    // mnueditins "插入/Insert Pic": a new screen row before the current one.
    void insertScreen();
    // mnueditdel "删除/Delete Pic": asks, then removes the current screen row.
    void deleteScreen();

signals:
    // txtedit_DblClick: a double click in the text editor.
    void textEditorDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QModelIndex currentCell() const;
    void ensureCurrentCell();
    void setCurrentRow(int listRow);

    // Grid1_Click and the editor it opens for the current cell.
    void cellClicked();
    void openEditorForCurrentCell();
    // mshflexgridedit: opens the text editor over the current cell, with the
    // typed text or, when nothing printable was typed, the cell's own text.
    void openTextEditor(const QString &typed);
    void openList(QComboBox *list, int code);
    void chooseEntry(QComboBox *list, int index);

    // The commit of the text editor into a cell (grid1_gotfocus, grid1_leavecell).
    void commitInto(const QModelIndex &cell);
    void gridGotFocus();
    void currentCellChanged(const QModelIndex &current, const QModelIndex &previous);

    bool gridKeyPressed(QKeyEvent *event);
    bool gridTextComposed(QInputMethodEvent *event);
    bool textEditorKeyPressed(QKeyEvent *event); // editkeycode and Enter
    void enterPressed();
    void focusGridCommitting();

    void operatorScrolled(); // Grid1_Scroll
    void listReset();
    void sendListsBehind(QComboBox *except = nullptr);
    void placeOver(QWidget *editor, const QModelIndex &cell, bool takeCellHeight);
    void scheduleRealign();
    void realign();

    QTableView *m_grid;
    QLineEdit *m_textEditor;
    QComboBox *m_entryEffectList;
    QComboBox *m_stayModeList;
    QComboBox *m_exitEffectList;
    QComboBox *m_displayKindList;
    ScreenListModel &m_model;
    const document::Vocabulary &m_vocabulary;
    QMenu *m_editMenu;
    common::Prompter &m_prompter;

    // The cell the open editor was placed over, followed through scrolling
    // and resizing.
    QPersistentModelIndex m_editedCell;
    bool m_realignPending = false;
    // The current cell (list row, column) before the list was reloaded.
    std::pair<int, int> m_cellBeforeReset{1, 1};
};

} // namespace pravik::editor
