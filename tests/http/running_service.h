#pragma once

// pravikd as a process over ledboard-sim boards on UDP (127.0.0.2), its
// remote control on a free port of 127.0.0.1, spoken to over real HTTP with
// the token it left at its first start; display files and pictures of the
// test's own in its content folder.
#include "ledboard_sim_process.h"
#include "pravikd_process.h"
#include "service_folder.h"

#include <QJsonArray>
#include <gtest/gtest.h>
#include <httplib.h>
#include <map>
#include <memory>
#include <thread>

// The LED colours of a three-colour board: a picture of only these shows on
// the board pixel for pixel as it is.
inline constexpr QRgb kRed = 0xFFFF0000;
inline constexpr QRgb kGreen = 0xFF00FF00;
inline constexpr QRgb kYellow = 0xFFFFFF00;
inline constexpr QRgb kOff = 0xFF000000;

// A 160 × 32 picture of three-colour LEDs, a different pattern for each seed.
inline QImage patternPicture(int seed)
{
    QImage image(160, 32, QImage::Format_RGB32);
    const QRgb colours[] = {kRed, kGreen, kYellow, kOff};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours[(x / (4 + seed) + y / (3 + seed) + seed) % 4]);
    }
    return image;
}

// A display file for a three-colour board of 160 × 32 naming `pictures`.
inline QByteArray threeColourFileNaming(const QStringList &pictures)
{
    pravik::document::BoardSettings settings;
    settings.port = 0;
    settings.scrtype = 2;
    return displayFileNaming(pictures, settings);
}

// An answer of the API: its status and its JSON object.
struct Answer
{
    int status = 0;
    QJsonObject json;
    std::string body;
    std::string type;
};

class RunningService : public ::testing::Test, protected ServiceFolder
{
protected:
    // A board of the fleet: a three-colour simulator with `options` besides.
    LedboardSim &board(const QString &name, const QStringList &options = {})
    {
        auto sim = std::make_unique<LedboardSim>(
            QStringList{QStringLiteral("--udp"), QStringLiteral("127.0.0.2:0"),
                        QStringLiteral("--type"), QStringLiteral("2")} +
            options);
        EXPECT_FALSE(sim->udpPort().isEmpty());
        m_fleet += QStringLiteral("%1 udp:%2 1\n").arg(name, sim->endpoint()).toUtf8();
        return *(m_boards[name] = std::move(sim));
    }

    // Starts pravikd over the boards made so far with `schedule`, its clock
    // starting at `clock` (a test clock) when one is given; waits for its
    // remote control and takes the token of its first start.
    void startService(const QByteArray &schedule, const QString &clock = {})
    {
        write(QStringLiteral("pravikd.conf"),
              "state = state\nrecords = records\ncontent = content\nzone = Europe/Berlin\n"
              "listen = 127.0.0.1:0\n");
        write(QStringLiteral("fleet.txt"), m_fleet);
        write(QStringLiteral("schedule.txt"), schedule);
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("content"))));
        ASSERT_TRUE(m_service.startAt(path(QStringLiteral("pravikd.conf")), clock));
        m_port = m_service.remotePort();
        ASSERT_NE(m_port, 0) << m_service.log().toStdString();
        m_token = readFileBytes(path("state/initial-token")).trimmed().toStdString();
        ASSERT_FALSE(m_token.empty());
    }

    // The service's log so far.
    std::string log() { return m_service.log().toStdString(); }

    httplib::Headers headers() const { return {{"Authorization", "Bearer " + m_token}}; }

    httplib::Client client() const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_read_timeout(30);
        return client;
    }

    static Answer answer(const httplib::Result &result)
    {
        Answer answer;
        if (!result)
            return answer;
        answer.status = result->status;
        answer.body = result->body;
        answer.type = result->get_header_value("Content-Type");
        answer.json = QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object();
        return answer;
    }

    Answer get(const std::string &target) { return answer(client().Get(target, headers())); }

    Answer post(const std::string &target, const QJsonObject &body = {})
    {
        return answer(client().Post(
            target, headers(), QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(),
            "application/json"));
    }

    // Asks `done` every 20 ms until it holds, for `seconds` at the most.
    static bool eventually(const std::function<bool()> &done, int seconds = 30)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (waited.elapsed() > seconds * 1000)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // The job once it has ended, waiting up to 30 s; as last read when it did not.
    QJsonObject ended(int job)
    {
        QJsonObject end;
        eventually([&] {
            end = get("/api/v1/jobs/" + std::to_string(job)).json;
            const QString state = end.value(QStringLiteral("state")).toString();
            return state == u"done" || state == u"failed" || state == u"stopped";
        });
        return end;
    }

    // Waits up to 30 s until no board has a job under way.
    bool idle()
    {
        return eventually([&] {
            for (const QJsonValue &board :
                 get("/api/v1/boards").json.value(QStringLiteral("boards")).toArray()) {
                if (board[QStringLiteral("busy")].toBool())
                    return false;
            }
            return true;
        });
    }

    // What the board shows on screen `index`, as the simulator wrote it.
    QImage shown(const QString &board, int index) const
    {
        return QImage(QDir(m_boards.at(board)->outDir())
                          .filePath(
                              QStringLiteral("screen-%1.png").arg(index, 3, 10, QLatin1Char('0'))))
            .convertToFormat(QImage::Format_RGB32);
    }

    static QImage pngOf(const Answer &answer)
    {
        return QImage::fromData(QByteArray::fromStdString(answer.body), "PNG")
            .convertToFormat(QImage::Format_RGB32);
    }

    PravikdProcess m_service;
    QByteArray m_fleet;
    std::map<QString, std::unique_ptr<LedboardSim>> m_boards;
    quint16 m_port = 0;
    std::string m_token;
};
