#include "pravik/service/content.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::service;

// A name from a schedule or a request never leads out of the content folder,
// whether by its own spelling or by a symbolic link on the way.
TEST(ContentPath, NeverLeavesTheContentFolder)
{
    QTemporaryDir outside;
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("shop")));
    QFile::link(outside.path(), folder.filePath(QStringLiteral("away")));
    QFile::link(QStringLiteral("/etc/hosts"), folder.filePath(QStringLiteral("hosts.lt")));
    QFile::link(folder.filePath(QStringLiteral("shop")), folder.filePath(QStringLiteral("here")));
    const struct
    {
        const char *name;
        const char *refusal; // empty: taken
    } cases[] = {
        {"lobby.lt", ""},
        {"shop/main.lt", ""},
        {"here/main.lt", ""},
        {"shop/../lobby.lt", ""},
        {"../lobby.lt", "../lobby.lt leaves the content folder"},
        {"shop/../../lobby.lt", "shop/../../lobby.lt leaves the content folder"},
        {"..\\lobby.lt", "..\\lobby.lt leaves the content folder"},
        {"/etc/hosts", "/etc/hosts leaves the content folder"},
        {"", " leaves the content folder"},
        {"away/x.lt", "away/x.lt leads out of the content folder"},
        {"hosts.lt", "hosts.lt leads out of the content folder"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const common::Expected<QString> path =
            contentPath(folder.path(), QString::fromLatin1(c.name));
        if (*c.refusal == 0) {
            ASSERT_TRUE(path) << path.failure().text.toStdString();
            EXPECT_TRUE(path->startsWith(folder.path()));
        } else {
            ASSERT_FALSE(path);
            EXPECT_EQ(path.failure().text, QString::fromLatin1(c.refusal));
        }
    }
}
