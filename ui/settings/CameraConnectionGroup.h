#pragma once
// The "Camera" group of the settings dialog: the QVT-VZ1 on USB, a VISCA camera on a
// serial port or on the network, its model and framing, a USB camera (UVC) by its capture
// node, and a Test button that opens the connection once and shows what answered.
#include "camera/CameraConnection.h"
#include "camera/CameraConnectionApi.h"
#include "camera/CameraProbeRunner.h"
#include "platform/WinTypes.h"

#include <QGroupBox>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class CCameraConnectionGroup : public QGroupBox
{
public:
    explicit CCameraConnectionGroup(QWidget* parent = nullptr);

    void SetValue(const CameraConnection& connection);
    // The controls' connection; the custom ranges and what the controls do not show are
    // kept from SetValue.
    CameraConnection Value() const;
    // 0 when the value can be used, else the id of the text that says what is missing.
    UINT MissingInput() const;
    // Opens the connection once (the Test button) and shows the answer. The open camera is
    // asked at once; another is asked on a thread of its own, the answer shown when it
    // comes (Testing() until then).
    void OnTest();
    bool Testing() const;
    QString TestResult() const;

    // The serial ports to offer: /dev/serial/by-id/*, /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*.
    static QStringList SerialPorts();
    // The USB cameras to offer (name, node), from devDir (/dev).
    void ListUvcDevices(const std::string& devDir);

private:
    void ShowProbe(const CameraProbe& probe);
    void UpdateStates();
    void OnTransportChanged();
    void SetUvcDevice(const QString& path);
    QString UvcDevicePath() const;

    CameraConnection m_value;
    QButtonGroup* m_kinds = nullptr;
    QRadioButton* m_radioUsb = nullptr;
    QRadioButton* m_radioSerial = nullptr;
    QRadioButton* m_radioNetwork = nullptr;
    QRadioButton* m_radioUvc = nullptr;
    QComboBox* m_cbUvcDevice = nullptr;
    QComboBox* m_cbSerialPort = nullptr;
    QComboBox* m_cbSpeed = nullptr;
    QLineEdit* m_editHost = nullptr;
    QSpinBox* m_spinPort = nullptr;
    QComboBox* m_cbTransport = nullptr;
    QSpinBox* m_spinAddress = nullptr;
    QComboBox* m_cbModel = nullptr;
    QComboBox* m_cbFraming = nullptr;
    QLineEdit* m_editVideoStream = nullptr;
    QPushButton* m_btnTest = nullptr;
    QLabel* m_labelResult = nullptr;
    int m_lastTransport = 0;
    // The Test of a camera that is not the open one; going, it waits for a probe under way.
    CameraProbeRunner m_probe{CamProbeOnOwnLink};
};
