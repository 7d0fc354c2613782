#include "ui/settings/FleetGroup.h"

#include "fleet/FleetPassword.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

CFleetGroup::CFleetGroup(QWidget* parent) : QGroupBox(tr("Fleet"), parent)
{
    auto* form = new QFormLayout(this);
    const auto line = [&](const QString& label, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setPlaceholderText(placeholder);
        form->addRow(label, edit);
        return edit;
    };
    m_editBroker = line(tr("Broker:"), tr("mqtts://broker.example:8883 (empty: no fleet)"));
    m_editRoom = line(tr("Room:"), fleet::DefaultRoom());
    m_editUser = line(tr("User name:"), QString());
    m_editPassword = line(tr("Password:"), tr("(kept in the secret store)"));
    m_editPassword->setEchoMode(QLineEdit::Password);
    m_editPasswordFile = line(tr("Password file:"), tr("(only without a secret store)"));
    m_editCaFile = line(tr("CA file:"), tr("(the system's certificates)"));
    m_checkHomeAssistant = new QCheckBox(tr("Announce the room to Home Assistant"), this);
    form->addRow(m_checkHomeAssistant);
}

void CFleetGroup::SetConfig(const fleet::FleetConfig& config)
{
    m_kept = config;
    m_editBroker->setText(config.broker);
    m_editRoom->setText(config.room);
    m_editUser->setText(config.user);
    m_editPasswordFile->setText(config.passwordFile);
    m_editCaFile->setText(config.caFile);
    m_checkHomeAssistant->setChecked(config.homeAssistant);
}

fleet::FleetConfig CFleetGroup::Config() const
{
    fleet::FleetConfig c = m_kept;
    c.broker = m_editBroker->text().trimmed();
    c.room = m_editRoom->text().trimmed();
    c.user = m_editUser->text().trimmed();
    c.passwordFile = m_editPasswordFile->text().trimmed();
    c.caFile = m_editCaFile->text().trimmed();
    c.homeAssistant = m_checkHomeAssistant->isChecked();
    return c;
}

QString CFleetGroup::NewPassword() const
{
    return m_editPassword->text();
}

QString CFleetGroup::Problem() const
{
    const fleet::FleetConfig c = Config();
    if (!c.broker.isEmpty() && !fleet::ParseBroker(c.broker))
        return tr("The broker is mqtt://host:port or mqtts://host:port.");
    if (!c.room.isEmpty() && !fleet::ValidRoom(c.room))
        return tr("A room name has no '/', '+' or '#' and is not \"all\".");
    return {};
}

bool ApplyFleetGroup(const CFleetGroup& group, const std::string& profilePath)
{
    const fleet::FleetConfig before = fleet::LoadFleetConfig(profilePath);
    const fleet::FleetConfig after = group.Config();
    const bool newPassword = !group.NewPassword().isEmpty();
    if (newPassword)
        fleet::StorePassword(after, group.NewPassword());
    if (after == before)
        return newPassword;
    fleet::SaveFleetConfig(after, profilePath);
    return true;
}
