#pragma once
// The controller dialog: the program's one visible main window, owned by the hidden frame.
#include "platform/WinMessage.h"

#include <QDialog>
#include <QString>

class CControllerDlg : public QDialog, public CMessageTarget
{
public:
    explicit CControllerDlg(QWidget* parent = nullptr);
    ~CControllerDlg() override;

    // Creates the window content hidden and reads the saved values (OnInitDialog).
    BOOL Create();

    // Camera side, called by the frame's connection handling.
    int FindCameraPort();
    int OpenCamera();
    void CloseCamera();
    void SaveCameraPosition();

    // Tracking worker.
    int StartTracking();
    void StopTracking();

    BOOL GetAlwaysOnTop() const { return m_bAlwaysOnTop; }
    void SetTopMost(BOOL topMost, BOOL force);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool event(QEvent* e) override;

public:
    int m_bAlwaysOnTop = 0;
    QString m_strCameraPort;
};
