#pragma once
// The controller on the session bus: org.qvtvz1.Controller1 at /org/qvtvz1/Controller. Every
// method runs on the interface thread through the session's handlers, which the dialog's
// controls use too, refused by the same rules that grey those controls, with an error
// reply. The properties follow the session's signals; a change is announced with
// PropertiesChanged.
#include "app/remote/RemoteState.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QTimer>

#include <optional>

class ControllerSession;
class ControllerWindows;

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
    RemoteControl(ControllerSession& session, ControllerWindows& windows, QDBusConnection bus);
    ~RemoteControl() override;

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
    void ShowVideo(bool on);
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

    void ReleaseDrive();
    const RemoteState& Current();
    RemoteState Read();
    void Refresh();

    ControllerSession& m_session;
    ControllerWindows& m_windows;
    QDBusConnection m_bus;
    bool m_bRegistered = false;
    RemoteState m_state;
    int m_nHeldButton = 0;
    QTimer m_driveTimer;
};

} // namespace remote
