#pragma once
// The controller on the session bus: org.qvtvz1.Controller1 at /org/qvtvz1/Controller. Every
// method runs on the interface thread through the handlers the dialog's controls use, under
// the same conditions the controls are usable in, and answers a refusal with an error reply.
// The properties follow the controller; a change is announced with PropertiesChanged.
#include "app/remote/RemoteState.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class CControllerDlg;
class ControlPage;

namespace remote {

class RemoteControl : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.qvtvz1.Controller1")
    Q_PROPERTY(bool CameraPresent READ CameraPresent)
    Q_PROPERTY(QString CameraMode READ CameraMode)
    Q_PROPERTY(QString Page READ Page)
    Q_PROPERTY(uint DeviceKind READ DeviceKind)
    Q_PROPERTY(bool Tracking READ Tracking)
    Q_PROPERTY(uint Direction READ Direction)
    Q_PROPERTY(uint TalkerDirection READ TalkerDirection)
    Q_PROPERTY(QString FirmwareVersion READ FirmwareVersion)

public:
    // Follows dlg and the application's main window (the frame that relays to it).
    RemoteControl(CControllerDlg& dlg, QDBusConnection bus);
    ~RemoteControl() override;

    // Asked before hiding the dialog: false when hiding would end the program (no tray).
    void SetCanHide(std::function<bool()> canHide) { m_canHide = std::move(canHide); }

    // Exports the object and takes the bus name; false (and nothing exported) when there is
    // no bus or another process holds the name.
    bool Register();

    bool CameraPresent() { return Current().cameraPresent; }
    QString CameraMode() { return CameraModeName(Current().cameraMode); }
    QString Page() { return PageName(Current().page); }
    uint DeviceKind() { return Current().deviceKind; }
    bool Tracking() { return Current().tracking; }
    uint Direction() { return Current().direction; }
    uint TalkerDirection() { return Current().talkerDirection; }
    QString FirmwareVersion() { return Current().firmwareVersion; }

public Q_SLOTS:
    void ShowController();
    void HideController();
    void SetTracking(bool on);
    void SelectDirection(uint direction);
    void GoToDirection(uint direction);
    void ViewButton(uint button);
    void SelectPage(const QString& page);
    void Drive(const QString& direction, uint milliseconds);
    void Stop();
    void ExportSettings(const QString& path);
    void ImportSettings(const QString& path);
    void UpdateFirmware(const QString& path);

Q_SIGNALS:
    // Every direction the tracking worker posts (255: nobody speaks).
    void TalkerChanged(uint direction);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Refusal
    {
        const char* name;
        QString text;
    };
    using Outcome = std::optional<Refusal>;

    Outcome DoShow();
    Outcome DoSetTracking(bool on);
    Outcome DoSelectDirection(uint direction);
    Outcome DoGoToDirection(uint direction);
    Outcome DoViewButton(uint button);
    Outcome DoSelectPage(const QString& page);
    Outcome DoDrive(const QString& direction, uint milliseconds);
    Outcome DoExport(const QString& path);
    Outcome DoImport(const QString& path);
    Outcome DoUpdateFirmware(const QString& path);

    // Busy while a window of the program waits for an answer (firmware update, a question, a
    // file dialog, the settings or About box): what it is about must not change under it.
    Outcome CheckNotBusy() const;
    Outcome CheckCamera() const;
    // The Auto page in Upside or Front with a speakerphone: where the selector is shown.
    Outcome CheckSelectorShown() const;
    Outcome CheckFilePath(const QString& path) const;
    // Sends the error reply of a refusal and brings the properties up to date.
    void Answer(const Outcome& outcome);

    ControlPage& CurrentPage() const;
    void ReleaseDrive();
    const RemoteState& Current();
    RemoteState Read();
    void Refresh();
    void ScheduleRefresh();

    CControllerDlg& m_dlg;
    QDBusConnection m_bus;
    QObject* m_pMainWnd;
    bool m_bRegistered = false;
    RemoteState m_state;
    uint m_nTalker = 255;
    bool m_bVersionStale = true;
    int m_nHeldButton = 0;
    QTimer m_driveTimer;
    QTimer m_refreshTimer;
    std::function<bool()> m_canHide;
};

} // namespace remote
