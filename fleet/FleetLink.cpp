#include "fleet/FleetLink.h"

#include "controller/ControllerSession.h"
#include "fleet/FleetPassword.h"
#include "app/remote/RemoteNames.h"

#include <QDateTime>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFleet, "qvt.fleet", QtWarningMsg)

namespace fleet {

namespace {

constexpr qsizetype kRecentCommands = 256;
// A transient refusal of the fleet's setting file: tried again when the room's state changes.
bool Transient(const remote::Outcome& outcome)
{
    return outcome && (qstrcmp(outcome->name, remote::kBusy) == 0 || qstrcmp(outcome->name, remote::kNotInThisMode) == 0);
}

} // namespace

FleetLink::FleetLink(remote::RemoteActions& actions, std::string profilePath, std::function<qint64()> now,
                     QObject* parent)
    : QObject(parent), m_actions(actions), m_strProfilePath(std::move(profilePath)), m_now(std::move(now))
{
    if (!m_now)
        m_now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    ControllerSession& session = m_actions.Session();
    connect(&session, &ControllerSession::stateChanged, this, [this] {
        PublishState();
        TryPendingSettings();
    });
    connect(&session, &ControllerSession::cameraLinkDown, this, [this] { PublishState(); });
    connect(&session, &ControllerSession::talkerDirection, this, [this](int direction) { OnTalker(direction); });
}

FleetLink::~FleetLink()
{
    Stop();
}

void FleetLink::Stop()
{
    ++m_nGeneration;
    if (m_client && m_bConnected)
        m_client->Publish(Topic(m_room, "status"), "offline", true);
    m_client.reset();
    if (m_bConnected) {
        m_bConnected = false;
        Q_EMIT connectedChanged(false);
    }
}

void FleetLink::Restart()
{
    Stop();
    m_config = LoadFleetConfig(m_strProfilePath);
    m_extras.settingsVersion = m_config.settingsApplied;
    if (m_config.broker.trimmed().isEmpty())
        return;
    const auto address = ParseBroker(m_config.broker);
    if (!address) {
        Warn(QStringLiteral("broker"), QStringLiteral("Fleet: \"%1\" is not a broker address (mqtt://host:port or "
                                                      "mqtts://host:port).").arg(m_config.broker));
        return;
    }
    m_room = m_config.room.trimmed().isEmpty() ? DefaultRoom() : m_config.room.trimmed();
    if (!ValidRoom(m_room)) {
        Warn(QStringLiteral("room"), QStringLiteral("Fleet: \"%1\" cannot be a room name (no '/', '+', '#', not "
                                                    "\"all\").").arg(m_room));
        return;
    }
    const int generation = m_nGeneration;
    FetchPassword(m_config, this, [this, generation, address = *address](std::optional<QString> password, QString error) {
        if (generation != m_nGeneration)
            return;
        if (!password) {
            Warn(QStringLiteral("password"), QStringLiteral("Fleet: %1").arg(error));
            return;
        }
        Connect(address, *password);
    });
}

void FleetLink::Connect(const BrokerAddress& address, const QString& password)
{
    MqttOptions o;
    o.host = address.host;
    o.port = address.port;
    o.tls = address.tls;
    o.caFile = m_config.caFile;
    o.user = m_config.user;
    o.password = password;
    o.clientId = QStringLiteral("qvt-vz1-") + m_room;
    o.willTopic = Topic(m_room, "status");
    o.willPayload = "offline";
    o.subscriptions = {Topic(m_room, "command"), Topic(QLatin1String(kAllRooms), "command"),
                       Topic(QLatin1String(kAllRooms), "settings")};
    m_client = std::make_unique<MqttClient>(std::move(o));
    connect(m_client.get(), &MqttClient::connected, this, &FleetLink::OnConnected);
    connect(m_client.get(), &MqttClient::disconnected, this, [this] {
        qCInfo(lcFleet) << "connection lost; trying again";
        m_bConnected = false;
        Q_EMIT connectedChanged(false);
    });
    connect(m_client.get(), &MqttClient::failed, this, &FleetLink::OnFailed);
    connect(m_client.get(), &MqttClient::message, this, &FleetLink::OnMessage);
    m_client->Start();
}

void FleetLink::OnConnected()
{
    qCInfo(lcFleet) << "connected as room" << m_room;
    m_bConnected = true;
    m_lastWarning.clear();
    m_client->Publish(Topic(m_room, "status"), "online", true);
    if (m_config.homeAssistant)
        for (const auto& [topic, config] : DiscoveryMessages(m_room))
            m_client->Publish(topic, config, true);
    PublishState(true);
    Q_EMIT connectedChanged(true);
}

void FleetLink::OnFailed(MqttFault fault, const QString& detail)
{
    qCInfo(lcFleet) << "no connection:" << detail;
    switch (fault) {
    case MqttFault::Untrusted:
        Warn(QStringLiteral("tls"), QStringLiteral("Fleet: the broker's certificate is not trusted (%1); the controller "
                                                   "does not connect to it.").arg(detail));
        break;
    case MqttFault::NotAuthorized:
        Warn(QStringLiteral("auth"), QStringLiteral("Fleet: the broker refused the user name or password."));
        break;
    case MqttFault::Refused:
        Warn(QStringLiteral("refused"), QStringLiteral("Fleet: the broker refused the connection (%1).").arg(detail));
        break;
    case MqttFault::Unreachable: break;  // tried again with back-off, quietly
    }
}

void FleetLink::Warn(const QString& key, const QString& text)
{
    qCWarning(lcFleet).noquote() << text;
    if (m_lastWarning == key)
        return;
    m_lastWarning = key;
    Q_EMIT balloon(text);
}

void FleetLink::OnMessage(const MqttMessage& message)
{
    if (message.topic == Topic(QLatin1String(kAllRooms), "settings"))
        OnFleetSettings(message);
    else
        OnCommand(message);
}

void FleetLink::OnCommand(const MqttMessage& message)
{
    // Redelivered: the same sender's same correlation (or id) is answered as before.
    QByteArray key;
    remote::Outcome outcome;
    const auto command = ParseCommand(message.payload, message.retained, m_now(), &outcome);
    if (!message.correlation.isEmpty())
        key = message.responseTopic.toUtf8() + '\n' + message.correlation;
    else if (command && !command->id.isEmpty())
        key = message.responseTopic.toUtf8() + '\n' + command->id.toUtf8();
    QByteArray reply;
    for (const auto& [seen, answer] : std::as_const(m_recent))
        if (!key.isEmpty() && seen == key)
            reply = answer;
    if (reply.isEmpty()) {
        if (command)
            outcome = RunCommand(m_actions, *command);
        reply = ReplyJson(outcome);
        m_extras.error = outcome ? outcome->text : QString();
        if (!key.isEmpty()) {
            m_recent.append({key, reply});
            if (m_recent.size() > kRecentCommands)
                m_recent.removeFirst();
        }
        PublishState();
    }
    if (!message.responseTopic.isEmpty() && m_client)
        m_client->Publish(message.responseTopic, reply, false, message.correlation);
}

void FleetLink::OnFleetSettings(const MqttMessage& message)
{
    if (message.payload.isEmpty())
        return;  // the retained file was taken away
    const auto settings = ParseFleetSettings(message.payload);
    if (!settings) {
        Warn(QStringLiteral("fleet-settings"), QStringLiteral("Fleet: the fleet's setting file is not "
                                                              "{\"version\": ..., \"file\": ...}; it is not applied."));
        return;
    }
    if (settings->version == m_config.settingsApplied)
        return;
    m_pendingSettings = settings;
    TryPendingSettings();
}

void FleetLink::TryPendingSettings()
{
    if (!m_pendingSettings)
        return;
    const FleetSettings settings = *m_pendingSettings;
    const remote::Outcome outcome = m_actions.ImportText(settings.file);
    // Tracking on or a window open: applied when the room allows it.
    if (Transient(outcome))
        return;
    m_pendingSettings.reset();
    m_config.settingsApplied = settings.version;
    SaveSettingsApplied(settings.version, m_strProfilePath);
    m_extras.settingsVersion = settings.version;
    m_extras.settingsError = outcome ? QLatin1String(outcome->name) : QString();
    if (outcome)
        m_extras.error = outcome->text;
    PublishState();
}

void FleetLink::PublishState(bool always)
{
    if (!m_bConnected)
        return;
    const QByteArray state = StateJson(m_actions.State(), m_extras);
    if (!always && state == m_lastState)
        return;
    if (m_client->Publish(Topic(m_room, "state"), state, true))
        m_lastState = state;
}

void FleetLink::OnTalker(int direction)
{
    if (!m_bConnected || direction == m_nLastTalker)
        return;
    if (m_client->Publish(Topic(m_room, "talker"), TalkerJson(static_cast<unsigned>(direction))))
        m_nLastTalker = direction;
    PublishState();
}

} // namespace fleet
