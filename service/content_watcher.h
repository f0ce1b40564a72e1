#pragma once

#include "pravik/schedule/schedule.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace pravikd {

// The files the service's boards depend on: every display file the schedule
// names, the pictures and texts their screens name, and the folders that
// hold them (a file saved by renaming a new one over it shows only there).
// Missing files are left out; their folders tell when they come.
QStringList contentFilesToWatch(const QString &contentFolder,
                                const pravik::schedule::Schedule &schedule);

// Says when any of them changes, once a burst of changes has settled, so that
// an editor's save or a copy of many pictures costs one comparison.
class ContentWatcher : public QObject
{
    Q_OBJECT
public:
    explicit ContentWatcher(QString contentFolder, QObject *parent = nullptr);

    // Watches what the schedule in use names.
    void watch(const pravik::schedule::Schedule &schedule);
    QStringList watched() const;

    static constexpr int kSettleMsecs = 300;

signals:
    void changed();

private:
    void settled();

    QString m_contentFolder;
    pravik::schedule::Schedule m_schedule;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

} // namespace pravikd
