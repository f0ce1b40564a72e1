// pravikd's remote control measured on a real pravikd over ledboard-sim
// boards on UDP, spoken to over loopback:
//  - the boards' list read by 50 clients at once for 10 s (each keeping its
//    connection, as a browser does) while a Send All of 239 screens runs to
//    32 boards that answer each frame after 12 ms, as boards behind network
//    modules do: the 99th percentile of the answer times (limit 20 ms);
//  - a Send All of the same list to an unpaced board with 20 listeners of
//    the event stream attached, against the same send without them, in
//    alternate runs on the same service: the medians' ratio (limit 1.05);
//  - the web console's first load as a browser that takes compressed
//    answers fetches it: the bytes on the wire (limit 100 KB).
//   http_bench PRAVIKD LEDBOARD-SIM [SECONDS] [CLIENTS]

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include "sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <httplib.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace pravik;

namespace {

constexpr double kListLimitMs = 20;
constexpr double kListenersLimit = 1.05;
constexpr qint64 kFirstLoadLimit = 100 * 1000;
constexpr int kScreens = 239;
constexpr int kSendingBoards = 32;
constexpr int kModuleEchoDelayMsecs = 12;
constexpr int kListeners = 20;
constexpr int kAlternateRuns = 41;
// Send Alls a run; a run is compared with its neighbour, which met the
// machine's other work alike.
constexpr int kSendsPerRun = 1;

bool report(const char *what, double value, double limit, const char *unit)
{
    const bool met = value > 0 && value <= limit;
    std::printf("  %-58s %9.3f %s (limit %.2f %s): %s\n", what, value, unit, limit, unit,
                met ? "met" : "NOT MET");
    return met;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// 239 single-colour screens, each a diagonal pattern of its own.
bool writeList(const QDir &content)
{
    document::BoardSettings settings;
    settings.port = 0;
    settings.scrtype = 1;
    document::ScreenList screens;
    document::initScreenList(screens);
    for (int s = 0; s < kScreens; ++s) {
        QImage picture(160, 32, QImage::Format_RGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 160; ++x)
                picture.setPixel(x, y, (x + y + s) % 7 < 3 ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
        const QString name = QStringLiteral("s%1.bmp").arg(s);
        if (!picture.save(content.filePath(name)))
            return false;
        screens.setText(s + 1, document::PictureColumn, name);
    }
    common::RecordingPrompter prompter;
    return document::saveDisplayFile(content.filePath(QStringLiteral("list.lt")), settings, screens,
                                     prompter);
}

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// pravikd in a folder of its own, its log read as it comes.
class Service
{
public:
    ~Service()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(20000))
            m_process.kill();
    }

    bool start(const QString &program, const QString &folder)
    {
        m_process.start(program, {QStringLiteral("--config"),
                                  QDir(folder).filePath(QStringLiteral("pravikd.conf"))});
        const QRegularExpression listening(QStringLiteral("remote control on 127.0.0.1:(\\d+)\n"));
        if (!waitFor([&] { return listening.match(m_log).hasMatch(); }))
            return false;
        port = quint16(listening.match(m_log).captured(1).toUInt());
        QFile token(QDir(folder).filePath(QStringLiteral("state/initial-token")));
        if (!token.open(QIODevice::ReadOnly))
            return false;
        headers = {{"Authorization", "Bearer " + token.readAll().trimmed().toStdString()}};
        return true;
    }

    // Waits up to 60 s for `line` to have been logged `times` times.
    bool logged(const QString &line, qsizetype times)
    {
        return waitFor([&] { return m_log.count(line + u'\n') >= times; });
    }

    QJsonObject get(const std::string &target) const
    {
        httplib::Client client("127.0.0.1", port);
        const httplib::Result answer = client.Get(target, headers);
        return answer ? QJsonDocument::fromJson(QByteArray::fromStdString(answer->body)).object()
                      : QJsonObject();
    }

    QJsonObject post(const std::string &target, const QJsonObject &body) const
    {
        httplib::Client client("127.0.0.1", port);
        const httplib::Result answer = client.Post(
            target, headers, QJsonDocument(body).toJson().toStdString(), "application/json");
        return answer ? QJsonDocument::fromJson(QByteArray::fromStdString(answer->body)).object()
                      : QJsonObject();
    }

    int busyBoards() const
    {
        int busy = 0;
        for (const QJsonValue &board : get("/api/v1/boards")[QStringLiteral("boards")].toArray())
            busy += board[QStringLiteral("busy")].toBool() ? 1 : 0;
        return busy;
    }

    bool idle() const
    {
        QElapsedTimer waited;
        waited.start();
        while (busyBoards() > 0 && waited.elapsed() < 60000)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return busyBoards() == 0;
    }

    // Processor seconds pravikd has used so far.
    double processorSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QList<QByteArray> fields = stat.readAll().split(' ');
        // utime and stime are fields 14 and 15, in clock ticks.
        return fields.size() > 15
                   ? (fields[13].toDouble() + fields[14].toDouble()) / double(sysconf(_SC_CLK_TCK))
                   : 0;
    }

