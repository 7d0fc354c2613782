#pragma once
// A mosquitto of the test's own: a CA, a server certificate and a second, untrusted CA made
// with openssl in a temporary folder, a password file, a TLS listener on a free loopback
// port. Never the system's service.
#include "tests/support/RecordingWindow.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

class TestBroker
{
public:
    static constexpr const char* kUser = "admin";
    static constexpr const char* kPassword = "admin-pw";

    // Users and their passwords besides the admin.
    explicit TestBroker(const QStringList& usersAndPasswords)
    {
        const QString d = m_dir.path();
        const auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(program, args);
            return p.waitForFinished(60000) && p.exitCode() == 0;
        };
        const QStringList ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        QFile ext(d + "/ext");
        m_ok = ext.open(QIODevice::WriteOnly) && ext.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n") > 0;
        ext.close();
        for (const char* ca : {"ca", "other-ca"})
            m_ok = m_ok && run("openssl", QStringList{"req", "-x509"} + ec + QStringList{"-keyout", d + "/" + ca + ".key", "-out",
                                                     d + "/" + ca + ".crt", "-days", "2", "-subj", QString("/CN=qvt test ") + ca});
        m_ok = m_ok && run("openssl", QStringList{"req"} + ec + QStringList{"-keyout", d + "/server.key", "-out", d + "/server.csr",
                                                                            "-subj", "/CN=localhost"});
        m_ok = m_ok && run("openssl", {"x509", "-req", "-in", d + "/server.csr", "-CA", d + "/ca.crt", "-CAkey", d + "/ca.key",
                                       "-CAcreateserial", "-out", d + "/server.crt", "-days", "2", "-extfile", d + "/ext"});
        QStringList users = usersAndPasswords;
        users << kUser << kPassword;
        QFile(d + "/passwd").open(QIODevice::WriteOnly);
        for (qsizetype i = 0; i + 1 < users.size(); i += 2)
            m_ok = m_ok && run("mosquitto_passwd", {"-b", d + "/passwd", users[i], users[i + 1]});
        QTcpServer probe;
        m_ok = m_ok && probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        QFile conf(d + "/mosquitto.conf");
        m_ok = m_ok && conf.open(QIODevice::WriteOnly);
        conf.write(QStringLiteral("user %1\nper_listener_settings false\nallow_anonymous false\npassword_file %2/passwd\n"
                                  "persistence false\nlog_type error\nlog_type warning\nlistener %3 127.0.0.1\ncafile %2/ca.crt\ncertfile %2/server.crt\n"
                                  "keyfile %2/server.key\n")
                       .arg(QString::fromLocal8Bit(getpwuid(getuid())->pw_name), d)
                       .arg(m_port)
                       .toUtf8());
        conf.close();
        m_ok = m_ok && Start();
    }
    ~TestBroker() { Stop(); }

    bool Ok() const { return m_ok; }
    int Port() const { return m_port; }
    QString File(const char* name) const { return m_dir.path() + "/" + name; }
    QString Url() const { return QStringLiteral("mqtts://localhost:%1").arg(m_port); }

    bool Start()
    {
        m_broker.setProgram("mosquitto");
        m_broker.setArguments({"-c", File("mosquitto.conf")});
        m_broker.setProcessChannelMode(QProcess::ForwardedChannels);
        m_broker.start();
        return m_broker.waitForStarted(10000) && WaitUntil([&] {
                   QTcpSocket s;
                   s.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_port));
                   return s.waitForConnected(200);
               }, 20000);
    }
    void Stop()
    {
        m_broker.terminate();
        m_broker.waitForFinished(10000);
    }

    // The options of mosquitto_sub, mosquitto_pub and mosquitto_rr for this broker.
    QStringList ClientArgs() const
    {
        return {"-h", "localhost", "-p", QString::number(m_port), "--cafile", File("ca.crt"), "-u", kUser, "-P", kPassword,
                "-V", "mqttv5"};
    }

private:
    QTemporaryDir m_dir;
    QProcess m_broker;
    int m_port = 0;
    bool m_ok = false;
};
