#pragma once

#include "settings_form.h"

#include "pravik/link/board_commands.h"

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

namespace pravik::document {
struct BoardSettings;
}

namespace pravik::settings {

class ClockGroup;
class SerialPortLister;

// The board settings dialog "size" (显示屏设置): the operator edits the
// BoardSettings it is given, and, once the link has been opened, asks for the
// board's clock and display range to be set. Fields are read from the
// settings when the dialog is created; values are stored only by Apply and OK.
// A fully accepted Apply says so (settingsApplied): the window lays the canvas
// out again and reopens the link, and the board's groups show. The window
// sends what the dialog asks for. The dialog is modeless and deletes itself
// when closed.
class BoardSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // `linkOpened`: the board can be talked to, so its groups show at once.
    BoardSettingsDialog(document::BoardSettings &settings, bool linkOpened,
                        common::Prompter &prompter, SerialPortLister &ports,
                        QWidget *parent = nullptr);
    ~BoardSettingsDialog() override;

    // Shows the dialog held in `dialog`, creating it first when there is none
    // (it was never opened or has been closed); an open dialog is only brought
    // forward, keeping what the operator has typed.
    static BoardSettingsDialog *showOrRaise(QPointer<BoardSettingsDialog> &dialog,
                                            const std::function<BoardSettingsDialog *()> &create);

    // "应用": checks and stores the fields; true when every value was stored.
    bool apply();
    // Whether the last Apply stored every value.
    bool applyAccepted() const { return m_applyAccepted; }

    // The buttons that talk to the board or store the settings: they wait
    // while a transfer runs, when Cancel still closes the dialog.
    QList<QWidget *> boardCommands() const;

signals:
    // Apply stored every value: the canvas follows them and the link reopens.
    void settingsApplied();
    // "设置" in the clock group: the board's clock from these fields.
    void clockRequested(const link::ClockFields &fields);
    // "发送" in the range group: `count` screens from `start`, as typed.
    void displayRangeRequested(const QString &start, const QString &count);

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

    document::BoardSettings &m_settings;
    const bool m_linkOpened;
    common::Prompter &m_prompter;
    bool m_applyAccepted = false;

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
