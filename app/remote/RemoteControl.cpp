#include "app/remote/RemoteControl.h"

#include "app/remote/RemoteNames.h"
#include "controller/ControllerSession.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRemote, "qvt.remote", QtWarningMsg)

namespace remote {

RemoteControl::RemoteControl(RemoteActions& actions, QDBusConnection bus)
    : m_actions(actions), m_session(actions.Session()), m_bus(std::move(bus))
{
    connect(&m_session, &ControllerSession::stateChanged, this, [this] { Refresh(); });
    connect(&m_session, &ControllerSession::talkerDirection, this, [this](int direction) {
        Q_EMIT TalkerChanged(static_cast<uint>(direction));
        Refresh();
    });
    m_state = Read();
}

RemoteControl::~RemoteControl()
{
    if (m_bRegistered) {
        m_bus.unregisterService(QLatin1String(kService));
        m_bus.unregisterObject(QLatin1String(kPath));
    }
}

bool RemoteControl::Register()
{
    if (!m_bus.isConnected()) {
        qCInfo(lcRemote) << "no session bus: no remote control";
        return false;
    }
    if (!m_bus.registerObject(QLatin1String(kPath), this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                                  | QDBusConnection::ExportAllProperties)) {
        qCWarning(lcRemote) << "cannot export" << kPath;
        return false;
    }
    if (!m_bus.registerService(QLatin1String(kService))) {
        qCWarning(lcRemote) << "the bus name" << kService << "is taken";
        m_bus.unregisterObject(QLatin1String(kPath));
        return false;
    }
    m_bRegistered = true;
    return true;
}

// --- Methods ----------------------------------------------------------------------------

void RemoteControl::ShowController() { Answer(m_actions.Show()); }
void RemoteControl::HideController() { Answer(m_actions.Hide()); }
void RemoteControl::ShowVideo(bool on) { Answer(m_actions.ShowVideo(on)); }
void RemoteControl::SetTracking(bool on) { Answer(m_actions.SetTracking(on)); }
void RemoteControl::SelectDirection(uint direction) { Answer(m_actions.SelectDirection(direction)); }
void RemoteControl::GoToDirection(uint direction) { Answer(m_actions.GoToDirection(direction)); }
void RemoteControl::ViewButton(uint button) { Answer(m_actions.ViewButton(button)); }
void RemoteControl::SelectPage(const QString& page) { Answer(m_actions.SelectPage(page)); }
void RemoteControl::Drive(const QString& direction, uint milliseconds) { Answer(m_actions.Drive(direction, milliseconds)); }
void RemoteControl::Stop() { Answer(m_actions.Stop()); }
void RemoteControl::ExportSettings(const QString& path) { Answer(m_actions.Export(path)); }
void RemoteControl::ImportSettings(const QString& path) { Answer(m_actions.Import(path)); }
void RemoteControl::UpdateFirmware(const QString& path) { Answer(m_actions.UpdateFirmware(path)); }

void RemoteControl::Answer(const Outcome& outcome)
{
    if (outcome && calledFromDBus())
        sendErrorReply(QLatin1String(kErrorPrefix) + QLatin1String(outcome->name), outcome->text);
    Refresh();
}

// --- Properties -------------------------------------------------------------------------

const RemoteState& RemoteControl::Current()
{
    Refresh();
    return m_state;
}

RemoteState RemoteControl::Read()
{
    return m_actions.State();
}

void RemoteControl::Refresh()
{
    const RemoteState now = Read();
    const QStringList changed = ChangedProperties(m_state, now);
    m_state = now;
    if (changed.isEmpty() || !m_bRegistered)
        return;
    const QVariantMap all = Properties(now);
    QVariantMap values;
    for (const QString& name : changed)
        values.insert(name, all.value(name));
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(kInterface) << values << QStringList();
    m_bus.send(signal);
}

} // namespace remote
