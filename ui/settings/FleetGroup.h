#pragma once
// The settings dialog's "Fleet" group: the broker, the room's name, the user and password
// (the password goes to the secret store, or stays in the password file named here), the CA
// file and the Home Assistant announcements. Empty broker: no fleet.
#include "fleet/FleetConfig.h"

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;

class CFleetGroup : public QGroupBox
{
public:
    explicit CFleetGroup(QWidget* parent = nullptr);

    void SetConfig(const fleet::FleetConfig& config);
    fleet::FleetConfig Config() const;
    // The password typed in; empty: the stored one is kept.
    QString NewPassword() const;
    // Why the values cannot be kept (a broker address or room name that cannot be used);
    // empty when they can.
    QString Problem() const;

private:
    QLineEdit* m_editBroker = nullptr;
    QLineEdit* m_editRoom = nullptr;
    QLineEdit* m_editUser = nullptr;
    QLineEdit* m_editPassword = nullptr;
    QLineEdit* m_editPasswordFile = nullptr;
    QLineEdit* m_editCaFile = nullptr;
    QCheckBox* m_checkHomeAssistant = nullptr;
    fleet::FleetConfig m_kept;  // what the group does not show
};

// Saves the group's values in the profile and the password in the secret store; true when
// anything changed, so that the link starts anew.
bool ApplyFleetGroup(const CFleetGroup& group, const std::string& profilePath);
