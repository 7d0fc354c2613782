#include "fleet/MqttClient.h"

#include <QMetaObject>

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace fleet {

namespace {

struct LibraryInit
{
    LibraryInit() { mosquitto_lib_init(); }
};

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

} // namespace

// Shared by the client and its thread; the thread may outlive the client by a connect that
// is still under way, so the owner is reached only under the lock.
struct MqttClient::Core
{
    MqttOptions options;
    mosquitto* mosq = nullptr;
    std::mutex lock;
    std::condition_variable wake;
    MqttClient* owner = nullptr;
    bool stop = false;
    bool finished = false;
    std::atomic<bool> up{false};
    int backoffMs = 0;
    std::thread thread;

    template <class F>
    void Tell(F&& f)
    {
        std::lock_guard<std::mutex> guard(lock);
        if (owner)
            QMetaObject::invokeMethod(owner, std::forward<F>(f), Qt::QueuedConnection);
    }

    // Waits the back-off or until asked to stop; false when stopping.
    bool Backoff()
    {
        std::unique_lock<std::mutex> guard(lock);
        wake.wait_for(guard, std::chrono::milliseconds(backoffMs), [this] { return stop; });
        backoffMs = std::min(backoffMs * 2, options.maxBackoffMs);
        return !stop;
    }

    bool Stopping()
    {
        std::lock_guard<std::mutex> guard(lock);
        return stop;
    }

    void Fail(MqttFault fault, const QString& detail)
    {
        Tell([this, fault, detail] { Q_EMIT owner->failed(fault, detail); });
    }

    void Run();
};

void MqttClient::Core::Run()
{
    bool first = true;
    backoffMs = options.firstBackoffMs;
    while (!Stopping()) {
        const int rc = first ? mosquitto_connect_bind_v5(mosq, Utf8(options.host).c_str(), options.port,
                                                         options.keepAliveSeconds, nullptr, nullptr)
                             : mosquitto_reconnect(mosq);
        first = rc != MOSQ_ERR_SUCCESS && first;
        if (rc == MOSQ_ERR_SUCCESS) {
            int loop = MOSQ_ERR_SUCCESS;
            while (loop == MOSQ_ERR_SUCCESS && !Stopping())
                loop = mosquitto_loop(mosq, 200, 1);
            if (Stopping())
                break;
            if (up.exchange(false))
                Tell([this] { Q_EMIT owner->disconnected(); });
            else if (loop == MOSQ_ERR_TLS)
                Fail(MqttFault::Untrusted, QString::fromUtf8(mosquitto_strerror(loop)));
        } else if (rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_TLS_HANDSHAKE) {
            Fail(MqttFault::Untrusted, QString::fromUtf8(mosquitto_strerror(rc)));
        } else {
            Fail(MqttFault::Unreachable, QString::fromUtf8(mosquitto_strerror(rc)));
        }
        if (!Backoff())
            break;
    }
    // The goodbye: the broker drops the will and keeps the retained "offline" sent before.
    mosquitto_disconnect(mosq);
    mosquitto_loop(mosq, 100, 1);
}

MqttClient::MqttClient(MqttOptions options, QObject* parent)
    : QObject(parent), m_core(std::make_shared<Core>())
{
    static LibraryInit init;
    qRegisterMetaType<fleet::MqttMessage>();
    qRegisterMetaType<fleet::MqttFault>();
    m_core->options = std::move(options);
    m_core->owner = this;
}

MqttClient::~MqttClient()
{
    {
        std::lock_guard<std::mutex> guard(m_core->lock);
        m_core->owner = nullptr;
        m_core->stop = true;
    }
    m_core->wake.notify_all();
    if (!m_core->thread.joinable())
        return;
    // Connected: a moment for the goodbye (and what was published just before it) to go out;
    // the loop notices the stop within its 200 ms wait. Not connected: no waiting, as a
    // connect to an address that does not answer may take the system's time-out; the thread
    // then ends on its own and frees the connection after it.
    std::unique_lock<std::mutex> guard(m_core->lock);
    const bool ended = m_core->up
                       && m_core->wake.wait_for(guard, std::chrono::seconds(2), [this] { return m_core->finished; });
    guard.unlock();
    if (ended)
        m_core->thread.join();
    else
        m_core->thread.detach();
}

void MqttClient::Start()
{
    Core& core = *m_core;
    const MqttOptions& o = core.options;
    core.mosq = mosquitto_new(o.clientId.isEmpty() ? nullptr : Utf8(o.clientId).c_str(), true, &core);
    if (!core.mosq) {
        core.Fail(MqttFault::Refused, QStringLiteral("out of memory"));
        return;
    }
    mosquitto_int_option(core.mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    // Publishing happens on the interface thread while the loop runs on ours: the library
    // then hands outgoing packets to the loop instead of writing them where they are sent.
    mosquitto_threaded_set(core.mosq, true);
    if (!o.user.isEmpty())
        mosquitto_username_pw_set(core.mosq, Utf8(o.user).c_str(), o.password.isEmpty() ? nullptr : Utf8(o.password).c_str());
    if (o.tls) {
        if (o.caFile.isEmpty())
            mosquitto_int_option(core.mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        const int rc = mosquitto_tls_set(core.mosq, o.caFile.isEmpty() ? nullptr : Utf8(o.caFile).c_str(),
                                         o.caFile.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            core.Fail(MqttFault::Untrusted, QStringLiteral("cannot use the CA file %1").arg(o.caFile));
            mosquitto_destroy(core.mosq);
            core.mosq = nullptr;
            return;
        }
    }
    if (!o.willTopic.isEmpty())
        mosquitto_will_set_v5(core.mosq, Utf8(o.willTopic).c_str(), static_cast<int>(o.willPayload.size()),
                              o.willPayload.constData(), 1, true, nullptr);

    mosquitto_connect_v5_callback_set(core.mosq, [](mosquitto* m, void* obj, int rc, int, const mosquitto_property*) {
        auto* c = static_cast<Core*>(obj);
        if (rc != 0) {
            const bool auth = rc == MQTT_RC_BAD_USERNAME_OR_PASSWORD || rc == MQTT_RC_NOT_AUTHORIZED
                              || rc == CONNACK_REFUSED_BAD_USERNAME_PASSWORD || rc == CONNACK_REFUSED_NOT_AUTHORIZED;
            c->Fail(auth ? MqttFault::NotAuthorized : MqttFault::Refused, QString::fromUtf8(mosquitto_reason_string(rc)));
            return;
        }
        c->backoffMs = c->options.firstBackoffMs;
        for (const QString& topic : c->options.subscriptions)
            mosquitto_subscribe_v5(m, nullptr, Utf8(topic).c_str(), 1, 0, nullptr);
        c->up = true;
        c->Tell([c] { Q_EMIT c->owner->connected(); });
    });
    mosquitto_message_v5_callback_set(
        core.mosq, [](mosquitto*, void* obj, const mosquitto_message* m, const mosquitto_property* props) {
            auto* c = static_cast<Core*>(obj);
            MqttMessage msg;
            msg.topic = QString::fromUtf8(m->topic);
            msg.payload = QByteArray(static_cast<const char*>(m->payload), m->payloadlen);
            msg.retained = m->retain;
            char* response = nullptr;
            if (mosquitto_property_read_string(props, MQTT_PROP_RESPONSE_TOPIC, &response, false)) {
                msg.responseTopic = QString::fromUtf8(response);
                free(response);
            }
            void* data = nullptr;
            uint16_t length = 0;
            if (mosquitto_property_read_binary(props, MQTT_PROP_CORRELATION_DATA, &data, &length, false)) {
                msg.correlation = QByteArray(static_cast<const char*>(data), length);
                free(data);
            }
            c->Tell([c, msg] { Q_EMIT c->owner->message(msg); });
        });

    core.thread = std::thread([core = m_core] {
        core->Run();
        mosquitto_destroy(core->mosq);
        std::lock_guard<std::mutex> guard(core->lock);
        core->finished = true;
        core->wake.notify_all();
    });
}

bool MqttClient::Publish(const QString& topic, const QByteArray& payload, bool retain, const QByteArray& correlation,
                         const QString& responseTopic)
{
    if (!m_core->mosq || !m_core->up)
        return false;
    mosquitto_property* props = nullptr;
    if (!correlation.isEmpty())
        mosquitto_property_add_binary(&props, MQTT_PROP_CORRELATION_DATA, correlation.constData(),
                                      static_cast<uint16_t>(correlation.size()));
    if (!responseTopic.isEmpty())
        mosquitto_property_add_string(&props, MQTT_PROP_RESPONSE_TOPIC, Utf8(responseTopic).c_str());
    const int rc = mosquitto_publish_v5(m_core->mosq, nullptr, Utf8(topic).c_str(), static_cast<int>(payload.size()),
                                        payload.constData(), 1, retain, props);
    mosquitto_property_free_all(&props);
    return rc == MOSQ_ERR_SUCCESS;
}

} // namespace fleet
