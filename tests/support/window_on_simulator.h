#pragma once

// The main window of a test, with its message boxes recorded and its file
// dialogs scripted, talking to the board simulator on the pseudo-terminal
// that COM9 names.
#include "fake_file_chooser.h"
#include "ledboard_sim_process.h"

#include "pravik/app/app_state.h"
#include "pravik/app/main_window.h"
#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QAction>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class WindowOnSimulator : public ::testing::Test
{
protected:
    // Writes show.lt for a board on COM9 (or on UDP at `udpPort` of
    // 127.0.0.2) whose screens are single-colour pictures filling the board,
    // one colour each.
    void writeDisplayFile(int type, int width, int height, const QList<QRgb> &screenColours,
                          const QString &udpPort = {})
    {
        pravik::document::BoardSettings settings;
        settings.port = udpPort.isEmpty() ? 9 : 0;
        settings.ipAddress = QStringLiteral("127.0.0.2");
        settings.ipPort = udpPort.isEmpty() ? 1973 : udpPort.toInt();
        settings.baud = 115200;
        settings.scrtype = static_cast<std::int16_t>(type);
        settings.scrwidth = static_cast<std::int16_t>(width);
        settings.scrhigh = static_cast<std::int16_t>(height);
        pravik::document::ScreenList list;
        pravik::document::initScreenList(list);
        for (int r = 1; r <= screenColours.size(); ++r) {
            QImage picture(width, height, QImage::Format_RGB32);
            picture.fill(screenColours[r - 1]);
            const QString name = QStringLiteral("s%1.bmp").arg(r);
            ASSERT_TRUE(picture.save(folder.filePath(name)));
            list.setText(r, pravik::document::PictureColumn, name);
        }
        common::RecordingPrompter quiet;
        ASSERT_TRUE(pravik::document::saveDisplayFile(displayFile(), settings, list, quiet));
    }

    void startWindow()
    {
        pravik::app::MainWindowEnvironment environment;
        environment.desktopWidthPixels = 1024;
        environment.desktopHeightPixels = 768;
        environment.localIpAddress = QStringLiteral("10.0.0.1");
        environment.programFolder = folder.path();
        environment.documentFolder = folder.path();
        environment.prompter = &prompter;
        environment.fileChooser = &chooser;
        window = std::make_unique<pravik::app::MainWindow>(state, environment);
        window->show();
    }

    QString displayFile() const { return folder.filePath(QStringLiteral("show.lt")); }

    // Opens the display file with COM9 standing for the simulator's line.
    void openOn(const LedboardSim &sim)
    {
        qputenv("COM9", sim.endpoint().toLocal8Bit());
        chooser.answers = {displayFile()};
        trigger("mnufilopen");
        qunsetenv("COM9");
        ASSERT_TRUE(prompter.messages().isEmpty());
    }

    void trigger(const char *name)
    {
        window->findChild<QAction *>(QString::fromLatin1(name))->trigger();
    }

    QTemporaryDir folder;
    pravik::app::AppState state;
    common::RecordingPrompter prompter;
    FakeFileChooser chooser;
    std::unique_ptr<pravik::app::MainWindow> window;
};
