#pragma once
// One MQTT 5 connection to a broker through libmosquitto, on a thread of its own so that a
// dead or slow broker never holds the interface thread. It connects, subscribes, and
// reconnects with a doubling back-off; what happens is told on the thread that created it
// through queued signals. Publishing may be called from that thread at any time.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace fleet {

struct MqttOptions
{
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile;  // empty with tls: the system's certificate store
    QString user;
    QString password;
    QString clientId;
    int keepAliveSeconds = 30;
    // Published by the broker when the connection dies without a goodbye (retained).
    QString willTopic;
    QByteArray willPayload;
    QStringList subscriptions;  // QoS 1 each, again on every connection
    int firstBackoffMs = 1000;
    int maxBackoffMs = 60000;
};

struct MqttMessage
{
    QString topic;
    QByteArray payload;
    bool retained = false;
    QString responseTopic;
    QByteArray correlation;
};

// Why a connection did not come about.
enum class MqttFault
{
    Unreachable,   // no answer at the address, or the connection dropped
    Untrusted,     // TLS: the broker's certificate is not trusted, or the handshake failed
    NotAuthorized, // the broker refused the user name or password
    Refused,       // any other refusal in the broker's answer
};

class MqttClient : public QObject
{
    Q_OBJECT

public:
    explicit MqttClient(MqttOptions options, QObject* parent = nullptr);
    // A goodbye to the broker when connected (so the will is not sent), then the thread ends.
    ~MqttClient() override;

    void Start();
    // QoS 1. False when the message could not be queued (not connected).
    bool Publish(const QString& topic, const QByteArray& payload, bool retain = false,
                 const QByteArray& correlation = {}, const QString& responseTopic = {});

Q_SIGNALS:
    void connected();
    void disconnected();
    void failed(fleet::MqttFault fault, const QString& detail);
    void message(const fleet::MqttMessage& message);

public:
    struct Core;

private:
    std::shared_ptr<Core> m_core;
};

} // namespace fleet

Q_DECLARE_METATYPE(fleet::MqttMessage)
