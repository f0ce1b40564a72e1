#pragma once

// The folder a service test keeps its configuration, fleet, schedule and
// content in, and display files that name the pictures given.
#include "test_files.h"

#include "pravik/document/display_file.h"
#include "pravik/service/service_setup.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A display file's bytes for a board of `settings`, screen i showing
// pictures[i].
inline QByteArray displayFileNaming(const QStringList &pictures,
                                    const pravik::document::BoardSettings &settings = {})
{
    pravik::document::ScreenList screens;
    pravik::document::initScreenList(screens);
    for (int i = 0; i < pictures.size(); ++i)
        screens.setText(i + 1, pravik::document::PictureColumn, pictures[i]);
    return pravik::document::displayFileBytes(settings, screens);
}

// A display file for a 16 × 8 single-colour board, screen i showing
// pictures[i].
inline QByteArray smallBoardFileNaming(const QStringList &pictures)
{
    pravik::document::BoardSettings settings;
    settings.scrwidth = 16;
    settings.scrhigh = 8;
    settings.scrtype = 1;
    return displayFileNaming(pictures, settings);
}

// A 16 × 8 picture of one colour, saved as BMP.
inline bool saveSmallPicture(const QString &path, QRgb colour)
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "BMP");
}

// The service's files in `folder`: fleet.txt, schedule.txt, content, state
// and records, on Berlin's clock.
inline pravik::service::ServiceSetup serviceSetupIn(const QString &folder)
{
    const QDir in(folder);
    pravik::service::ServiceSetup setup;
    setup.fleetFile = in.filePath(QStringLiteral("fleet.txt"));
    setup.scheduleFile = in.filePath(QStringLiteral("schedule.txt"));
    setup.contentFolder = in.filePath(QStringLiteral("content"));
    setup.stateFolder = in.filePath(QStringLiteral("state"));
    setup.recordFolder = in.filePath(QStringLiteral("records"));
    setup.zone = QTimeZone("Europe/Berlin");
    return setup;
}

class ServiceFolder
{
public:
    QString folder() const { return m_folder.path(); }
    QString path(const QString &name) const { return m_folder.filePath(name); }

    // Writes a file, making its folder first.
    void write(const QString &name, const QByteArray &bytes) const
    {
        ASSERT_TRUE(QDir(m_folder.path()).mkpath(QFileInfo(name).path()));
        ASSERT_TRUE(writeFileBytes(path(name), bytes)) << name.toStdString();
    }

    // Saves a picture as BMP, making its folder first.
    void picture(const QString &name, const QImage &image) const
    {
        ASSERT_TRUE(QDir(m_folder.path()).mkpath(QFileInfo(name).path()));
        ASSERT_TRUE(image.save(path(name), "BMP")) << name.toStdString();
    }

private:
    QTemporaryDir m_folder;
};
