#pragma once

#include "pravik/service/service_setup.h"

#include "common/failure.h"

#include <QString>

namespace pravikd {

// Where pravikd looks for its configuration unless --config names another.
inline const QString kDefaultConfigFile = QStringLiteral("/etc/pravik/pravikd.conf");

// The folders systemd gives the service (StateDirectory=, CacheDirectory=),
// or the usual ones when it runs without them.
struct SystemFolders
{
    QString state = QStringLiteral("/var/lib/pravik");
    QString cache = QStringLiteral("/var/cache/pravik");
};

// $STATE_DIRECTORY and $CACHE_DIRECTORY where systemd sets them.
SystemFolders systemFolders();

// The configuration file, read: what the service works from, and where the
// HTTP interface listens and keeps its tokens and audit trail.
struct ServiceConfig
{
    pravik::service::ServiceSetup setup;
    QString listenHost = QStringLiteral("127.0.0.1");
    quint16 listenPort = 8787;
    QString certificate; // empty: plain HTTP
    QString key;
    QString tokens;
    QString audit;
};

// The configuration of the text, one "key = value" a line with # comments;
// relative paths are taken from `folder`, the configuration file's. A failure
// "line N: ..." for the first line that is wrong.
common::Expected<ServiceConfig> parseServiceConfig(const QString &text, const QString &folder,
                                                   const SystemFolders &defaults);

// The same from a UTF-8 file; the failure names the file.
common::Expected<ServiceConfig> readServiceConfig(const QString &path,
                                                  const SystemFolders &defaults);

} // namespace pravikd
