#include "fleet/FleetMessages.h"

#include "app/remote/RemoteNames.h"
#include "app/remote/RemoteVerbs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

namespace fleet {

namespace {

QJsonValue DirectionValue(unsigned direction)
{
    return direction <= 6 ? QJsonValue(static_cast<int>(direction)) : QJsonValue(QJsonValue::Null);
}

QJsonValue TextOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QByteArray Compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

remote::Outcome Refuse(const char* name, const QString& text)
{
    return remote::Refusal{name, text};
}

// Numbers and texts alike: {"arg": 3} and {"arg": "3"}.
QString ArgText(const QJsonValue& value)
{
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    if (value.isBool())
        return value.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    return value.toString();
}

remote::Outcome BadArgument(const Command& c, const char* wanted)
{
    return Refuse(remote::kInvalidArgument, QStringLiteral("\"%1\" needs %2, not \"%3\".").arg(c.verb, QLatin1String(wanted), c.arg));
}

} // namespace

QString Topic(const QString& room, const char* leaf)
{
    return QStringLiteral("%1/%2/%3").arg(QLatin1String(kTopicRoot), room, QLatin1String(leaf));
}

QByteArray StateJson(const remote::RemoteState& s, const StateExtras& extras)
{
    QJsonObject o;
    o.insert(QStringLiteral("camera"), s.cameraPresent);
    o.insert(QStringLiteral("model"), s.cameraPresent ? QJsonValue(QStringLiteral("QVT-VZ1")) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("firmware"), TextOrNull(s.firmwareVersion));
    o.insert(QStringLiteral("page"), remote::PageName(s.page));
    o.insert(QStringLiteral("mode"), remote::CameraModeName(s.cameraMode));
    o.insert(QStringLiteral("direction"), DirectionValue(s.direction));
    o.insert(QStringLiteral("talker"), DirectionValue(s.talkerDirection));
    o.insert(QStringLiteral("tracking"), s.tracking);
    o.insert(QStringLiteral("device"), static_cast<int>(s.deviceKind));
    o.insert(QStringLiteral("error"), TextOrNull(extras.error));
    if (!extras.settingsVersion.isEmpty()) {
        QJsonObject settings;
        settings.insert(QStringLiteral("version"), extras.settingsVersion);
        settings.insert(QStringLiteral("ok"), extras.settingsError.isEmpty());
        settings.insert(QStringLiteral("error"), TextOrNull(extras.settingsError));
        o.insert(QStringLiteral("settings"), settings);
    }
    return Compact(o);
}

QByteArray TalkerJson(unsigned direction)
{
    return Compact(QJsonObject{{QStringLiteral("direction"), DirectionValue(direction)}});
}

QByteArray ReplyJson(const remote::Outcome& outcome)
{
    if (!outcome)
        return Compact(QJsonObject{{QStringLiteral("ok"), true}});
    return Compact(QJsonObject{{QStringLiteral("ok"), false},
                               {QStringLiteral("error"), QLatin1String(outcome->name)},
                               {QStringLiteral("message"), outcome->text}});
}

std::optional<Command> ParseCommand(const QByteArray& payload, bool retained, qint64 nowMs, remote::Outcome* refusal)
{
    const auto refuse = [&](const char* name, const QString& text) -> std::optional<Command> {
        *refusal = Refuse(name, text);
        return std::nullopt;
    };
    if (payload.size() > kMaxCommandBytes)
        return refuse(kTooLarge, QStringLiteral("A command is at most %1 bytes, not %2.").arg(kMaxCommandBytes).arg(payload.size()));
    if (retained)
        return refuse(kStale, QStringLiteral("A retained command is an old one; commands are sent without retain."));
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(kMalformed, QStringLiteral("A command is a JSON object such as {\"verb\": \"go\", \"arg\": \"3\"}."));
    const QJsonObject o = doc.object();
    Command c;
    c.verb = o.value(QStringLiteral("verb")).toString();
    c.arg = ArgText(o.value(QStringLiteral("arg")));
    c.id = ArgText(o.value(QStringLiteral("id")));
    if (c.verb.isEmpty())
        return refuse(kMalformed, QStringLiteral("A command names its verb: {\"verb\": ...}."));
    const QJsonValue ms = o.value(QStringLiteral("ms"));
    if (!ms.isUndefined()) {
        const double value = ms.toDouble(-1);
        if (value < 0 || value > remote::kMaxDriveMs || value != static_cast<unsigned>(value))
            return refuse(remote::kInvalidArgument, QStringLiteral("A drive lasts 0 to %1 ms.").arg(remote::kMaxDriveMs));
        c.ms = static_cast<unsigned>(value);
    }
    const QJsonValue time = o.value(QStringLiteral("time"));
    if (!time.isUndefined()) {
        if (!time.isDouble())
            return refuse(kMalformed, QStringLiteral("\"time\" is seconds since 1970."));
        c.sentMs = static_cast<qint64>(time.toDouble() * 1000.0);
        if (nowMs - *c.sentMs > kStaleAfterMs)
            return refuse(kStale, QStringLiteral("The command was sent %1 s ago; commands older than %2 s are not done.")
                                      .arg((nowMs - *c.sentMs) / 1000)
                                      .arg(kStaleAfterMs / 1000));
    }
    return c;
}

remote::Outcome RunCommand(remote::RemoteActions& actions, const Command& c)
{
    const QString& v = c.verb;
    if (v == QLatin1String("show"))
        return actions.Show();
    if (v == QLatin1String("hide"))
        return actions.Hide();
    if (v == QLatin1String("stop"))
        return actions.Stop();
    if (v == QLatin1String("video")) {
        if (c.arg != QLatin1String("on") && c.arg != QLatin1String("off"))
            return BadArgument(c, "on or off");
        return actions.ShowVideo(c.arg == QLatin1String("on"));
    }
    if (v == QLatin1String("tracking")) {
        if (c.arg != QLatin1String("on") && c.arg != QLatin1String("off"))
            return BadArgument(c, "on or off");
        return actions.SetTracking(c.arg == QLatin1String("on"));
    }
    if (v == QLatin1String("direction") || v == QLatin1String("go") || v == QLatin1String("view")) {
        const auto n = remote::ParseUnsigned(c.arg);
        if (!n)
            return BadArgument(c, "a number");
        if (v == QLatin1String("direction"))
            return actions.SelectDirection(*n);
        return v == QLatin1String("go") ? actions.GoToDirection(*n) : actions.ViewButton(*n);
    }
    if (v == QLatin1String("page"))
        return actions.SelectPage(c.arg);
    if (v == QLatin1String("drive"))
        return actions.Drive(c.arg, c.ms ? c.ms : remote::kDefaultDriveMs);
    if (v == QLatin1String("import"))
        return actions.ImportText(c.arg.toUtf8());
    if (v == QLatin1String("firmware")) {
        // A file on the room's computer (a path or a file: URL), or an http(s) address that
        // the room downloads from.
        const QUrl url(c.arg);
        const QString path = url.isLocalFile() ? url.toLocalFile() : c.arg;
        const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
        if (!web && !url.isLocalFile() && !url.scheme().isEmpty() && !c.arg.startsWith(QLatin1Char('/')))
            return BadArgument(c, "a file on the room's computer (a full path or a file: URL) or an http(s) address");
        return actions.UpdateFirmware(path);
    }
    return Refuse(kUnknownVerb, QStringLiteral("\"%1\" is not a verb of the controller.").arg(v));
}

std::optional<FleetSettings> ParseFleetSettings(const QByteArray& payload)
{
    if (payload.size() > kMaxCommandBytes)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    if (!doc.isObject())
        return std::nullopt;
    FleetSettings s;
    s.version = ArgText(doc.object().value(QStringLiteral("version")));
    s.file = doc.object().value(QStringLiteral("file")).toString().toUtf8();
    if (s.version.isEmpty() || s.file.isEmpty())
        return std::nullopt;
    return s;
}

QList<QPair<QString, QByteArray>> DiscoveryMessages(const QString& room, const QString& prefix)
{
    const QString id = QStringLiteral("qvt-vz1_") + QString(room).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    const QJsonObject device{{QStringLiteral("identifiers"), QJsonArray{id}},
                             {QStringLiteral("name"), QStringLiteral("QVT-VZ1 ") + room},
                             {QStringLiteral("model"), QStringLiteral("QVT-VZ1")}};
    const auto entity = [&](const char* component, const char* key, const char* name, QJsonObject config) {
        config.insert(QStringLiteral("name"), QLatin1String(name));
        config.insert(QStringLiteral("unique_id"), id + QLatin1Char('_') + QLatin1String(key));
        config.insert(QStringLiteral("availability_topic"), Topic(room, "status"));
        config.insert(QStringLiteral("device"), device);
        if (!config.contains(QStringLiteral("state_topic")))
            config.insert(QStringLiteral("state_topic"), Topic(room, "state"));
        return QPair<QString, QByteArray>(
            QStringLiteral("%1/%2/%3/%4/config").arg(prefix, QLatin1String(component), id, QLatin1String(key)), Compact(config));
    };
    const QString command = Topic(room, "command");
    QJsonArray directions;
    for (int d = 0; d <= 6; ++d)
        directions.append(QString::number(d));
    return {
        entity("switch", "tracking", "Tracking",
               {{QStringLiteral("command_topic"), command},
                {QStringLiteral("payload_on"), QStringLiteral("{\"verb\":\"tracking\",\"arg\":\"on\"}")},
                {QStringLiteral("payload_off"), QStringLiteral("{\"verb\":\"tracking\",\"arg\":\"off\"}")},
                {QStringLiteral("state_on"), QStringLiteral("ON")},
                {QStringLiteral("state_off"), QStringLiteral("OFF")},
                {QStringLiteral("value_template"), QStringLiteral("{{ 'ON' if value_json.tracking else 'OFF' }}")}}),
        entity("select", "direction", "Direction",
               {{QStringLiteral("command_topic"), command},
                {QStringLiteral("command_template"), QStringLiteral("{\"verb\":\"direction\",\"arg\":\"{{ value }}\"}")},
                {QStringLiteral("options"), directions},
                {QStringLiteral("value_template"), QStringLiteral("{{ value_json.direction }}")}}),
        entity("binary_sensor", "camera", "Camera",
               {{QStringLiteral("device_class"), QStringLiteral("connectivity")},
                {QStringLiteral("payload_on"), QStringLiteral("ON")},
                {QStringLiteral("payload_off"), QStringLiteral("OFF")},
                {QStringLiteral("value_template"), QStringLiteral("{{ 'ON' if value_json.camera else 'OFF' }}")}}),
        entity("sensor", "talker", "Talker",
               {{QStringLiteral("state_topic"), Topic(room, "talker")},
                {QStringLiteral("value_template"), QStringLiteral("{{ value_json.direction }}")}}),
    };
}

} // namespace fleet
