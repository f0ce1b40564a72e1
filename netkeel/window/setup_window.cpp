#include "setup_window.h"

#include "version_text.h"

#include "netkeel/module/module_commands.h"

#include "common/ip_address_editor.h"
#include "common/numbers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <type_traits>

namespace netkeel {
namespace {

const QString kEtherNet = QStringLiteral("EtherNet");
const QString kBaudLabel = QStringLiteral("波特率:");
const QString kPortNumberLabel = QStringLiteral("端口号:");

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit *makeTextBox(const QString &text, const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// The numeric value of a box as decimal text, without the sign position's blank.
QString decimalText(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

SetupWindow::SetupWindow(const SetupWindowEnvironment &environment, QWidget *parent)
    : QWidget(parent),
      m_protocol(*environment.port, *environment.prompter, *this, environment.timing)
{
    setObjectName(QStringLiteral("size"));
    setWindowTitle(QStringLiteral("设置工具"));
    buildTitle();
    buildLinkGroup();
    buildSettingsGroup();
    buildLog();
    layOut();
    connectActions();
    loadDefaults(environment.localIpAddress);
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::buildTitle()
{
    m_title = new QLabel(QStringLiteral("Netkeel 1.0"), this);
    m_title->setObjectName(QStringLiteral("Label16"));
    QFont font = m_title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    m_title->setFont(font);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("Label18"));
}

void SetupWindow::buildLinkGroup()
{
    m_linkGroup = new QGroupBox(this);
    m_linkGroup->setObjectName(QStringLiteral("Frame2"));
    m_link = new QComboBox(m_linkGroup);
    m_link->setObjectName(QStringLiteral("com_com"));
    m_link->setEditable(true);
    m_link->setInsertPolicy(QComboBox::NoInsert);
    auto *layout = new QHBoxLayout(m_linkGroup);
    layout->addWidget(new QLabel(QStringLiteral("通讯口:"), m_linkGroup));
    layout->addWidget(m_link, 1);
}

void SetupWindow::buildSettingsGroup()
{
    m_settingsGroup = new QGroupBox(this);
    m_settingsGroup->setObjectName(QStringLiteral("Frame3"));
    QWidget *g = m_settingsGroup;

    m_mac = makeTextBox(QStringLiteral("001122334455"), "macaddr", g);
    m_baudLabel = new QLabel(kBaudLabel, g);
    m_baudLabel->setObjectName(QStringLiteral("Label2"));
    m_baud = new QComboBox(g);
    m_baud->setObjectName(QStringLiteral("com_baud"));
    m_baud->setEditable(true);
    m_baud->setInsertPolicy(QComboBox::NoInsert);
    m_multiChannel = new QCheckBox(QStringLiteral("多通道模式"), g);
    m_multiChannel->setObjectName(QStringLiteral("Check1"));
    m_computerIp = new common::IpAddressEditor(QStringLiteral("IPADD"), g);
    m_computerIp->setEditable(false);
    m_moduleIp = new common::IpAddressEditor(QStringLiteral("mIPADD"), g);
    m_replyIp = new common::IpAddressEditor(QStringLiteral("RIPADD"), g);
    m_gateway = new common::IpAddressEditor(QStringLiteral("gIPADD"), g);
    m_netMask = new common::IpAddressEditor(QStringLiteral("sIPADD"), g);
    m_modulePort = makeTextBox(QString(), "portm", g);
    m_destPort = makeTextBox(QString(), "portl", g);
    m_destPort->setEnabled(false); // always the module port's text

    m_setMac = makeButton(QStringLiteral("设置MAC"), "settingmac", g);
    m_setBaud = makeButton(QStringLiteral("设置波特率"), "setbr", g);
    m_setModuleIp = makeButton(QStringLiteral("设置IP"), "setmip", g);
    m_setReplyIp = makeButton(QStringLiteral("设置应答IP"), "setrip", g);
    m_setGateway = makeButton(QStringLiteral("设置网关IP"), "setgip", g);
    m_setNetMask = makeButton(QStringLiteral("设置掩码"), "setmask", g);
    m_setPort = makeButton(QStringLiteral("设置端口"), "setport", g);
    m_read = makeButton(QStringLiteral("读取配置"), "readsetting", g);
    m_store = makeButton(QStringLiteral("存储"), "save", g);

    auto *ports = new QHBoxLayout;
    ports->setContentsMargins(0, 0, 0, 0);
    ports->addWidget(m_modulePort);
    ports->addWidget(m_destPort);

    auto *grid = new QGridLayout(g);
    int row = 0;
    const auto addRow = [&](QWidget *label, auto *field, QWidget *right) {
        grid->addWidget(label, row, 0);
        if constexpr (std::is_same_v<decltype(field), QHBoxLayout *>)
            grid->addLayout(field, row, 1);
        else
            grid->addWidget(field, row, 1);
        if (right)
            grid->addWidget(right, row, 2);
        ++row;
    };
    const auto label = [g](const char16_t *text) {
        return new QLabel(QString::fromUtf16(text), g);
    };
    addRow(label(u"MAC:"), m_mac, m_setMac);
    addRow(m_baudLabel, m_baud, m_setBaud);
    addRow(label(u"IP地址:"), m_computerIp, m_multiChannel);
    addRow(label(u"模块IP："), m_moduleIp, m_setModuleIp);
    addRow(label(u"回应IP:"), m_replyIp, m_setReplyIp);
    addRow(label(u"网关IP:"), m_gateway, m_setGateway);
    addRow(label(u"子网掩码:"), m_netMask, m_setNetMask);
    addRow(label(u"端口:"), ports, m_setPort);

    auto *commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(m_read);
    commands->addWidget(m_store);
    commands->addStretch(1);
    grid->setRowMinimumHeight(row++, 8);
    grid->addLayout(commands, row, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    m_settingsGroup->installEventFilter(this);
}

void SetupWindow::buildLog()
{
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("Text1"));
    m_log->setReadOnly(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void SetupWindow::layOut()
{
    auto *left = new QVBoxLayout;
    left->addWidget(m_title);
    left->addWidget(m_version);
    left->addWidget(m_settingsGroup, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(m_linkGroup);
    right->addWidget(m_log, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    resize(760, 420);
}

void SetupWindow::connectActions()
{
    connect(m_setMac, &QPushButton::clicked, this,
            [this] { write(WriteSetting::Mac, m_mac->text()); });
    connect(m_setBaud, &QPushButton::clicked, this, &SetupWindow::writeBaud);
    connect(m_setModuleIp, &QPushButton::clicked, this,
            [this] { write(WriteSetting::ModuleIp, m_moduleIp->address()); });
    connect(m_setReplyIp, &QPushButton::clicked, this,
            [this] { write(WriteSetting::ReplyIp, m_replyIp->address()); });
    connect(m_setGateway, &QPushButton::clicked, this,
            [this] { write(WriteSetting::Gateway, m_gateway->address()); });
    connect(m_setNetMask, &QPushButton::clicked, this,
            [this] { write(WriteSetting::NetMask, m_netMask->address()); });
    connect(m_setPort, &QPushButton::clicked, this,
            [this] { m_protocol.writePorts(link(), m_modulePort->text(), m_destPort->text()); });
    connect(m_store, &QPushButton::clicked, this, [this] { write(WriteSetting::Store, {}); });
    connect(m_read, &QPushButton::clicked, this, &SetupWindow::readSettings);
    // Only the operator's click sends "Wrm": a state set from a read answer
    // (setChecked) raises no clicked().
    connect(m_multiChannel, &QCheckBox::clicked, this, [this](bool checked) {
        write(WriteSetting::MultiChannel, checked ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(m_modulePort, &QLineEdit::textChanged, m_destPort, &QLineEdit::setText);
    m_link->installEventFilter(this);
    if (m_link->lineEdit())
        m_link->lineEdit()->installEventFilter(this);
}

void SetupWindow::loadDefaults(const QString &localIpAddress)
{
    m_computerIp->setAddress(localIpAddress);
    for (int i = 0; i < common::IpAddressEditor::kBoxes; ++i) {
        m_moduleIp->setBoxText(i, m_computerIp->boxText(i));
        m_replyIp->setBoxText(i, m_computerIp->boxText(i));
    }
    // The module takes the next address; 255 becomes 256, for the operator to mend.
    m_moduleIp->setBoxText(3, decimalText(common::leadingNumber(m_moduleIp->boxText(3)) + 1));
    m_gateway->setBoxText(0, QStringLiteral("210"));
    m_netMask->setAddress(u"255.255.255.0");
    m_modulePort->setText(QStringLiteral("1973"));

    m_link->addItem(kEtherNet);
    for (int n = 1; n <= 8; ++n)
        m_link->addItem(QStringLiteral("COM%1").arg(n));
    m_link->setCurrentIndex(1);
    for (const int rate : kBaudRates)
        m_baud->addItem(QString::number(rate));
    m_baud->setCurrentIndex(baudCodeForRate(28800));

    m_version->setText(
        versionText(NETKEEL_VERSION_MAJOR, NETKEEL_VERSION_MINOR, NETKEEL_VERSION_REVISION));
}

LinkTarget SetupWindow::link() const
{
    return linkForListText(m_link->currentText());
}

void SetupWindow::write(WriteSetting setting, const QString &value)
{
    m_protocol.write(link(), setting, value);
}

void SetupWindow::writeBaud()
{
    // A rate typed into the list that is none of its entries selects nothing: -1.
    const int code = m_baud->findText(m_baud->currentText(), Qt::MatchExactly);
    write(WriteSetting::Baud, QString::number(code));
}

void SetupWindow::readSettings()
{
    showReading(m_protocol.readSettings(link()));
}

void SetupWindow::showReading(const ModuleReading &reading)
{
    if (reading.multiChannel)
        m_multiChannel->setChecked(*reading.multiChannel == 1);
    if (reading.mac)
        m_mac->setText(*reading.mac);
    if (reading.baudCode)
        m_baud->setCurrentIndex(*reading.baudCode);
    if (reading.moduleIp)
        m_moduleIp->setAddress(*reading.moduleIp);
    if (reading.replyIp)
        m_replyIp->setAddress(*reading.replyIp);
    if (reading.modulePort)
        m_modulePort->setText(*reading.modulePort); // portl follows
    if (reading.destPort)
        m_destPort->setText(*reading.destPort);
    if (reading.gateway)
        m_gateway->setAddress(*reading.gateway);
    if (reading.netMask)
        m_netMask->setAddress(*reading.netMask);
}

void SetupWindow::linkLeft()
{
    const bool etherNet = m_link->currentText() == kEtherNet;
    m_computerIp->setEditable(etherNet);
    m_baudLabel->setText(etherNet ? kPortNumberLabel : kBaudLabel);
    m_baud->setVisible(!etherNet);
}

void SetupWindow::append(const QString &text)
{
    QTextCursor end(m_log->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

bool SetupWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_settingsGroup && event->type() == QEvent::MouseButtonDblClick) {
        m_log->clear();
        return true;
    }
    if ((watched == m_link || watched == m_link->lineEdit()) && event->type() == QEvent::FocusOut) {
        // The list's own drop-down taking the focus, or the focus moving
        // between the list and its text, is not leaving it.
        const auto *focus = static_cast<QFocusEvent *>(event);
        const QWidget *now = QApplication::focusWidget();
        const bool stillInside = now == m_link || (now && m_link->isAncestorOf(now));
        if (focus->reason() != Qt::PopupFocusReason && !stillInside)
            linkLeft();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace netkeel
