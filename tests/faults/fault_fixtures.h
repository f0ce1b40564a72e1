#pragma once

// What the fault cases share: running pravik-cli against the board simulator
// and a snapshot of a folder, to prove that a failure changed nothing on disk.
#include "pravik_cli_run.h"

#include <QDirIterator>
#include <QMap>
#include <gtest/gtest.h>

// Every file under a folder with its bytes: equal snapshots before and after
// a failure mean it wrote, renamed and left behind nothing.
using FolderSnapshot = QMap<QString, QByteArray>;

inline FolderSnapshot snapshot(const QString &folder)
{
    FolderSnapshot files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readFileBytes(path));
    }
    return files;
}
