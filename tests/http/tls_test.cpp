// HTTPS: with a certificate and key the server speaks only TLS and tells
// browsers to stay on it; anywhere beyond loopback without TLS is warned of at
// every start.
#include "http_fixture.h"

namespace {

class HttpTls : public HttpFixture
{
protected:
    void SetUp() override
    {
        operatorToken = makeToken(QStringLiteral("alice"), Role::Operator);
        ASSERT_TRUE(writeTestCertificate(certificate, key));
        RemoteControlConfig tls = config();
        tls.certificate = certificate;
        tls.key = key;
        startServer(tls);
    }

    const QString certificate = state.filePath(QStringLiteral("cert.pem"));
    const QString key = state.filePath(QStringLiteral("key.pem"));
};

TEST_F(HttpTls, TheServerSpeaksOnlyTlsAndSaysSo)
{
    httplib::SSLClient client("127.0.0.1", control->port());
    client.set_ca_cert_path(certificate.toStdString());
    for (const QString &token : {operatorToken, QString()}) {
        httplib::Result answer = client.Get("/api/v1/boards", bearer(token));
        ASSERT_TRUE(answer) << httplib::to_string(answer.error());
        EXPECT_EQ(answer->status, token.isEmpty() ? 401 : 200);
        EXPECT_EQ(answer->get_header_value("Strict-Transport-Security"), "max-age=31536000");
        EXPECT_EQ(answer->get_header_value("X-Frame-Options"), "DENY");
    }
    EXPECT_FALSE(HttpFixture::get("/api/v1/boards", operatorToken)); // plain HTTP
    EXPECT_TRUE(log().join(u'\n').contains(
        QStringLiteral("listens on https://127.0.0.1:%1").arg(control->port())));
}

TEST_F(HttpTls, ACertificateThatCannotBeUsedStopsTheStart)
{
    RemoteControlConfig wrong = config();
    wrong.certificate = key; // a key is no certificate
    wrong.key = key;
    const common::Expected<std::unique_ptr<RemoteControl>> started =
        startRemoteControl(wrong, service, {});
    ASSERT_FALSE(started.ok());
    EXPECT_EQ(started.failure().text,
              QStringLiteral("the certificate %1 and the key %1 cannot be used for TLS").arg(key));
}

TEST(ListenWarnings, BeyondLoopbackWithoutTlsIsWarnedOf)
{
    const struct
    {
        const char *host;
        bool tls;
        bool warned;
    } cases[] = {
        {"127.0.0.1", false, false}, {"127.0.0.53", false, false}, {"::1", false, false},
        {"0.0.0.0", false, true},    {"::", false, true},          {"192.168.1.20", false, true},
        {"0.0.0.0", true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.host);
        RemoteControlConfig config;
        config.host = QString::fromLatin1(c.host);
        if (c.tls)
            config.certificate = QStringLiteral("cert.pem");
        const QStringList warnings = listenWarnings(config);
        EXPECT_EQ(warnings.size(), c.warned ? 1 : 0);
        if (c.warned) {
            EXPECT_TRUE(warnings[0].startsWith(
                QStringLiteral("the remote control listens on %1 without TLS").arg(config.host)));
        }
    }
}

} // namespace
