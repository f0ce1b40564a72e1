#include "terminal_job_view.h"

#include "pravik/picture/board_canvas.h"

#include <QTextStream>

namespace pravik::cli {

void TerminalJobView::showScreen(int row, const QString &caption,
                                 const picture::BoardCanvas &canvas)
{
    if (!m_interactive)
        return;
    m_err << "screen " << row - 1 << " (" << canvas.width() << " x " << canvas.height()
          << "): " << caption.simplified() << Qt::endl;
}

} // namespace pravik::cli
