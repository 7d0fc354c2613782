#pragma once
// The controller on its fleet's MQTT broker: the room's state, talker and availability out,
// commands in through the same remote actions as the session bus, the fleet-wide setting
// file, and the Home Assistant announcements. Off while the profile names no broker.
#include "app/remote/RemoteActions.h"
#include "fleet/FleetConfig.h"
#include "fleet/FleetMessages.h"
#include "fleet/MqttClient.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fleet {

class FleetLink : public QObject
{
    Q_OBJECT

public:
    // now: the wall clock in ms since 1970, by which stale commands are known.
    FleetLink(remote::RemoteActions& actions, std::string profilePath, std::function<qint64()> now = {},
              QObject* parent = nullptr);
    // Says "offline" to the broker before leaving it.
    ~FleetLink() override;

    // Reads the profile's Fleet section and connects anew (or stays off without a broker).
    void Restart();
    bool Connected() const { return m_bConnected; }

Q_SIGNALS:
    // A problem the user must know about (a refused password or certificate, a bad setting).
    void balloon(const QString& text);
    void connectedChanged(bool connected);

private:
    void Stop();
    void Connect(const BrokerAddress& address, const QString& password);
    void OnConnected();
    void OnFailed(MqttFault fault, const QString& detail);
    void OnMessage(const MqttMessage& message);
    void OnCommand(const MqttMessage& message);
    void OnFleetSettings(const MqttMessage& message);
    void TryPendingSettings();
    void PublishState(bool always = false);
    void OnTalker(int direction);
    void Warn(const QString& key, const QString& text);

    remote::RemoteActions& m_actions;
    std::string m_strProfilePath;
    std::function<qint64()> m_now;
    FleetConfig m_config;
    QString m_room;
    std::unique_ptr<MqttClient> m_client;
    bool m_bConnected = false;
    QString m_lastWarning;          // one balloon per problem until it goes away
    QByteArray m_lastState;
    int m_nLastTalker = -1;
    StateExtras m_extras;
    std::optional<FleetSettings> m_pendingSettings;
    // Commands answered lately, by sender and correlation, with their replies: a
    // redelivered one is answered again, not done again.
    QList<QPair<QByteArray, QByteArray>> m_recent;
    int m_nGeneration = 0;  // a password lookup that ends after a restart is dropped
};

} // namespace fleet
