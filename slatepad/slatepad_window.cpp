#include "slatepad_window.h"

#include "board_picture.h"
#include "document_files.h"
#include "led_preview.h"
#include "screen_fit.h"

#include "pravik/picture/text_rendering.h"

#include "common/prompter.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace slatepad {
namespace {

using pravik::picture::boardFont;
using pravik::picture::kDefaultTextColour;
using pravik::picture::plainTextPixelSize;
using pravik::picture::setDefaultTabStops;

const QString kTitle = QStringLiteral("Slatepad");
// Room for the title bar and borders the window system adds; the real frame
// is known only once the window is shown.
const QMargins kWindowFrame(8, 40, 8, 8);

// The colours a three-colour board lights.
struct BoardColour
{
    const char *name;
    const char *caption;
    QRgb rgb;
};
constexpr BoardColour kBoardColours[] = {
    {"red", "红色/Red", 0xFFFF0000},
    {"green", "绿色/Green", 0xFF00FF00},
    {"yellow", "黄色/Yellow", 0xFFFFFF00},
};

// Sizes in LEDs: a 12 to 16 LED line is what the board font draws crisply.
constexpr int kPixelSizes[] = {8, 10, 12, 14, 16, 20, 24, 32, 40, 48, 64};

QIcon colourIcon(QRgb rgb)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.fillRect(2, 2, 12, 12, QColor(rgb));
    return QIcon(pixmap);
}

int pixelSizeOf(const QTextCharFormat &format, const QFont &fallback)
{
    if (format.hasProperty(QTextFormat::FontPixelSize))
        return format.intProperty(QTextFormat::FontPixelSize);
    return fallback.pixelSize();
}

} // namespace

SlatepadWindow::SlatepadWindow(QSize board, common::Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_board(board), m_prompter(prompter)
{
    setObjectName(QStringLiteral("slatepad"));
    buildEditor();
    buildMenusAndToolbar();
    m_sizeLabel = new QLabel(
        QStringLiteral("显示屏 %1 × %2").arg(m_board.width()).arg(m_board.height()), this);
    statusBar()->addWidget(m_sizeLabel);
    showFormat(m_editor->currentCharFormat());
    updateTitle();
    refreshPreview();
    // Wide enough for the whole toolbar, and for the board at a few pixels per
    // LED, as far as the screen it opens on has room; the rest scrolls.
    const QSize wanted(
        std::max(1040, m_preview->sizeHint().width() + 40),
        std::clamp(m_preview->sizeHint().height() + m_editor->height() + 220, 420, 760));
    setGeometry(fitOnScreen(wanted, screen()->availableGeometry(), kWindowFrame));
}

SlatepadWindow::~SlatepadWindow() = default;

void SlatepadWindow::buildEditor()
{
    // A board wider or higher than the screen scrolls, page and board together.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *central = new QWidget(scroll);
    auto *layout = new QVBoxLayout(central);

    // The page is the board at its own size: lines wrap at the board's width,
    // on black, in the board font with yellow as the colour of plain text.
    m_editor = new QTextEdit(central);
    m_editor->setObjectName(QStringLiteral("page"));
    m_editor->setAcceptRichText(false);
    m_editor->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_editor->setLineWrapColumnOrWidth(m_board.width());
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, kDefaultTextColour);
    m_editor->setPalette(palette);
    QTextDocument *document = m_editor->document();
    document->setDocumentMargin(0);
    document->setDefaultFont(boardFont(plainTextPixelSize(m_board.height())));
    // Tabs land where the board will put them once the text is saved.
    setDefaultTabStops(*document);
    // The toolkit records the margin as an edit of the text: the new page
    // would count as changed, closing it would ask about changes nobody
    // made, and Undo would take the margin back. The page starts unchanged.
    document->clearUndoRedoStacks();
    document->setModified(false);
    const int frame = 2 * m_editor->frameWidth();
    m_editor->setFixedSize(m_board.width() + frame +
                               m_editor->verticalScrollBar()->sizeHint().width(),
                           m_board.height() + frame);

    auto *pageRow = new QHBoxLayout;
    pageRow->addStretch();
    pageRow->addWidget(m_editor);
    pageRow->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("页面/Page"), central));
    layout->addLayout(pageRow);

    m_preview = new LedPreview(central);
    m_preview->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(new QLabel(QStringLiteral("显示屏/Board"), central));
    layout->addWidget(m_preview, 1);
    scroll->setWidget(central);
    setCentralWidget(scroll);

    // The board is redrawn once typing pauses.
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(80);
    connect(m_previewTimer, &QTimer::timeout, this, &SlatepadWindow::refreshPreview);
    connect(document, &QTextDocument::contentsChanged, m_previewTimer, qOverload<>(&QTimer::start));
    connect(m_editor, &QTextEdit::currentCharFormatChanged, this, &SlatepadWindow::showFormat);
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &SlatepadWindow::showAlignment);
    connect(document, &QTextDocument::modificationChanged, this, &QWidget::setWindowModified);
}

