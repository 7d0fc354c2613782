// A stand-in for logind on a private system bus, for bench/soak: owns org.freedesktop.login1,
// hands out delay locks through Inhibit and announces PrepareForSleep on command.
//
// Standard input, a line each: "sleep" (PrepareForSleep true, then waits up to 5 s for every
// delay lock to be closed, as logind does), "wake" (PrepareForSleep false), "quit".
// Standard output, a line each: "ready", "inhibit WHAT MODE locks=N", "sleep locks=N",
// "released ms=N" (the last lock closed N ms after "sleep"), "sleep-timeout locks=N", "wake".
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace

class Login1Manager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    void Sleep()
    {
        m_sleeping = true;
        m_sleepClock.start();
        Say("sleep locks=" + std::to_string(m_locks.size()));
        emit PrepareForSleep(true);
        if (m_locks.empty())
            Released();
        else
            m_sleepLimit.start();
    }
    void Wake()
    {
        m_sleepLimit.stop();
        m_sleeping = false;
        Say("wake");
        emit PrepareForSleep(false);
    }

    Login1Manager()
    {
        m_sleepLimit.setSingleShot(true);
        m_sleepLimit.setInterval(5000);  // logind's InhibitDelayMaxSec
        connect(&m_sleepLimit, &QTimer::timeout, this, [this] {
            Say("sleep-timeout locks=" + std::to_string(m_locks.size()));
        });
    }

public slots:
    // The lock is the write end of a pipe: its holder closing every copy ends the read end.
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& /*who*/, const QString& /*why*/,
                                    const QString& mode)
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        QDBusUnixFileDescriptor lock(ends[1]);  // a copy travels with the reply
        ::close(ends[1]);
        auto notifier = std::make_unique<QSocketNotifier>(ends[0], QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, this, [this, fd = ends[0]] { Closed(fd); });
        m_locks[ends[0]] = std::move(notifier);
        Say("inhibit " + what.toStdString() + " " + mode.toStdString() + " locks=" + std::to_string(m_locks.size()));
        return lock;
    }

signals:
    void PrepareForSleep(bool start);

private:
    void Closed(int fd)
    {
        char byte;
        if (::read(fd, &byte, 1) > 0)
            return;  // nobody writes; only the end counts
        m_locks.erase(fd);  // the notifier goes before its descriptor
        ::close(fd);
        if (m_sleeping && m_locks.empty())
            Released();
    }
    void Released()
    {
        m_sleepLimit.stop();
        Say("released ms=" + std::to_string(m_sleepClock.elapsed()));
    }

    std::map<int, std::unique_ptr<QSocketNotifier>> m_locks;
    bool m_sleeping = false;
    QElapsedTimer m_sleepClock;
    QTimer m_sleepLimit;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::systemBus();
    Login1Manager manager;
    if (!bus.isConnected() || !bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                                                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
        || !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "qvt-soak-login1: cannot own org.freedesktop.login1 on the system bus\n");
        return 2;
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string line = pending.substr(0, end);
            if (line == "sleep")
                manager.Sleep();
            else if (line == "wake")
                manager.Wake();
            else if (line == "quit")
                app.quit();
        }
    });
    Say("ready");
    return app.exec();
}

#include "Login1StandIn.moc"
