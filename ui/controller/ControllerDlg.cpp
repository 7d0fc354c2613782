#include "ui/controller/ControllerDlg.h"

#include "camera/QvtVz1Api.h"

#include <cstring>

CControllerDlg::CControllerDlg(QWidget* parent) : QDialog(parent) {}

CControllerDlg::~CControllerDlg() = default;

BOOL CControllerDlg::Create()
{
    setWindowTitle(QStringLiteral("QVT-VZ1 Controller"));
    return TRUE;
}

int CControllerDlg::FindCameraPort()
{
    char buf[20];
    std::memset(buf, 0, sizeof buf);
    const int found = CamFindPort(buf);
    if (found == 1)
        m_strCameraPort = QString::fromLocal8Bit(buf, static_cast<int>(strnlen(buf, sizeof buf)));
    return found;
}

int CControllerDlg::OpenCamera()
{
    return 0;
}

void CControllerDlg::CloseCamera()
{
    CamClose();
}

void CControllerDlg::SaveCameraPosition() {}

int CControllerDlg::StartTracking()
{
    return 0;
}

void CControllerDlg::StopTracking() {}

void CControllerDlg::SetTopMost(BOOL topMost, BOOL force)
{
    if (!force && (topMost != 0) == (m_bAlwaysOnTop != 0))
        return;
    m_bAlwaysOnTop = topMost ? 1 : 0;
    setWindowFlag(Qt::WindowStaysOnTopHint, m_bAlwaysOnTop != 0);
}

LRESULT CControllerDlg::WindowProc(UINT, WPARAM, LPARAM)
{
    return 0;
}

bool CControllerDlg::event(QEvent* e)
{
    if (DispatchWinMessage(e, this))
        return true;
    return QDialog::event(e);
}