    quint16 port = 0;
    httplib::Headers headers;

private:
    template <typename Done> bool waitFor(Done done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 60000 && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(10);
            m_log += QString::fromUtf8(m_process.readAllStandardError());
        }
        return done();
    }

    QProcess m_process;
    QString m_log;
};

// The boards' list polled by `clients` clients at once for `seconds`.
bool measureList(const Service &service, int seconds, int clients)
{
    std::atomic<bool> failed{false};
    std::vector<std::vector<double>> times{std::size_t(clients)};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", service.port);
            client.set_keep_alive(true);
            while (std::chrono::steady_clock::now() < end) {
                const auto start = std::chrono::steady_clock::now();
                const httplib::Result answer = client.Get("/api/v1/boards", service.headers);
                const std::chrono::duration<double, std::milli> took =
                    std::chrono::steady_clock::now() - start;
                if (!answer || answer->status != 200 || answer->body.size() < 1000)
                    failed = true;
                times[std::size_t(c)].push_back(took.count());
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    std::vector<double> all;
    for (const std::vector<double> &some : times)
        all.insert(all.end(), some.begin(), some.end());
    std::sort(all.begin(), all.end());
    const auto at = [&](double share) { return all[std::size_t(share * double(all.size() - 1))]; };
    std::printf("  %zu answers (%.0f/s), median %.2f ms, slowest %.2f ms%s\n", all.size(),
                double(all.size()) / seconds, at(0.5), all.back(),
                failed ? ", SOME ANSWERS WRONG" : "");
    return report("99th percentile of the list's answers", at(0.99), kListLimitMs, "ms") && !failed;
}

// Listeners of the event stream, each reading on a thread of its own until
// dropped.
class Listeners
{
public:
    Listeners(const Service &service, int count)
    {
        for (int i = 0; i < count; ++i) {
            m_clients.push_back(std::make_unique<httplib::Client>("127.0.0.1", service.port));
            httplib::Client *client = m_clients.back().get();
            m_threads.emplace_back([this, client, &service] {
                client->Get(
                    "/api/v1/events", service.headers,
                    [this](const httplib::Response &) {
                        ++m_attached;
                        return true;
                    },
                    [this](const char *, std::size_t size) {
                        m_bytes += qint64(size);
                        return true;
                    });
            });
        }
        while (m_attached < count)
            std::this_thread::yield();
    }

    ~Listeners()
    {
        for (const auto &client : m_clients)
            client->stop();
        for (std::thread &thread : m_threads)
            thread.join();
    }

    qint64 bytes() const { return m_bytes; }

private:
    std::vector<std::unique_ptr<httplib::Client>> m_clients;
    std::vector<std::thread> m_threads;
    std::atomic<int> m_attached{0};
    std::atomic<qint64> m_bytes{0};
};

// Send Alls of the list to the unpaced board one after the other, each from
// the request to the service's word that the board shows it; their seconds.
double timedSendAlls(Service &service, int &sends)
{
    double seconds = 0;
    for (int i = 0; i < kSendsPerRun; ++i) {
        QElapsedTimer took;
        took.start();
        service.post(
            "/api/v1/boards/solo/send",
            {{QStringLiteral("file"), QStringLiteral("list.lt")}, {QStringLiteral("all"), true}});
        if (!service.logged(QStringLiteral("solo: shows list.lt"), ++sends))
            return -1;
        seconds += took.nsecsElapsed() / 1e9;
        if (!service.idle())
            return -1;
    }
    return seconds;
}

bool measureListeners(Service &service)
{
    int sends = 0;
    if (timedSendAlls(service, sends) < 0) // the first meets cold caches
        return false;
    std::vector<double> seconds[2];
    double processor[2] = {0, 0};
    qint64 streamed = 0;
    for (int run = 0; run < 2 * kAlternateRuns; ++run) {
        // Without, with, with, without, ...: neither comes always first.
        const bool listened = (run + run / 2) % 2 == 1;
        auto listeners = listened ? std::make_unique<Listeners>(service, kListeners) : nullptr;
        const double before = service.processorSeconds();
        seconds[listened].push_back(timedSendAlls(service, sends));
        processor[listened] += service.processorSeconds() - before;
        if (listeners)
            streamed = listeners->bytes();
        listeners.reset();
        // The server learns that a listener left when it next writes to it:
        // a few events end the streams of those gone before the next run.
        service.post("/api/v1/boards/solo/clock", {});
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        if (!service.idle())
            return false;
    }
    const double perSend = 1000.0 / (kAlternateRuns * kSendsPerRun);
    std::printf("  Send All of %d screens to one unpaced board, %d times each way: medians "
                "%.3f s alone, %.3f s with %d listeners; pravikd's processor time a Send All "
                "%.0f ms alone, %.0f ms with them; %lld bytes of events to each listener\n",
                kScreens, kAlternateRuns * kSendsPerRun, median(seconds[0]), median(seconds[1]),
                kListeners, processor[0] * perSend, processor[1] * perSend,
                (long long)streamed / kListeners);
    std::vector<double> ratios;
    for (std::size_t run = 0; run < seconds[0].size(); ++run) {
        if (seconds[0][run] <= 0 || seconds[1][run] <= 0)
            return false;
        ratios.push_back(seconds[1][run] / seconds[0][run]);
    }
    // Each run against its neighbour, so that what else the machine does
    // meanwhile weighs on both alike.
    return report("with listeners / without (median of the pairs)", median(ratios), kListenersLimit,
                  "x");
}

// The bytes on the wire of one answer, head and body, asked for as a browser
// asks, taking compressed answers or not.
qint64 wireBytes(quint16 port, const std::string &path, bool compressed, qint64 &body)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                                    (compressed ? "Accept-Encoding: gzip, deflate, br\r\n" : "") +
                                    "Connection: close\r\n\r\n";
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        char buffer[65536];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, std::size_t(n));
    }
    ::close(fd);
    const std::size_t head = answer.find("\r\n\r\n");
    body = head == std::string::npos ? 0 : qint64(answer.size() - head - 4);
    return answer.rfind("HTTP/1.1 200", 0) == 0 ? qint64(answer.size()) : -1;
}

