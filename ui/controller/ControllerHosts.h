#pragma once
// The controller dialog as the export/import commands and the firmware update procedure see
// it: adapters that map their host interfaces onto the dialog's members and operations.
#include "firmware/FirmwareUpdateHost.h"
#include "settings/SettingFileFlow.h"

class CControllerDlg;

class ControllerSettingFileHost final : public SettingFileHost
{
public:
    explicit ControllerSettingFileHost(CControllerDlg& dlg) : m_dlg(dlg) {}
    QWidget* DialogParent() override;
    void SaveCameraPosition() override;
    void ApplyCameraPosition() override;
    void UpdateControlsAfterImport() override;
    void EnablePositionAndReverse(bool bEnable) override;
    void ShowImportedSetup() override;

private:
    CControllerDlg& m_dlg;
};

class ControllerFirmwareHost final : public FirmwareUpdateHost
{
public:
    explicit ControllerFirmwareHost(CControllerDlg& dlg) : m_dlg(dlg) {}
    QWidget* DialogParent() override;
    QString CameraPort() const override;
    QString FirmwareUrl() const override;
    void DeleteTrayIcon() override;
    void CheckCameraPresence() override;
    void CloseVideoWindow() override;
    void StopTracking() override;
    void CloseCamera() override;
    int OpenCamera() override;
    int StartTracking() override;

private:
    CControllerDlg& m_dlg;
};
