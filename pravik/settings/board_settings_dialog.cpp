#include "board_settings_dialog.h"

#include "clock_group.h"
#include "focus_watcher.h"
#include "link_choices.h"
#include "serial_port_lister.h"

#include "pravik/document/program_texts.h"

#include "common/ip_address_editor.h"
#include "common/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pravik::settings {
namespace {

const QString kBaudLabelText = QStringLiteral("波特率:");
const QString kIpPortLabelText = QStringLiteral("端口号:");
const QString kTypeGroupText = QStringLiteral("显示屏类型");
const QString kUnitText = QStringLiteral("(点)");

QLineEdit *namedLineEdit(const char *name, const QString &text, QWidget *parent)
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QPushButton *namedButton(const char *name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel *namedLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

BoardSettingsDialog::BoardSettingsDialog(document::BoardSettings &settings, bool linkOpened,
                                         common::Prompter &prompter, SerialPortLister &ports,
                                         QWidget *parent)
    : QDialog(parent), m_settings(settings), m_linkOpened(linkOpened), m_prompter(prompter)
{
    setObjectName(QStringLiteral("size"));
    setWindowTitle(QStringLiteral("显示屏设置"));
    setModal(false);
    // Closing discards the dialog; the next opening reads the settings anew.
    setAttribute(Qt::WA_DeleteOnClose);
    buildFields();
    load(ports);
    buildLayout();
}

BoardSettingsDialog::~BoardSettingsDialog()
{
    // The fields are torn down one by one after this; a field losing the
    // focus on the way must not reach for a sibling that is already gone.
    qDeleteAll(findChildren<FocusWatcher *>());
}

BoardSettingsDialog *
BoardSettingsDialog::showOrRaise(QPointer<BoardSettingsDialog> &dialog,
                                 const std::function<BoardSettingsDialog *()> &create)
{
    if (!dialog)
        dialog = create();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void BoardSettingsDialog::buildFields()
{
    m_linkList = new QComboBox(this);
    m_linkList->setObjectName(QStringLiteral("com_com"));
    m_linkList->setEditable(true);
    m_linkList->setInsertPolicy(QComboBox::NoInsert);
    FocusWatcher::watch(m_linkList, nullptr, [this] { showLinkFields(); });
    connect(m_linkList, &QComboBox::activated, this, &BoardSettingsDialog::showLinkFields);

    m_baudLabel = namedLabel("Label2", kBaudLabelText, this);
    m_baudList = new QComboBox(this);
    m_baudList->setObjectName(QStringLiteral("com_baud"));
    m_baudList->setEditable(true);
    m_baudList->setInsertPolicy(QComboBox::NoInsert);
    m_baudList->setToolTip(QStringLiteral("一般为28800和19200"));
    m_ipPort = namedLineEdit("txt_port", QStringLiteral("1973"), this);

    m_ipAddress = new common::IpAddressEditor(QStringLiteral("IPADD"), this);

    m_address = namedLineEdit("txt_head", QString(), this);
    m_address->setToolTip(QStringLiteral("单块显示屏的地址通常为1，联网的显示屏地址为1-240"));
    correctOnLeaving(m_address, CorrectedField::Address);
    m_width = namedLineEdit("sizew", QString(), this);
    m_width->setToolTip(QStringLiteral("按照屏幕实际宽度输入，应为8的倍数，且小于2512点"));
    correctOnLeaving(m_width, CorrectedField::Width);
    m_height = namedLineEdit("sizeh", QString(), this);
    m_height->setToolTip(QStringLiteral("按照屏幕实际高度输入，应小于512"));
    correctOnLeaving(m_height, CorrectedField::Height);

    m_typeGroup = new QGroupBox(kTypeGroupText, this);
    m_typeGroup->setObjectName(QStringLiteral("Frame1"));
    const auto addType = [this](const char *name, const QString &text) {
        auto *option = new QRadioButton(text, m_typeGroup);
        option->setObjectName(QString::fromLatin1(name));
        // The group's caption names the type the operator chose last.
        connect(option, &QRadioButton::clicked, this,
                [this, text] { m_typeGroup->setTitle(text); });
        return option;
    };
    m_singleColour = addType("Option1", QStringLiteral("单色显示屏"));
    m_threeColour = addType("Option2", QStringLiteral("三色显示屏"));
    m_multiColour = addType("Option3", QStringLiteral("多色显示屏"));

    m_feedback = new QCheckBox(QStringLiteral("等待回传"), this);
    m_feedback->setObjectName(QStringLiteral("Check1"));

    m_rangeGroup = new QGroupBox(this);
    m_rangeGroup->setObjectName(QStringLiteral("Frame2"));
    m_firstScreen = namedLineEdit("Txt_start", QStringLiteral(" 0"), m_rangeGroup);
    correctOnLeaving(m_firstScreen, CorrectedField::FirstScreen);
    m_screenCount = namedLineEdit("Txt_end", QStringLiteral(" 1"), m_rangeGroup);
    correctOnLeaving(m_screenCount, CorrectedField::ScreenCount);
    m_sendRange = namedButton("sendcommand", QStringLiteral("发送"), m_rangeGroup);
    connect(m_sendRange, &QPushButton::clicked, this, &BoardSettingsDialog::sendDisplayRange);

    m_clockGroup = new ClockGroup(this);
    connect(m_clockGroup, &ClockGroup::setClockRequested, this, &BoardSettingsDialog::sendClock);

    m_apply = namedButton("size_app", QStringLiteral("应用"), this);
    connect(m_apply, &QPushButton::clicked, this, &BoardSettingsDialog::apply);
    m_ok = namedButton("sizeok", QStringLiteral("确认"), this);
    // Enter in a field confirms, as in any dialog; the field is checked as typed.
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &BoardSettingsDialog::acceptAndClose);
    m_cancel = namedButton("sizedel", QStringLiteral("取消"), this);
    connect(m_cancel, &QPushButton::clicked, this, &BoardSettingsDialog::close);
}

void BoardSettingsDialog::buildLayout()
{
    auto *linkRows = new QGridLayout;
    linkRows->addWidget(new QLabel(QStringLiteral("通讯口:"), this), 0, 0);
    linkRows->addWidget(m_linkList, 0, 1);
    linkRows->addWidget(m_baudLabel, 0, 2);
    auto *baudOrPort = new QHBoxLayout;
    baudOrPort->addWidget(m_baudList);
    baudOrPort->addWidget(m_ipPort);
    linkRows->addLayout(baudOrPort, 0, 3);
    linkRows->addWidget(new QLabel(QStringLiteral("IP地址:"), this), 1, 0);
    linkRows->addWidget(m_ipAddress, 1, 1, 1, 3);
    linkRows->addWidget(new QLabel(QStringLiteral("屏地址:"), this), 2, 0);
    linkRows->addWidget(m_address, 2, 1);
    linkRows->addWidget(new QLabel(QStringLiteral("屏宽："), this), 3, 0);
    auto *width = new QHBoxLayout;
    width->addWidget(m_width);
    width->addWidget(new QLabel(kUnitText, this));
    linkRows->addLayout(width, 3, 1);
    linkRows->addWidget(new QLabel(QStringLiteral("屏高："), this), 3, 2);
    auto *height = new QHBoxLayout;
    height->addWidget(m_height);
    height->addWidget(new QLabel(kUnitText, this));
    linkRows->addLayout(height, 3, 3);

    auto *types = new QHBoxLayout(m_typeGroup);
    types->addWidget(m_singleColour);
    types->addWidget(m_threeColour);
    types->addWidget(m_multiColour);

    auto *range = new QHBoxLayout(m_rangeGroup);
    range->addWidget(namedLabel("Label7", QStringLiteral("起始幕："), m_rangeGroup));
    range->addWidget(m_firstScreen);
    range->addWidget(namedLabel("Label4", QStringLiteral("显示幕数："), m_rangeGroup));
    range->addWidget(m_screenCount);
    range->addWidget(m_sendRange);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    // The dialog grows and shrinks with the groups shown once the link is open.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(linkRows);
    layout->addWidget(m_typeGroup);
    layout->addWidget(m_feedback);
    layout->addWidget(m_rangeGroup);
    layout->addWidget(m_clockGroup);
    layout->addLayout(buttons);
}

void BoardSettingsDialog::load(SerialPortLister &ports)
{
    const document::BoardSettings &settings = m_settings;
    fillLinkList(ports);

    m_address->setText(QString::number(settings.busAddress()));
    m_width->setText(QString::number(settings.scrwidth));
    m_height->setText(QString::number(settings.scrhigh));

    m_singleColour->setChecked(settings.scrtype != 2 && settings.scrtype != 3);
    m_threeColour->setChecked(settings.scrtype == 2);
    m_multiColour->setChecked(settings.scrtype == 3);
    m_feedback->setChecked(settings.feedback != 0);

    m_baudList->addItems(baudList());
    m_baudList->setCurrentIndex(baudIndex(settings.baud));

    for (int i = 0; i < common::IpAddressEditor::kBoxes; ++i)
        m_ipAddress->setBoxText(i, QString::number(settings.ipOctets[static_cast<std::size_t>(i)]));
    // On a serial link the port box keeps its start text: the stored IP port
    // only shows once Ethernet is chosen in a later opening.
    if (settings.isEthernet())
        m_ipPort->setText(QString::number(settings.ipPort));
    showLinkFields();

    m_rangeGroup->setVisible(m_linkOpened);
    m_clockGroup->setVisible(m_linkOpened);
}

void BoardSettingsDialog::fillLinkList(SerialPortLister &ports)
{
    const std::optional<QList<int>> found = ports.comNumbers();
    if (!found)
        m_prompter.tell(kNoPortListText, kProgramTitle, common::MessageIcon::None);
    const LinkChoices choices = linkChoices(found, m_settings.port);
    m_linkList->addItems(choices.entries);
    m_linkList->setCurrentIndex(choices.selected);
}

void BoardSettingsDialog::showLinkFields()
{
    const bool ethernet = m_linkList->currentText() == kEthernetEntry;
    m_ipAddress->setEditable(ethernet);
    m_baudLabel->setText(ethernet ? kIpPortLabelText : kBaudLabelText);
    m_baudList->setHidden(ethernet);
    m_ipPort->setHidden(!ethernet);
}

void BoardSettingsDialog::showBoardGroups()
{
    m_rangeGroup->show();
    m_clockGroup->show();
}

void BoardSettingsDialog::correctOnLeaving(QLineEdit *field, CorrectedField rule)
{
    FocusWatcher::watch(field, nullptr, [field, rule] {
        if (const std::optional<QString> corrected = correctedText(rule, field->text()))
            field->setText(*corrected);
    });
}

SettingsForm BoardSettingsDialog::form() const
{
    SettingsForm form;
    form.link = m_linkList->currentText();
    for (int i = 0; i < common::IpAddressEditor::kBoxes; ++i)
        form.ipBoxes[static_cast<std::size_t>(i)] = m_ipAddress->boxText(i);
    form.ipPort = m_ipPort->text();
    form.address = m_address->text();
    form.width = m_width->text();
    form.height = m_height->text();
    form.screenType = m_singleColour->isChecked() ? 1 : m_threeColour->isChecked() ? 2 : 3;
    form.baud = m_baudList->currentText();
    form.feedback = m_feedback->isChecked();
    return form;
}

QWidget *BoardSettingsDialog::fieldFor(FormField field) const
{
    switch (field) {
    case FormField::Link:
        return m_linkList;
    case FormField::IpBox0:
    case FormField::IpBox1:
    case FormField::IpBox2:
    case FormField::IpBox3:
        return m_ipAddress->box(static_cast<int>(field) - static_cast<int>(FormField::IpBox0));
    case FormField::IpPort:
        return m_ipPort;
    case FormField::Address:
        return m_address;
    case FormField::Width:
        return m_width;
    case FormField::Height:
        return m_height;
    }
    return nullptr;
}

bool BoardSettingsDialog::apply()
{
    if (const std::optional<Rejection> rejection = storeSettingsForm(form(), m_settings)) {
        m_prompter.tell(rejection->message, kProgramTitle, common::MessageIcon::None);
        fieldFor(rejection->field)->setFocus(Qt::OtherFocusReason);
        m_applyAccepted = false;
        return false;
    }
    m_applyAccepted = true;
    emit settingsApplied();
    // The link has now been opened, so the board can be talked to from here.
    showBoardGroups();
    return true;
}

QList<QWidget *> BoardSettingsDialog::boardCommands() const
{
    return {m_apply, m_ok, m_sendRange, m_clockGroup->sendButton()};
}

void BoardSettingsDialog::acceptAndClose()
{
    apply();
    if (m_applyAccepted)
        close();
}

void BoardSettingsDialog::sendClock()
{
    emit clockRequested(m_clockGroup->fields());
}

void BoardSettingsDialog::sendDisplayRange()
{
    emit displayRangeRequested(m_firstScreen->text(), m_screenCount->text());
}

} // namespace pravik::settings