void SlatepadWindow::buildMenusAndToolbar()
{
    QToolBar *toolbar = addToolBar(QStringLiteral("Toolbar"));
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(false);
    const auto makeAction = [this](const char *name, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("文件/File"));
    QAction *newAction = makeAction("new", QStringLiteral("新建/New"));
    newAction->setShortcut(QKeySequence::New);
    connect(newAction, &QAction::triggered, this, &SlatepadWindow::newDocument);
    QAction *openAction = makeAction("open", QStringLiteral("打开/Open"));
    openAction->setShortcut(QKeySequence::Open);
    connect(openAction, &QAction::triggered, this, &SlatepadWindow::openWithDialog);
    QAction *saveAction = makeAction("save", QStringLiteral("保存/Save"));
    saveAction->setShortcut(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, &SlatepadWindow::save);
    QAction *saveAsAction = makeAction("saveAs", QStringLiteral("另存/Save As"));
    saveAsAction->setShortcut(QKeySequence::SaveAs);
    connect(saveAsAction, &QAction::triggered, this, &SlatepadWindow::saveAs);
    QAction *exitAction = makeAction("exit", QStringLiteral("退出/Exit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    file->addActions({newAction, openAction, saveAction, saveAsAction});
    file->addSeparator();
    file->addAction(exitAction);
    toolbar->addActions({newAction, openAction, saveAction});
    toolbar->addSeparator();

    QMenu *format = menuBar()->addMenu(QStringLiteral("格式/Format"));
    for (const BoardColour &colour : kBoardColours) {
        QAction *action = makeAction(colour.name, QString::fromUtf8(colour.caption));
        action->setIcon(colourIcon(colour.rgb));
        const QColor value(colour.rgb);
        connect(action, &QAction::triggered, this, [this, value] { setTextColour(value); });
        format->addAction(action);
        toolbar->addAction(action);
    }
    format->addSeparator();
    toolbar->addSeparator();

    m_fontBox = new QFontComboBox(toolbar);
    m_fontBox->setObjectName(QStringLiteral("font"));
    connect(m_fontBox, &QFontComboBox::currentFontChanged, this,
            [this](const QFont &font) { setFontFamily(font.family()); });
    toolbar->addWidget(m_fontBox);

    m_sizeBox = new QComboBox(toolbar);
    m_sizeBox->setObjectName(QStringLiteral("size"));
    m_sizeBox->setToolTip(QStringLiteral("字高(点)/Height in LEDs"));
    QList<int> sizes(std::begin(kPixelSizes), std::end(kPixelSizes));
    const int plainSize = plainTextPixelSize(m_board.height());
    for (int extra : {plainSize, m_board.height()}) {
        if (!sizes.contains(extra) && extra > 0 && extra <= 512)
            sizes.append(extra);
    }
    std::sort(sizes.begin(), sizes.end());
    for (int size : sizes)
        m_sizeBox->addItem(QString::number(size), size);
    connect(m_sizeBox, &QComboBox::activated, this,
            [this](int index) { setPixelSize(m_sizeBox->itemData(index).toInt()); });
    toolbar->addWidget(m_sizeBox);

    m_boldAction = makeAction("bold", QStringLiteral("粗体/Bold"));
    m_boldAction->setCheckable(true);
    m_boldAction->setShortcut(QKeySequence::Bold);
    QFont boldFont = m_boldAction->font();
    boldFont.setBold(true);
    m_boldAction->setFont(boldFont);
    connect(m_boldAction, &QAction::triggered, this, &SlatepadWindow::setBold);
    format->addAction(m_boldAction);
    toolbar->addAction(m_boldAction);
    format->addSeparator();
    toolbar->addSeparator();

    m_alignGroup = new QActionGroup(this);
    const struct
    {
        const char *name;
        const char *caption;
        Qt::Alignment alignment;
    } alignments[] = {
        {"alignLeft", "左对齐/Left", Qt::AlignLeft},
        {"alignCentre", "居中/Centre", Qt::AlignHCenter},
        {"alignRight", "右对齐/Right", Qt::AlignRight},
    };
    for (const auto &choice : alignments) {
        QAction *action = makeAction(choice.name, QString::fromUtf8(choice.caption));
        action->setCheckable(true);
        action->setData(int(choice.alignment));
        m_alignGroup->addAction(action);
        const Qt::Alignment alignment = choice.alignment;
        connect(action, &QAction::triggered, this, [this, alignment] { setAlignment(alignment); });
        format->addAction(action);
        toolbar->addAction(action);
    }
}

// --- formats ----------------------------------------------------------------

void SlatepadWindow::mergeFormat(const QTextCharFormat &format)
{
    QTextCharFormat crisp = format;
    crisp.setFontStyleStrategy(QFont::NoAntialias);
    m_editor->mergeCurrentCharFormat(crisp);
    m_editor->setFocus();
}

void SlatepadWindow::setTextColour(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    mergeFormat(format);
}

void SlatepadWindow::setFontFamily(const QString &family)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    mergeFormat(format);
}

void SlatepadWindow::setPixelSize(int pixels)
{
    QTextCharFormat format;
    format.setProperty(QTextFormat::FontPixelSize, pixels);
    mergeFormat(format);
}

void SlatepadWindow::setBold(bool bold)
{
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    mergeFormat(format);
}

void SlatepadWindow::setAlignment(Qt::Alignment alignment)
{
    m_editor->setAlignment(alignment);
    showAlignment();
}

// The toolbar shows the format at the cursor; showing it applies nothing.
void SlatepadWindow::showFormat(const QTextCharFormat &format)
{
    const QFont fallback = m_editor->document()->defaultFont();
    const QStringList families = format.fontFamilies().toStringList();
    {
        const QSignalBlocker quiet(m_fontBox);
        m_fontBox->setCurrentFont(QFont(families.isEmpty() ? fallback.family() : families.first()));
    }
    const int index = m_sizeBox->findData(pixelSizeOf(format, fallback));
    m_sizeBox->setCurrentIndex(index);
    m_boldAction->setChecked(format.fontWeight() >= QFont::DemiBold);
}

void SlatepadWindow::showAlignment()
{
    const Qt::Alignment alignment = m_editor->alignment() & Qt::AlignHorizontal_Mask;
    for (QAction *action : m_alignGroup->actions()) {
        const auto choice = Qt::Alignment(action->data().toInt());
        action->setChecked(
            choice == alignment ||
            (choice == Qt::AlignLeft && !(alignment & (Qt::AlignHCenter | Qt::AlignRight))));
    }
}

void SlatepadWindow::refreshPreview()
{
    m_previewTimer->stop();
    m_preview->setLeds(boardPicture(*m_editor->document(), m_board, isPlainTextFile(m_fileName)));
}

// --- files ------------------------------------------------------------------

void SlatepadWindow::updateTitle()
{
    const QString name =
        m_fileName.isEmpty() ? QStringLiteral("未命名") : QFileInfo(m_fileName).fileName();
    setWindowTitle(QStringLiteral("%1[*] - %2 (%3 × %4)")
                       .arg(name, kTitle)
                       .arg(m_board.width())
                       .arg(m_board.height()));
}

QString SlatepadWindow::dialogFolder() const
{
    if (!m_fileName.isEmpty())
        return QFileInfo(m_fileName).absolutePath();
    return QCoreApplication::applicationDirPath();
}

bool SlatepadWindow::mayDiscardChanges()
{
    if (!m_editor->document()->isModified())
        return true;
    const common::Message question{QStringLiteral("文本尚未保存，放弃所做的修改吗?"), kTitle,
                                   common::MessageIcon::Question, common::MessageButtons::OkCancel};
    return m_prompter.show(question) == common::MessageAnswer::Ok;
}

void SlatepadWindow::newDocument()
{
    if (!mayDiscardChanges())
        return;
    m_editor->clear();
    m_editor->setCurrentCharFormat(QTextCharFormat());
    setDefaultTabStops(*m_editor->document());
    m_editor->document()->setModified(false);
    m_fileName.clear();
    updateTitle();
    refreshPreview();
}

void SlatepadWindow::openWithDialog()
{
    if (!mayDiscardChanges())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("打开/Open"), dialogFolder(),
        QStringLiteral("RTF 文件(*.rtf);;文本文件(*.txt);;所有文件(*)"));
    if (!path.isEmpty())
        openFile(path);
}

