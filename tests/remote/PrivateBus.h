#pragma once
// A session bus of the test's own: a dbus-daemon started for the test process, so that no
// test reaches the user's bus and tests of several processes do not meet.
#include <QProcess>
#include <QString>

class PrivateBus
{
public:
    PrivateBus()
    {
        m_daemon.setProgram(QStringLiteral("dbus-daemon"));
        m_daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
        m_daemon.start();
        if (m_daemon.waitForStarted(10000) && m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon did not start.
    const QString& Address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};
