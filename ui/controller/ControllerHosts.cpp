#include "ui/controller/ControllerHosts.h"

#include "controller/ControllerSession.h"
#include "firmware/FirmwareUpdateDlg.h"
#include "firmware/FirmwareUpdateProcedure.h"
#include "firmware/NamedFileFirmwareServices.h"
#include "platform/Prompt.h"

#include <QRadioButton>
#include <QTimer>

QString ControllerFirmwareHost::CameraPort() const
{
    return m_session.CameraPort();
}

QString ControllerFirmwareHost::FirmwareUrl() const
{
    return m_session.FirmwareUrl();
}

void ControllerFirmwareHost::BorrowCamera()
{
    m_session.BorrowCamera();
}

void ControllerFirmwareHost::ReturnCamera()
{
    m_session.ReturnCamera();
}

int RunFirmwareUpdateFrom(FirmwareUpdateHost& host, const QString& path, QString* status)
{
    NamedFileFirmwareServices services(path);
    int result = -1;
    RunFirmwareUpdate(
        host,
        [&](CFirmwareUpdateDlg& dlg) {
            // Started as a user would (the file source, Start) once it shows; closed when it
            // has finished, looked at every 100 ms while it runs.
            QTimer finished;
            finished.setInterval(100);
            QObject::connect(&finished, &QTimer::timeout, &dlg, [&dlg] {
                if (dlg.GetState() == FwFinished)
                    dlg.done(IDOK);
            });
            QTimer::singleShot(0, &dlg, [&dlg, &finished] {
                dlg.SourceButton(1)->setChecked(true);
                dlg.OnStart();
                finished.start();
            });
            dlg.exec();
            result = dlg.GetResult();
            if (status)
                *status = dlg.GetStatus();
        },
        &services);
    return result;
}
