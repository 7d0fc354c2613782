#include "ui/controller/ControllerHosts.h"

#include "controller/ControllerSession.h"
#include "firmware/FirmwareAddress.h"
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
            // has finished.
            QObject::connect(&dlg, &CFirmwareUpdateDlg::updateFinished, &dlg, [&dlg] { dlg.done(IDOK); });
            QTimer::singleShot(0, &dlg, [&dlg, &path] {
                // The download source for a web address, the file source for a file.
                dlg.SourceButton(IsFirmwareWebAddress(path) ? 0 : 1)->setChecked(true);
                dlg.OnStart();
            });
            dlg.exec();
            result = dlg.GetResult();
            if (status)
                *status = dlg.GetStatus();
        },
        &services);
    return result;
}
