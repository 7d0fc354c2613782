#pragma once
// The controller as the firmware update procedure sees it: the session's port and address,
// the session borrowing and returning the camera, and the dialog as the update's parent.
#include "firmware/FirmwareUpdateHost.h"

class ControllerSession;

class ControllerFirmwareHost final : public FirmwareUpdateHost
{
public:
    ControllerFirmwareHost(ControllerSession& session, QWidget* parent) : m_session(session), m_pParent(parent) {}
    QWidget* DialogParent() override { return m_pParent; }
    QString CameraPort() const override;
    QString FirmwareUrl() const override;
    void BorrowCamera() override;
    void ReturnCamera() override;

private:
    ControllerSession& m_session;
    QWidget* m_pParent;
};

// The firmware update from the file at path, without a person: the update dialog started
// as a user would (the file source, Start) and closed when it has finished. FW_RESULT_* and
// the dialog's last status in *status; -1 when the camera is not there or does not tell its
// version (nothing was touched).
int RunFirmwareUpdateFrom(FirmwareUpdateHost& host, const QString& path, QString* status);
