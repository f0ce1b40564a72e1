#pragma once

#include "pravik/jobs/job_view.h"

class QTextStream;

namespace pravik::cli {

// Shows a transfer on the terminal: one line per screen as it goes out, only
// when standard error is a terminal (scripts read the messages alone).
class TerminalJobView : public jobs::JobView
{
public:
    TerminalJobView(QTextStream &err, bool interactive) : m_err(err), m_interactive(interactive) {}

    void beginTransfer(int) override {}
    void showScreen(int row, const QString &caption, const picture::BoardCanvas &canvas) override;
    void setProgress(int) override {}
    void endTransfer(bool) override {}

private:
    QTextStream &m_err;
    bool m_interactive;
};

} // namespace pravik::cli
