// pravik-cli publish against the remote control and the fake service: the
// display file and every picture it names in one upload, under the names the
// file gives them; refused before anything is sent when a picture is missing
// or outside the file's folder or there is no token; the service's refusal
// printed.
#include "http_fixture.h"

#include "common/text_codec.h"

namespace {

class PravikCliPublish : public HttpFixture
{
protected:
    void SetUp() override
    {
        HttpFixture::SetUp();
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("pics")));
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("elsewhere")));
        pictures = {{QStringLiteral("one.bmp"), "BM one"},
                    {QStringLiteral("pics/two.bmp"), "BM two"},
                    {work.filePath(QStringLiteral("elsewhere/三.bmp")), "BM three"},
                    {QStringLiteral("note.txt"), "a text screen"}};
        for (auto picture = pictures.cbegin(); picture != pictures.cend(); ++picture)
            ASSERT_TRUE(
                writeFileBytes(QDir(work.path()).absoluteFilePath(picture.key()), picture.value()));
        writeDisplayFile(pictures.keys() << QStringLiteral("one.bmp"));
        ASSERT_TRUE(writeFileBytes(tokenPath, operatorToken.toLatin1() + "\n"));
        qunsetenv("PRAVIK_TOKEN_FILE");
    }

    void writeDisplayFile(const QStringList &names)
    {
        QString text = QStringLiteral("[comm]\nPort =   0\nIP Port =    1973\nIP Address = "
                                      "127.0.0.2\nAddress =  1\nfeedback =  1\nscrtype =  1\n"
                                      "scrwidth =  16\nscrhigh =  8\n[Pics]\n");
        for (int i = 0; i < names.size(); ++i)
            text += QStringLiteral("%1\n\"%2\"\n\"立即显示\"\n\"0\"\n\"画面停留\"\n\"1\"\n"
                                   "\"显示图片\"\n\"立即显示\"\n\"0\"\n")
                        .arg(i)
                        .arg(names[i]);
        displayBytes = common::encodeCodePage936(text.replace(u'\n', QStringLiteral("\r\n")));
        ASSERT_TRUE(writeFileBytes(display, displayBytes));
    }

    ProgramRun publish(QStringList more = {})
    {
        return runProgram(QStringLiteral(PRAVIK_CLI_PATH),
                          QStringList{QStringLiteral("publish"), display, QStringLiteral("--to"),
                                      QStringLiteral("http://127.0.0.1:%1").arg(control->port())} +
                              more);
    }

    QStringList withToken() const { return {QStringLiteral("--token-file"), tokenPath}; }

    QTemporaryDir work;
    const QString display = work.filePath(QStringLiteral("shop.lt"));
    const QString tokenPath = work.filePath(QStringLiteral("token"));
    QByteArray displayBytes;
    QMap<QString, QByteArray> pictures;
};

TEST_F(PravikCliPublish, TheFileAndItsPicturesGoUpAsOneUpload)
{
    const ProgramRun run = publish(withToken());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "shop.lt\n");
    ASSERT_EQ(service.uploads.size(), 1);
    EXPECT_EQ(service.uploads[0].name, QStringLiteral("shop.lt"));
    EXPECT_EQ(service.uploads[0].display, displayBytes);
    EXPECT_EQ(service.uploads[0].pictures, pictures);

    // The token file may come from the environment.
    qputenv("PRAVIK_TOKEN_FILE", tokenPath.toLocal8Bit());
    EXPECT_EQ(publish().status, 0);
    qunsetenv("PRAVIK_TOKEN_FILE");
    EXPECT_EQ(service.uploads.size(), 2);
}

TEST_F(PravikCliPublish, NothingIsSentForAFileThatWouldNotWorkThere)
{
    const struct
    {
        const char *what;
        QStringList pictures;
        QStringList arguments;
        const char *message;
    } cases[] = {
        {"a missing picture",
         {QStringLiteral("one.bmp"), QStringLiteral("gone.bmp")},
         withToken(),
         "pravik-cli publish: the picture gone.bmp ("},
        {"a picture above the file's folder",
         {QStringLiteral("../one.bmp")},
         withToken(),
         "pravik-cli publish: the picture ../one.bmp lies outside the display file's folder"},
        {"no token",
         {QStringLiteral("one.bmp")},
         {},
         "pravik-cli publish: give --token-file F or set PRAVIK_TOKEN_FILE"},
        {"an unreadable token file",
         {QStringLiteral("one.bmp")},
         {QStringLiteral("--token-file"), work.filePath(QStringLiteral("pics/two.bmp.none"))},
         "pravik-cli publish: cannot read the token file"},
        {"a URL of no HTTP",
         {QStringLiteral("one.bmp")},
         withToken() << QStringLiteral("--to") << QStringLiteral("ftp://127.0.0.1/"),
         "pravik-cli publish: --to takes http://HOST:PORT or https://HOST:PORT"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeDisplayFile(c.pictures);
        const ProgramRun run = publish(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
    EXPECT_TRUE(service.uploads.isEmpty());
    // A service that is not there: nothing sent either.
    writeDisplayFile({QStringLiteral("one.bmp")});
    const quint16 port = control->port();
    control.reset();
    const ProgramRun unreachable =
        runProgram(QStringLiteral(PRAVIK_CLI_PATH),
                   QStringList{QStringLiteral("publish"), display, QStringLiteral("--to"),
                               QStringLiteral("http://127.0.0.1:%1").arg(port)} +
                       withToken());
    EXPECT_EQ(unreachable.status, 2);
}

TEST_F(PravikCliPublish, TheServicesRefusalIsPrinted)
{
    service.uploadRefusal =
        refused(Refusal::BadRequest, QStringLiteral("the picture one.bmp is no picture"));
    ProgramRun run = publish(withToken());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringLiteral("pravik-cli publish: the service refused the upload (400): "
                                      "the picture one.bmp is no picture\n"));
    service.uploadRefusal.reset();
    ASSERT_TRUE(writeFileBytes(tokenPath, viewerToken.toLatin1()));
    run = publish(withToken());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringLiteral("pravik-cli publish: the service refused the upload (403): "
                                      "the token victor may only look\n"));
    EXPECT_TRUE(service.uploads.isEmpty());
}

TEST_F(PravikCliPublish, OverHttpsTrustingTheServicesOwnCertificate)
{
    const QString certificate = state.filePath(QStringLiteral("cert.pem"));
    const QString key = state.filePath(QStringLiteral("key.pem"));
    ASSERT_TRUE(writeTestCertificate(certificate, key));
    RemoteControlConfig tls = config();
    tls.certificate = certificate;
    tls.key = key;
    startServer(tls);
    const QString url = QStringLiteral("https://127.0.0.1:%1/").arg(control->port());
    const ProgramRun trusted =
        runProgram(QStringLiteral(PRAVIK_CLI_PATH),
                   QStringList{QStringLiteral("publish"), display, QStringLiteral("--to"), url,
                               QStringLiteral("--ca-file"), certificate} +
                       withToken());
    EXPECT_EQ(trusted.status, 0) << trusted.err.toStdString();
    EXPECT_EQ(service.uploads.size(), 1);
    // Without it the certificate is a stranger's: nothing is sent.
    const ProgramRun stranger = runProgram(
        QStringLiteral(PRAVIK_CLI_PATH),
        QStringList{QStringLiteral("publish"), display, QStringLiteral("--to"), url} + withToken());
    EXPECT_EQ(stranger.status, 2);
    EXPECT_EQ(service.uploads.size(), 1);
}

} // namespace
