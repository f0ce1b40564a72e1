#pragma once

#include <QMainWindow>
#include <QSize>
#include <QTextCharFormat>

class QAction;
class QActionGroup;
class QComboBox;
class QFontComboBox;
class QLabel;
class QTextEdit;
class QTimer;

namespace common {
class Prompter;
}

namespace slatepad {

class LedPreview;

// The editor's window: a page of the board's width with a black background
// for writing, and below it the board enlarged, one square per LED, showing
// what the board will show once the text is saved. The toolbar offers only
// what a board can show: red, green and yellow, fonts and their sizes in
// LEDs, bold and the alignment of each line. The window opens within its
// screen; the board shrinks to fit, down to one pixel per LED, and what is
// still too large scrolls.
class SlatepadWindow : public QMainWindow
{
    Q_OBJECT
public:
    SlatepadWindow(QSize board, common::Prompter &prompter, QWidget *parent = nullptr);
    ~SlatepadWindow() override;

    QSize boardSize() const { return m_board; }
    QTextEdit *editor() const { return m_editor; }
    LedPreview *preview() const { return m_preview; }
    const QString &fileName() const { return m_fileName; }

    // Opening and saving a named file; a failure is told to the operator.
    bool openFile(const QString &path);
    bool saveToFile(const QString &path);

    // The formats the toolbar applies to the selection, or to what is typed
    // next when nothing is selected.
    void setTextColour(const QColor &colour);
    void setFontFamily(const QString &family);
    void setPixelSize(int pixels);
    void setBold(bool bold);
    void setAlignment(Qt::Alignment alignment);

    // Redraws the board now rather than once typing pauses.
    void refreshPreview();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildEditor();
    void buildMenusAndToolbar();
    void newDocument();
    void openWithDialog();
    bool save();
    bool saveAs();
    bool mayDiscardChanges();
    void mergeFormat(const QTextCharFormat &format);
    void showFormat(const QTextCharFormat &format);
    void showAlignment();
    void updateTitle();
    QString dialogFolder() const;

    QSize m_board;
    common::Prompter &m_prompter;
    QString m_fileName;

    QTextEdit *m_editor = nullptr;
    LedPreview *m_preview = nullptr;
    QTimer *m_previewTimer = nullptr;
    QFontComboBox *m_fontBox = nullptr;
    QComboBox *m_sizeBox = nullptr;
    QAction *m_boldAction = nullptr;
    QActionGroup *m_alignGroup = nullptr;
    QLabel *m_sizeLabel = nullptr;
};

} // namespace slatepad