bool SlatepadWindow::openFile(const QString &path)
{
    // Read once aside, so that a file that is no RTF leaves the page as it was.
    QTextDocument check;
    if (const common::Status failed = loadDocumentFile(path, check)) {
        m_prompter.tell(QStringLiteral("无法打开文件 ") + path + QLatin1Char('\n') + failed->text,
                        kTitle, common::MessageIcon::Error);
        return false;
    }
    QTextDocument *document = m_editor->document();
    // Read once more, now onto the page; it read a moment ago.
    (void)loadDocumentFile(path, *document);
    document->setDocumentMargin(0);
    document->setModified(false);
    m_fileName = path;
    updateTitle();
    refreshPreview();
    return true;
}

bool SlatepadWindow::save()
{
    if (m_fileName.isEmpty())
        return saveAs();
    return saveToFile(m_fileName);
}

bool SlatepadWindow::saveAs()
{
    QString filter;
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("另存/Save As"), dialogFolder(),
                                     QStringLiteral("RTF 文件(*.rtf);;文本文件(*.txt)"), &filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path +=
            filter.contains(QLatin1String("txt")) ? QStringLiteral(".txt") : QStringLiteral(".rtf");
    return saveToFile(path);
}

bool SlatepadWindow::saveToFile(const QString &path)
{
    if (const common::Status failed = saveDocumentFile(path, *m_editor->document())) {
        m_prompter.tell(QStringLiteral("无法保存文件 ") + path + QLatin1Char('\n') + failed->text,
                        kTitle, common::MessageIcon::Error);
        return false;
    }
    m_fileName = path;
    m_editor->document()->setModified(false);
    updateTitle();
    refreshPreview();
    return true;
}

void SlatepadWindow::closeEvent(QCloseEvent *event)
{
    if (mayDiscardChanges())
        event->accept();
    else
        event->ignore();
}

} // namespace slatepad
