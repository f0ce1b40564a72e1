#pragma once

#include "netkeel/module/module_log.h"
#include "netkeel/module/module_protocol.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace common {
class IpAddressEditor;
class Prompter;
} // namespace common

namespace netkeel {

class ModulePort;

// What the window takes from the computer it runs on, so that tests can open
// it with any address and a fake module.
struct SetupWindowEnvironment
{
    QString localIpAddress;
    common::Prompter *prompter = nullptr;
    ModulePort *port = nullptr;
    ModuleTiming timing;
};

// The setup tool's one window "size" ("设置工具"): a row per module setting
// with its button, the link list, and the log of the module's answers. It
// only wires the operator's actions to the module commands.
class SetupWindow : public QWidget, private ModuleLog
{
    Q_OBJECT

public:
    explicit SetupWindow(const SetupWindowEnvironment &environment, QWidget *parent = nullptr);
    ~SetupWindow() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTitle();
    void buildLinkGroup();
    void buildSettingsGroup();
    void buildLog();
    void layOut();
    void connectActions();
    void loadDefaults(const QString &localIpAddress);

    LinkTarget link() const;
    void write(WriteSetting setting, const QString &value);
    void writeBaud();
    void readSettings();
    void showReading(const ModuleReading &reading);
    void linkLeft();

    // ModuleLog
    void append(const QString &text) override;

    ModuleProtocol m_protocol;

    QLabel *m_title = nullptr;   // Label16
    QLabel *m_version = nullptr; // Label18
    QGroupBox *m_linkGroup = nullptr;
    QComboBox *m_link = nullptr; // com_com
    QGroupBox *m_settingsGroup = nullptr;
    QLineEdit *m_mac = nullptr;    // macaddr
    QLabel *m_baudLabel = nullptr; // Label2
    QComboBox *m_baud = nullptr;   // com_baud
    QCheckBox *m_multiChannel = nullptr;
    common::IpAddressEditor *m_computerIp = nullptr; // IPADD
    common::IpAddressEditor *m_moduleIp = nullptr;   // mIPADD
    common::IpAddressEditor *m_replyIp = nullptr;    // RIPADD
    common::IpAddressEditor *m_gateway = nullptr;    // gIPADD
    common::IpAddressEditor *m_netMask = nullptr;    // sIPADD
    QLineEdit *m_modulePort = nullptr;               // portm
    QLineEdit *m_destPort = nullptr;                 // portl
    QPushButton *m_setMac = nullptr;
    QPushButton *m_setBaud = nullptr;
    QPushButton *m_setModuleIp = nullptr;
    QPushButton *m_setReplyIp = nullptr;
    QPushButton *m_setGateway = nullptr;
    QPushButton *m_setNetMask = nullptr;
    QPushButton *m_setPort = nullptr;
    QPushButton *m_read = nullptr;
    QPushButton *m_store = nullptr;
    QPlainTextEdit *m_log = nullptr; // Text1
};

} // namespace netkeel
