#include "firmware/FirmwareUpdateProcedure.h"

#include "camera/QvtVz1Api.h"
#include "firmware/FirmwareUpdateDlg.h"
#include "res/Strings.h"

#include <cstring>

namespace {
constexpr UINT IDS_CAMERA_NOT_CONNECTED = 35016;
constexpr UINT IDS_FW_NO_VERSION = 35025;
} // namespace

bool RunFirmwareUpdate(FirmwareUpdateHost& host, const ShowFirmwareDialog& show, FirmwareUpdateServices* services)
{
    CFirmwareUpdateDlg dlg(host.DialogParent(), services);

    // With services handed in nobody sits at the screen to close a message box: the caller
    // reports the refusal.
    if (!CamIsPresent()) {
        if (!services)
            AfxMessageBox(IDS_CAMERA_NOT_CONNECTED, MB_OK | MB_ICONSTOP);
        return false;
    }
    char version[32];
    std::memset(version, 0, sizeof version);
    if (!CamGetFirmwareVersion(version)) {
        if (!services)
            AfxMessageBox(IDS_FW_NO_VERSION, MB_OK | MB_ICONSTOP);
        return false;
    }
    version[sizeof version - 1] = 0;  // whatever the library left, the text ends here

    dlg.m_strCurrentVersion = QString::fromLatin1(version);
    dlg.m_strPortName = host.CameraPort();
    dlg.m_strDownloadUrl = host.FirmwareUrl();

    host.BorrowCamera();

    if (show)
        show(dlg);
    else
        dlg.exec();

    host.ReturnCamera();
    return true;
}
