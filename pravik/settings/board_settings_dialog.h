#pragma once

#include "settings_form.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace common {
class IpAddressEditor;
class Prompter;
} // namespace common

namespace pravik::app {
struct AppState;
}

namespace pravik::link {
class BoardLink;
}

namespace pravik::settings {

class ClockGroup;
class SerialPortLister;

// The board settings dialog "size" (显示屏设置): the operator edits the
// BoardSettings of the open display file, and, once the link has been opened,
// sets the board's clock and display range from here. Fields are read from the
// settings when the dialog is created; values are stored only by Apply and OK.
// A fully accepted Apply lays the canvas out again (the callback given) and
// reopens the link. The dialog is modeless and deletes itself when closed.
class BoardSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    BoardSettingsDialog(app::AppState &state, link::BoardLink &link, common::Prompter &prompter,
                        SerialPortLister &ports, std::function<void()> layoutCanvas,
                        QWidget *parent = nullptr);
    ~BoardSettingsDialog() override;

    // Shows the dialog held in `dialog`, creating it first when there is none
    // (it was never opened or has been closed); an open dialog is only brought
    // forward, keeping what the operator has typed.
    static BoardSettingsDialog *showOrRaise(QPointer<BoardSettingsDialog> &dialog,
                                            const std::function<BoardSettingsDialog *()> &create);

    // "应用": checks and stores the fields; true when every value was stored
    // and the link reopened.
    bool apply();

    // The buttons that talk to the board or store the settings: they wait
    // while a transfer runs, when Cancel still closes the dialog.
    QList<QWidget *> boardCommands() const;

signals:
    // Apply stored every value, laid the canvas out and reopened the link.
    void settingsApplied();

private:
    void buildFields();
    void buildLayout();
    void load(SerialPortLister &ports);
    void fillLinkList(SerialPortLister &ports);
    void showLinkFields();
    void showBoardGroups();
    void correctOnLeaving(QLineEdit *field, CorrectedField rule);
    SettingsForm form() const;
    QWidget *fieldFor(FormField field) const;
    void acceptAndClose();
    void sendClock();
    void sendDisplayRange();

    app::AppState &m_state;
    link::BoardLink &m_link;
    common::Prompter &m_prompter;
    std::function<void()> m_layoutCanvas;

    QComboBox *m_linkList = nullptr;                // com_com
    QLabel *m_baudLabel = nullptr;                  // Label2: "波特率:" or "端口号:"
    QComboBox *m_baudList = nullptr;                // com_baud
    QLineEdit *m_ipPort = nullptr;                  // txt_port
    common::IpAddressEditor *m_ipAddress = nullptr; // IPADD
    QLineEdit *m_address = nullptr;                 // txt_head
    QLineEdit *m_width = nullptr;                   // sizew
    QLineEdit *m_height = nullptr;                  // sizeh
    QGroupBox *m_typeGroup = nullptr;               // Frame1
    QRadioButton *m_singleColour = nullptr;
    QRadioButton *m_threeColour = nullptr;
    QRadioButton *m_multiColour = nullptr;
    QCheckBox *m_feedback = nullptr;    // Check1
    QGroupBox *m_rangeGroup = nullptr;  // Frame2
    QLineEdit *m_firstScreen = nullptr; // Txt_start
    QLineEdit *m_screenCount = nullptr; // Txt_end
    QPushButton *m_sendRange = nullptr; // sendcommand
    ClockGroup *m_clockGroup = nullptr; // Frame4
    QPushButton *m_apply = nullptr;     // size_app
    QPushButton *m_ok = nullptr;        // sizeok
    QPushButton *m_cancel = nullptr;    // sizedel
};

} // namespace pravik::settings
