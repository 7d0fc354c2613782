#include "ui/settings/FleetGroup.h"

#include "fleet/FleetPassword.h"

#include "res/Strings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

constexpr UINT kFleetTitle = 36900, kFleetBroker = 36901, kFleetRoom = 36902, kFleetUser = 36903, kFleetPassword = 36904,
               kFleetPasswordFile = 36905, kFleetCaFile = 36906, kFleetHomeAssistant = 36907, kFleetBadBroker = 36908, kFleetBadRoom = 36909;

} // namespace

CFleetGroup::CFleetGroup(QWidget* parent) : QGroupBox(LoadStringRes(kFleetTitle), parent)
{
    auto* form = new QFormLayout(this);
    const auto line = [&](UINT label, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setPlaceholderText(placeholder);
        form->addRow(LoadStringRes(label), edit);
        return edit;
    };
    m_editBroker = line(kFleetBroker, QStringLiteral("mqtts://broker:8883"));
    m_editRoom = line(kFleetRoom, fleet::DefaultRoom());
    m_editUser = line(kFleetUser, {});
    m_editPassword = line(kFleetPassword, {});
    m_editPassword->setEchoMode(QLineEdit::Password);
    m_editPasswordFile = line(kFleetPasswordFile, {});
    m_editCaFile = line(kFleetCaFile, {});
    m_checkHomeAssistant = new QCheckBox(LoadStringRes(kFleetHomeAssistant), this);
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
        return LoadStringRes(kFleetBadBroker);
    if (!c.room.isEmpty() && !fleet::ValidRoom(c.room))
        return LoadStringRes(kFleetBadRoom);
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
