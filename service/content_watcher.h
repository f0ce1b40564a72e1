#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace pravikd {

// The files the service's boards depend on: every display file the schedule
// names, the pictures and texts their screens name, and the folders that
// hold them (a file saved by renaming a new one over it shows only there).
// Missing files are left out; their folders tell when they come.
QStringList contentFilesToWatch(const QString &contentFolder, const QString &scheduleFile);

// Says when any of them changes, once a burst of changes has settled, so that
// an editor's save or a copy of many pictures costs one comparison.
class ContentWatcher : public QObject
{
    Q_OBJECT
public:
    ContentWatcher(QString contentFolder, QString scheduleFile, QObject *parent = nullptr);

    // Reads the schedule again and watches what it names now.
    void rewatch();
    QStringList watched() const;

    static constexpr int kSettleMsecs = 300;

signals:
    void changed();

private:
    void settled();

    QString m_contentFolder;
    QString m_scheduleFile;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

} // namespace pravikd
