#include "app/remote/RemoteClient.h"

#include "app/remote/RemoteNames.h"
#include "app/remote/RemoteState.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace remote {

namespace {

// An import or export reads the camera back and writes a file: allow it time.
constexpr int kCallTimeoutMs = 30000;

bool NoInstance(const QDBusMessage& reply)
{
    const QString name = reply.errorName();
    return name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
           || name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

// The reason of a refusal: the text, and the short error name for scripts that match it.
void PrintRefusal(const QDBusMessage& reply, QTextStream& err)
{
    QString name = reply.errorName();
    if (name.startsWith(QLatin1String(kErrorPrefix)))
        name = name.mid(qsizetype(qstrlen(kErrorPrefix)));
    err << "qvt-vz1-controller: " << reply.errorMessage() << " (" << name << ")\n";
    err.flush();
}

QDBusMessage Call(const QDBusConnection& bus, const QString& interface, const QString& method,
                  const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath), interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, kCallTimeoutMs);
}

QVariant Unwrapped(const QVariant& value)
{
    return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// Prints one line for each change the instance announces.
class ChangePrinter : public QObject
{
    Q_OBJECT
public:
    explicit ChangePrinter(QTextStream& out) : m_out(out) {}

public Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
    {
        if (interface != QLatin1String(kInterface))
            return;
        for (const QString& name : PropertyNames())
            if (changed.contains(name))
                m_out << PropertyLine(name, Unwrapped(changed.value(name))) << '\n';
        m_out.flush();
    }
    void talkerChanged(uint direction)
    {
        m_out << "TalkerChanged=" << direction << '\n';
        m_out.flush();
    }

private:
    QTextStream& m_out;
};

int Watch(const QDBusConnection& bus, QTextStream& out, QTextStream& err)
{
    ChangePrinter printer(out);
    QDBusConnection connection = bus;
    const QString service = QLatin1String(kService);
    const QString path = QLatin1String(kPath);
    connection.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), &printer,
                       SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    connection.connect(service, path, QLatin1String(kInterface), QStringLiteral("TalkerChanged"), &printer,
                       SLOT(talkerChanged(uint)));
    QDBusServiceWatcher gone(service, connection, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, [] { QCoreApplication::exit(kExitNoInstance); });
    // Subscribed first, then checked: an instance that ends in between is still noticed.
    if (!connection.interface()->isServiceRegistered(service)) {
        err << "qvt-vz1-controller: no QVT-VZ1 Controller is running\n";
        return kExitNoInstance;
    }
    return QCoreApplication::exec();
}

} // namespace

int RunRequest(const RemoteRequest& request, const QDBusConnection& bus, QTextStream& out, QTextStream& err)
{
    switch (request.kind) {
    case RemoteRequest::Kind::Start:
        return kExitUsage;
    case RemoteRequest::Kind::UsageError:
        err << "qvt-vz1-controller: " << request.error << "\n" << VerbUsage();
        return kExitUsage;
    case RemoteRequest::Kind::Help:
        out << VerbUsage();
        return kExitDone;
    case RemoteRequest::Kind::Version:
        out << "qvt-vz1-controller " << QVT_VERSION << '\n';
        return kExitDone;
    default:
        break;
    }
    if (!bus.isConnected()) {
        err << "qvt-vz1-controller: no session bus, so no QVT-VZ1 Controller to talk to\n";
        return kExitNoInstance;
    }
    if (request.kind == RemoteRequest::Kind::Watch)
        return Watch(bus, out, err);

    const bool status = request.kind == RemoteRequest::Kind::Status;
    const QDBusMessage reply =
        status ? Call(bus, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
                      {QLatin1String(kInterface)})
               : Call(bus, QLatin1String(kInterface), request.method, request.arguments);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (NoInstance(reply)) {
            err << "qvt-vz1-controller: no QVT-VZ1 Controller is running\n";
            return kExitNoInstance;
        }
        PrintRefusal(reply, err);
        return kExitRefused;
    }
    if (status && !reply.arguments().isEmpty()) {
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        for (const QString& name : PropertyNames())
            out << PropertyLine(name, Unwrapped(properties.value(name))) << '\n';
    }
    return kExitDone;
}

int RunVerb(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const RemoteRequest request = ParseVerb(args.mid(1), QDir::currentPath());
    // The bus interface reports a refused call with a queued signal that carries these
    // types; unregistered, Qt warns on standard error about an invalid type instead.
    qRegisterMetaType<QDBusError>();
    qRegisterMetaType<QDBusMessage>();
    // A connection of its own, closed while the application still exists.
    const QString name = QStringLiteral("qvt-vz1-controller-verb");
    const int status = RunRequest(request, QDBusConnection::connectToBus(QDBusConnection::SessionBus, name), out, err);
    QDBusConnection::disconnectFromBus(name);
    return status;
}

} // namespace remote

#include "RemoteClient.moc"
