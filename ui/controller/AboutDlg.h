#pragma once
// The About box: program and driver versions and the camera's firmware version.
#include <QDialog>
#include <QString>

class QLabel;

class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Shows m_strVersion in the firmware line and puts the box above other windows.
    void OnInitDialog();

    // The firmware line for the open camera: "QVT-VZ1 Firmware Ver.<version>", with
    // "Unknown" when the camera does not tell its version.
    static QString FirmwareVersionLine();

    QString m_strVersion;
    QLabel* m_stVersion;  // control 1015
};

// The About box while it is open, else null: a top-most controller keeps it above itself.
extern CAboutDlg* g_pAboutDlg;

// Puts w into the top-most band, or takes it out, without moving or resizing it.
void SetWindowTopMost(QWidget* w, bool topMost);
