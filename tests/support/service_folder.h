#pragma once

// The folder a service test keeps its configuration, fleet, schedule and
// content in, and display files that name the pictures given.
#include "test_files.h"

#include "pravik/document/display_file.h"

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