bool measureFirstLoad(quint16 port)
{
    bool met = true;
    for (const bool compressed : {true, false}) {
        qint64 total = 0;
        QStringList parts;
        for (const char *path : {"/", "/app.js", "/app.css", "/favicon.svg"}) {
            qint64 body = 0;
            const qint64 bytes = wireBytes(port, path, compressed, body);
            if (bytes < 0) {
                std::printf("  %s is not served\n", path);
                return false;
            }
            parts << QStringLiteral("%1 %2").arg(QString::fromLatin1(path)).arg(bytes);
            total += bytes;
        }
        std::printf("  %s: %s bytes on the wire\n",
                    compressed ? "taking compressed answers" : "taking none",
                    qPrintable(parts.join(QStringLiteral(", "))));
        met = report(compressed ? "the console's first load, compressed"
                                : "the console's first load, uncompressed",
                     double(total) / 1000, double(kFirstLoadLimit) / 1000, "KB") &&
              met;
    }
    return met;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: http_bench PRAVIKD LEDBOARD-SIM [SECONDS] [CLIENTS]\n");
        return 2;
    }
    const QString pravikd = QString::fromLocal8Bit(argv[1]);
    const QString simPath = QString::fromLocal8Bit(argv[2]);
    const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    const int clients = argc > 4 ? std::max(1, std::atoi(argv[4])) : 50;

    QTemporaryDir folder;
    const QDir dir(folder.path());
    if (!dir.mkpath(QStringLiteral("content")) ||
        !writeList(QDir(dir.filePath(QStringLiteral("content")))))
        return 2;
    // 32 boards like those behind network modules on 127.0.0.2 ... 127.0.0.33,
    // and one that answers at once, all on one port.
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    const quint16 port = probe.localPort();
    probe.close();
    std::vector<std::unique_ptr<SimProcess>> sims;
    QString fleet;
    QJsonArray sending;
    for (int b = 0; b <= kSendingBoards; ++b) {
        const bool solo = b == kSendingBoards;
        const QString name = solo ? QStringLiteral("solo") : QStringLiteral("b%1").arg(b + 2);
        const QString address = QStringLiteral("127.0.0.%1:%2").arg(b + 2).arg(port);
        sims.push_back(std::make_unique<SimProcess>());
        QStringList options{"--udp", address, "--type", "1"};
        if (!solo)
            options << "--echo-delay-ms" << QString::number(kModuleEchoDelayMsecs);
        if (!sims.back()->start(simPath, options))
            return 2;
        fleet += QStringLiteral("%1 udp:%2 1\n").arg(name, address);
        if (!solo)
            sending.append(name);
    }
    if (!writeText(dir.filePath(QStringLiteral("fleet.txt")), fleet) ||
        !writeText(dir.filePath(QStringLiteral("schedule.txt")), QStringLiteral("# none\n")) ||
        !writeText(dir.filePath(QStringLiteral("pravikd.conf")),
                   QStringLiteral("state = state\nrecords = records\ncontent = content\n"
                                  "zone = Europe/Berlin\nlisten = 127.0.0.1:0\n")))
        return 2;
    Service service;
    if (!service.start(pravikd, folder.path()) || !service.idle()) {
        std::fprintf(stderr, "http_bench: pravikd did not start\n");
        return 2;
    }

    bool met = true;
    std::printf("The boards' list, %d clients for %d s, while a Send All of %d screens runs to "
                "%d boards answering after %d ms\n",
                clients, seconds, kScreens, kSendingBoards, kModuleEchoDelayMsecs);
    const QJsonObject started =
        service.post("/api/v1/send", {{QStringLiteral("boards"), sending},
                                      {QStringLiteral("file"), QStringLiteral("list.lt")},
                                      {QStringLiteral("all"), true}});
    if (started[QStringLiteral("jobs")].toObject().size() != kSendingBoards) {
        std::fprintf(stderr, "http_bench: the send did not start: %s\n",
                     QJsonDocument(started).toJson().constData());
        return 2;
    }
    met = measureList(service, seconds, clients) && met;
    const int stillSending = service.busyBoards();
    std::printf("  boards still sending at the end: %d of %d%s\n", stillSending, kSendingBoards,
                stillSending == kSendingBoards ? "" : " (THE SEND ENDED TOO EARLY)");
    met = met && stillSending == kSendingBoards;
    for (const QJsonValue &board : sending)
        service.post("/api/v1/boards/" + board.toString().toStdString() + "/stop", {});
    if (!service.idle())
        return 2;

    std::printf("Send All with and without listeners of the event stream\n");
    met = measureListeners(service) && met;

    std::printf("The web console's first load: page, script, style and icon\n");
    met = measureFirstLoad(service.port) && met;
    return met ? 0 : 1;
}
