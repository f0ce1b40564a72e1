// Content brought to a real pravikd over its remote control, by hand as the
// console uploads it and by pravik-cli publish from a desktop's folder, then
// sent to a board: the board shows every picture pixel for pixel, as the
// service's own view of each screen says it will.
#include "running_service.h"

#include <QBuffer>

namespace {

class ContentEndToEnd : public RunningService
{
protected:
    // Sends the stored file to board a in full and compares, screen by
    // screen, what the simulator shows with the service's view of the screen
    // and with the picture itself.
    void sendAndCompare(const std::string &file, const QList<QImage> &pictures)
    {
        const Answer started =
            post("/api/v1/boards/a/send", {{"file", QString::fromStdString(file)}, {"all", true}});
        ASSERT_EQ(started.status, 202) << started.body;
        ASSERT_EQ(ended(started.json["job"].toInt())["state"], QStringLiteral("done")) << log();
        for (int i = 0; i < pictures.size(); ++i) {
            SCOPED_TRACE(i);
            const Answer view =
                get("/api/v1/content/" + file + "/screens/" + std::to_string(i) + ".png");
            EXPECT_EQ(shown(QStringLiteral("a"), i), pictures[i]);
            EXPECT_EQ(pngOf(view), pictures[i]);
        }
    }
};

TEST_F(ContentEndToEnd, AnUploadSentToABoardShowsItsPictures)
{
    board(QStringLiteral("a"));
    startService("# nothing scheduled\n");
    ASSERT_TRUE(idle());
    // Named as a desktop on Windows wrote them: two of one name from two
    // folders, which must stay two pictures.
    const QStringList names{QStringLiteral("C:\\pics\\a.bmp"), QStringLiteral("pics/a.bmp"),
                            QStringLiteral("b.bmp")};
    QList<QImage> pictures;
    httplib::MultipartFormDataItems parts{
        {"display", threeColourFileNaming(names).toStdString(), "shop.lt", ""}};
    for (int i = 0; i < names.size(); ++i) {
        pictures << patternPicture(i);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        pictures.last().save(&buffer, "BMP");
        parts.push_back({"picture", bmp.toStdString(), names[i].toStdString(), ""});
    }
    const Answer stored = answer(client().Post("/api/v1/content", headers(), parts));
    EXPECT_EQ(stored.status, 201) << stored.body;
    EXPECT_EQ(stored.json, (QJsonObject{{"file", "shop.lt"}}));
    sendAndCompare("shop.lt", pictures);
    const Answer audit = get("/api/v1/audit");
    const QJsonArray entries = audit.json["entries"].toArray();
    const auto upload = std::find_if(entries.begin(), entries.end(), [](const QJsonValue &entry) {
        return entry["route"] == QStringLiteral("/api/v1/content");
    });
    ASSERT_NE(upload, entries.end()) << audit.body;
    const QJsonObject entry = upload->toObject();
    EXPECT_EQ(entry["status"], 201);
    EXPECT_EQ(entry["outcome"], QStringLiteral("stored shop.lt with 3 pictures"));
}

TEST_F(ContentEndToEnd, ADesktopFilePublishedWorksOnTheServiceUnchanged)
{
    board(QStringLiteral("a"));
    startService("# nothing scheduled\n");
    ASSERT_TRUE(idle());
    // The desktop's folder: one picture beside the file, one named by its
    // absolute path somewhere else.
    QTemporaryDir desktop;
    const QString elsewhere = desktop.filePath(QStringLiteral("elsewhere/背景.bmp"));
    const QStringList names{QStringLiteral("pics/front.bmp"), elsewhere};
    const QList<QImage> pictures{patternPicture(4), patternPicture(5)};
    ASSERT_TRUE(QDir(desktop.path()).mkpath(QStringLiteral("pics")));
    ASSERT_TRUE(QDir(desktop.path()).mkpath(QStringLiteral("elsewhere")));
    for (int i = 0; i < names.size(); ++i)
        ASSERT_TRUE(pictures[i].save(QDir(desktop.path()).absoluteFilePath(names[i]), "BMP"));
    const QString display = desktop.filePath(QStringLiteral("window.lt"));
    ASSERT_TRUE(writeFileBytes(display, threeColourFileNaming(names)));
    const QString tokenFile = desktop.filePath(QStringLiteral("token"));
    ASSERT_TRUE(writeFileBytes(tokenFile, QByteArray::fromStdString(m_token) + '\n'));

    const ProgramRun published =
        runProgram(QStringLiteral(PRAVIK_CLI_PATH),
                   {QStringLiteral("publish"), display, QStringLiteral("--to"),
                    QStringLiteral("http://127.0.0.1:%1").arg(m_port), QStringLiteral("--token-file"), tokenFile});
    EXPECT_EQ(published.status, 0) << published.err.toStdString();
    EXPECT_EQ(published.out, "window.lt\n");
    sendAndCompare("window.lt", pictures);
}

} // namespace
