#include "ui/controller/ControllerHosts.h"

#include "ui/controller/ControllerDlg.h"
#include "ui/controller/TrayFrameOperations.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

TrayMessageTarget* MainFrameTrayMessages()
{
    return dynamic_cast<TrayMessageTarget*>(AfxGetMainWnd());
}

TrayFrameOperations* MainFrameOperations()
{
    return dynamic_cast<TrayFrameOperations*>(AfxGetMainWnd());
}

// --- Export and import ------------------------------------------------------------------

QWidget* ControllerSettingFileHost::DialogParent()
{
    return &m_dlg;
}

void ControllerSettingFileHost::SaveCameraPosition()
{
    m_dlg.SaveCameraPosition();
}

void ControllerSettingFileHost::ApplyCameraPosition()
{
    m_dlg.ApplyCameraPosition(FALSE);
}

void ControllerSettingFileHost::UpdateControlsAfterImport()
{
    m_dlg.m_autoPage.UpdateControls();
    m_dlg.UpdateControlStates();
}

void ControllerSettingFileHost::EnablePositionAndReverse(bool bEnable)
{
    // The boxes stay as locked as the device box: an import on the Manual page must not
    // offer a distance change there, which would reload the factory presets.
    if (bEnable) {
        m_dlg.UpdateControlStates();
        return;
    }
    m_dlg.m_cbPosition->setEnabled(bEnable);
    m_dlg.m_btnReverse->setEnabled(bEnable);
    m_dlg.m_stPosition->setEnabled(bEnable);
}

void ControllerSettingFileHost::ShowImportedSetup()
{
    m_dlg.UpdateData(FALSE);
    const int index = m_dlg.m_cbDevice->findData(m_dlg.m_nDeviceKind);
    if (index >= 0)
        m_dlg.m_cbDevice->setCurrentIndex(index);
    m_dlg.m_autoPage.SetDeviceKind(m_dlg.m_nDeviceKind);
    m_dlg.RecalcLayout();
}

// --- Firmware update --------------------------------------------------------------------

QWidget* ControllerFirmwareHost::DialogParent()
{
    return &m_dlg;
}

QString ControllerFirmwareHost::CameraPort() const
{
    return m_dlg.m_strCameraPort;
}

QString ControllerFirmwareHost::FirmwareUrl() const
{
    return m_dlg.m_strFirmwareURL;
}

void ControllerFirmwareHost::DeleteTrayIcon()
{
    // The update starts here: the frame goes quiet before the camera is closed.
    if (TrayFrameOperations* frame = MainFrameOperations()) {
        frame->SetFirmwareUpdating(TRUE);
        frame->DeleteTrayIcon();
    }
}

void ControllerFirmwareHost::CheckCameraPresence()
{
    if (TrayFrameOperations* frame = MainFrameOperations()) {
        frame->SetFirmwareUpdating(FALSE);
        frame->CheckCameraPresence(TRUE);
    }
}

void ControllerFirmwareHost::CloseVideoWindow()
{
    m_dlg.CloseVideoWindow();
}

void ControllerFirmwareHost::StopTracking()
{
    m_dlg.StopTracking();
}

void ControllerFirmwareHost::CloseCamera()
{
    m_dlg.CloseCamera();
}

int ControllerFirmwareHost::OpenCamera()
{
    // The camera comes back from its restart as a new device, possibly on another port:
    // looked up again, as after a plug-in, instead of opening the one it had.
    m_dlg.FindCameraPort();
    return m_dlg.OpenCamera();
}

int ControllerFirmwareHost::StartTracking()
{
    return m_dlg.StartTracking();
}
