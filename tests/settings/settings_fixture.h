#pragma once

#include "../link/link_fakes.h"

#include "pravik/app/app_state.h"
#include "pravik/link/board_link.h"
#include "pravik/settings/board_settings_dialog.h"
#include "pravik/settings/serial_port_lister.h"

#include "common/recording_prompter.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

// The serial ports a test pretends the computer has.
class FakeSerialPortLister : public pravik::settings::SerialPortLister
{
public:
    std::optional<QList<int>> comNumbers() const override { return numbers; }
    std::optional<QList<int>> numbers = QList<int>{1, 2, 3};
};

template <typename Widget> Widget *child(const QWidget &parent, const char *name)
{
    auto *widget = parent.findChild<Widget *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Moves the keyboard focus as a click or the Tab key would, and lets the
// fields react to it.
inline void focusOn(QWidget *widget)
{
    widget->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
}

// Types a new text into a field the way an operator does: over the whole old
// text, each key going to whichever field has the focus by then.
inline void retype(QWidget *field, const QString &text)
{
    focusOn(field);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// Clicks a check box or option button on its box, where a click counts.
inline void clickBox(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Lets a dialog that closed itself be deleted, as the event loop would.
inline void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// The dialog over a board link whose serial port and socket are fakes that
// record what openLink does to them.
class SettingsDialogTest : public ::testing::Test
{
protected:
    SettingsDialogTest()
    {
        link.setDeviceForPort([](int port) { return QStringLiteral("/dev/fake%1").arg(port); });
    }

    ~SettingsDialogTest() override { delete dialog; }

    pravik::settings::BoardSettingsDialog &open()
    {
        dialog = new pravik::settings::BoardSettingsDialog(state, link, prompter, ports, [this] {
            serial.calls << QStringLiteral("layoutCanvas");
        });
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        return *dialog;
    }

    template <typename Widget> Widget *field(const char *name)
    {
        return child<Widget>(*dialog, name);
    }

    QLineEdit *text(const char *name) { return field<QLineEdit>(name); }

    // Leaves whatever field has the focus for the feedback check box.
    void leaveField() { focusOn(field<QWidget>("Check1")); }

    void pressEnterIn(QWidget *widget)
    {
        QTest::keyClick(widget, Qt::Key_Return);
        QApplication::processEvents();
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const common::Message &message : prompter.messages())
            texts << message.text;
        return texts;
    }

    pravik::app::AppState state;
    common::RecordingPrompter prompter;
    FakeClock clock;
    CountingTickWaiter ticks;
    FakeTransport serial{clock, {true, 2}};
    FakeTransport udp{clock, {false, 5}};
    pravik::link::BoardLink link{state.settings, serial, udp, prompter, clock, ticks};
    FakeSerialPortLister ports;
    QPointer<pravik::settings::BoardSettingsDialog> dialog;
};
