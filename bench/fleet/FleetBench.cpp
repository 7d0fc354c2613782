// N rooms (a virtual camera and a controller each) on one local mosquitto, and one client
// that measures: command round trip, talker-to-message latency, reconnect time after a broker
// restart, messages lost, memory per room. Usage: qvt-bench-fleet [N] (default 5, up to 20).
#include "fleet/MqttClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

long RssKiB(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

struct Room
{
    QString name;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QProcess> sim, controller;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = std::clamp(argc > 1 ? std::atoi(argv[1]) : 5, 1, 20);
    QTemporaryDir dir;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    QFile conf(dir.path() + "/mosquitto.conf");
    conf.open(QIODevice::WriteOnly);
    conf.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence false\nlog_type error\n").arg(port).toUtf8());
    conf.close();
    QProcess broker;
    const auto startBroker = [&] {
        broker.start("mosquitto", {"-c", dir.path() + "/mosquitto.conf"});
        return broker.waitForStarted(10000);
    };
    if (!startBroker()) {
        std::fprintf(stderr, "qvt-bench-fleet: mosquitto did not start\n");
        return 1;
    }

    std::vector<Room> rooms(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Room& r = rooms[static_cast<size_t>(i)];
        r.name = QStringLiteral("room-%1").arg(i);
        r.dir = std::make_unique<QTemporaryDir>();
        QDir(r.dir->path()).mkpath("config");
        QDir(r.dir->path()).mkpath("run");
        QFile::setPermissions(r.dir->path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile profile(r.dir->path() + "/config/qvt-vz1-controller.ini");
        profile.open(QIODevice::WriteOnly);
        profile.write(QStringLiteral("[QVT-VZ1]\nDevice=4\n[General]\nMode=0\nTracking=1\n[Up]\nMode=1\nDirection=0\n"
                                     "[Fleet]\nBroker=mqtt://127.0.0.1:%1\nRoom=%2\n").arg(port).arg(r.name).toUtf8());
        profile.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", r.dir->path() + "/config");
        env.insert("XDG_RUNTIME_DIR", r.dir->path() + "/run");
        env.insert("QVT_VZ1_SHM_PREFIX", QStringLiteral("qvt-bench-fleet-%1-%2-").arg(QCoreApplication::applicationPid()).arg(i));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        r.sim = std::make_unique<QProcess>();
        r.sim->setProcessEnvironment(env);
        r.sim->start(QStringLiteral(QVT_SIM_PATH), {"--stay"});
        r.sim->waitForStarted(10000);
        r.sim->write("stand upside\nspeakerphone mzc-40s\n");
        r.controller = std::make_unique<QProcess>();
        r.controller->setProcessEnvironment(env);
        r.controller->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        r.controller->start(QStringLiteral(QVT_CONTROLLER_PATH), {});
    }

    fleet::MqttOptions o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = port;
    o.clientId = QStringLiteral("qvt-bench-fleet");
    o.subscriptions = {"qvt-vz1/+/status", "qvt-vz1/+/talker", "bench/reply/#"};
    fleet::MqttClient client(o);
    QHash<QString, QByteArray> status;
    QHash<QByteArray, qint64> sentAt;  // correlation -> ns
    std::vector<double> roundTrips, talkerLatencies;
    QHash<QString, qint64> talkAt;
    QElapsedTimer clock;
    clock.start();
    int replies = 0, talkers = 0;
    QObject::connect(&client, &fleet::MqttClient::message, &app, [&](const fleet::MqttMessage& m) {
        const QString room = m.topic.section('/', 1, 1);
        if (m.topic.endsWith("/status"))
            status[room] = m.payload;
        else if (m.topic.startsWith("bench/reply/") && sentAt.contains(m.correlation)) {
            roundTrips.push_back((clock.nsecsElapsed() - sentAt.take(m.correlation)) / 1e6);
            ++replies;
        } else if (m.topic.endsWith("/talker") && talkAt.contains(room)) {
            talkerLatencies.push_back((clock.nsecsElapsed() - talkAt.take(room)) / 1e6);
            ++talkers;
        }
    });
    client.Start();
    const auto allOnline = [&] {
        return std::all_of(rooms.begin(), rooms.end(), [&](const Room& r) { return status.value(r.name) == "online"; });
    };
    if (!WaitFor(allOnline, 60000)) {
        std::fprintf(stderr, "qvt-bench-fleet: not every room came online\n");
        return 1;
    }
    WaitFor([] { return false; }, 2000);  // the cameras stand

    const int perRoom = 50;
    int sent = 0;
    for (int k = 0; k < perRoom; ++k)
        for (const Room& r : rooms) {
            const QByteArray correlation = QByteArray::number(++sent);
            sentAt.insert(correlation, clock.nsecsElapsed());
            client.Publish("qvt-vz1/" + r.name + "/command", R"({"verb":"stop"})", false, correlation, "bench/reply/" + r.name);
            WaitFor([&] { return !sentAt.contains(correlation); }, 50);
        }
    WaitFor([&] { return sentAt.isEmpty(); }, 10000);

    int talks = 0;
    for (int k = 0; k < 10; ++k)
        for (Room& r : rooms) {
            talkAt.insert(r.name, clock.nsecsElapsed());
            r.sim->write(QByteArray("talk ") + QByteArray::number(k % 2 ? 1 : 3) + '\n');
            ++talks;
            WaitFor([&] { return !talkAt.contains(r.name); }, 2000);
        }

    long rss = 0;
    for (const Room& r : rooms)
        rss += RssKiB(r.controller->processId()) + RssKiB(r.sim->processId());

    broker.terminate();
    broker.waitForFinished(10000);
    status.clear();
    QElapsedTimer reconnect;
    reconnect.start();
    startBroker();
    const bool back = WaitFor(allOnline, 120000);
    const double reconnectMs = static_cast<double>(reconnect.elapsed());

    std::printf("rooms                      %d\n", n);
    std::printf("command round trip p50     %.2f ms\n", Percentile(roundTrips, 0.5));
    std::printf("command round trip p99     %.2f ms\n", Percentile(roundTrips, 0.99));
    std::printf("talker to message p50      %.2f ms (from the virtual speakerphone's line)\n", Percentile(talkerLatencies, 0.5));
    std::printf("talker to message p99      %.2f ms\n", Percentile(talkerLatencies, 0.99));
    std::printf("reconnect after restart    %s%.0f ms (all rooms online again)\n", back ? "" : "> ", reconnectMs);
    std::printf("messages lost              %d of %d replies, %d of %d talker messages\n", sent - replies, sent,
                talks - talkers, talks);
    std::printf("memory per room            %.1f MiB (controller and virtual camera, RSS)\n", rss / 1024.0 / n);

    for (Room& r : rooms) {
        r.controller->terminate();
        r.controller->waitForFinished(10000);
        r.sim->terminate();
        r.sim->waitForFinished(10000);
    }
    broker.terminate();
    broker.waitForFinished(10000);
    return 0;
}
