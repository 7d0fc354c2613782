#include "ui/settings/CameraConnectionGroup.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "camera/uvc/UvcNodeList.h"
#include "res/CameraStrings.h"
#include "res/Strings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSpeeds[] = {9600, 19200, 38400, 115200};

} // namespace

CCameraConnectionGroup::CCameraConnectionGroup(QWidget* parent)
    : QGroupBox(LoadStringRes(kStrCameraGroup), parent)
{
    setObjectName(QStringLiteral("CameraGroup"));
    m_radioUsb = new QRadioButton(LoadStringRes(kStrCameraUsb), this);
    m_radioSerial = new QRadioButton(LoadStringRes(kStrCameraSerial), this);
    m_radioNetwork = new QRadioButton(LoadStringRes(kStrCameraNetwork), this);
    m_kinds = new QButtonGroup(this);
    m_kinds->addButton(m_radioUsb, 0);
    m_kinds->addButton(m_radioSerial, 1);
    m_kinds->addButton(m_radioNetwork, 2);
    m_radioUvc = new QRadioButton(LoadStringRes(kStrCameraUvc), this);
    m_kinds->addButton(m_radioUvc, 3);
    m_cbUvcDevice = new QComboBox(this);
    m_cbUvcDevice->setEditable(true);  // any path, typed: the virtual camera's node too
    m_cbUvcDevice->setObjectName(QStringLiteral("UvcDevice"));
    m_cbUvcDevice->setInsertPolicy(QComboBox::NoInsert);

    m_cbSerialPort = new QComboBox(this);
    m_cbSerialPort->setEditable(true);  // any path, typed
    m_cbSerialPort->addItems(SerialPorts());
    m_cbSerialPort->setObjectName(QStringLiteral("SerialPort"));
    m_cbSpeed = new QComboBox(this);
    for (int speed : kSpeeds)
        m_cbSpeed->addItem(QString::number(speed), speed);

    m_editHost = new QLineEdit(this);
    m_editHost->setObjectName(QStringLiteral("Host"));
    m_spinPort = new QSpinBox(this);
    m_spinPort->setRange(1, 65535);
    m_spinPort->setObjectName(QStringLiteral("NetworkPort"));
    m_cbTransport = new QComboBox(this);
    for (UINT id : {kStrTransportViscaIp, kStrTransportTcp, kStrTransportUdp})
        m_cbTransport->addItem(LoadStringRes(id));
    m_spinAddress = new QSpinBox(this);
    m_spinAddress->setRange(1, 7);

    m_cbModel = new QComboBox(this);
    UINT nameId = kStrFirstModelName;
    for (const ViscaModel& m : BuiltInModels())
        if (!m.vendorFrames)
            m_cbModel->addItem(LoadStringRes(nameId++), QString::fromStdString(m.id));
    m_cbModel->addItem(LoadStringRes(kStrModelCustom), QStringLiteral("custom"));
    m_cbModel->setToolTip(LoadStringRes(kStrCustomRanges));
    m_cbFraming = new QComboBox(this);
    m_cbFraming->addItem(LoadStringRes(kStrFramingAll));
    m_cbFraming->addItem(LoadStringRes(kStrFramingOne));

    m_btnTest = new QPushButton(LoadStringRes(kStrCameraTest), this);
    m_btnTest->setObjectName(QStringLiteral("Test"));
    m_btnTest->setAutoDefault(false);
    m_labelResult = new QLabel(this);
    m_labelResult->setWordWrap(true);
    m_labelResult->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // Long device paths must not widen the dialog beyond a small screen; the fixed choices
    // are shown whole, in every language.
    m_cbSerialPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cbSerialPort->setMinimumContentsLength(12);
    m_cbUvcDevice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cbUvcDevice->setMinimumContentsLength(12);
    for (QComboBox* box : {m_cbTransport, m_cbModel, m_cbFraming})
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Label and field pairs, two to a row, so that the group stays low.
    auto* grid = new QGridLayout;
    const auto label = [this](UINT id) { return new QLabel(LoadStringRes(id), this); };
    grid->addWidget(m_radioUsb, 0, 0, 1, 4);
    grid->addWidget(m_radioSerial, 1, 0, 1, 4);
    grid->addWidget(label(kStrCameraPort), 2, 0);
    grid->addWidget(m_cbSerialPort, 2, 1);
    grid->addWidget(label(kStrCameraSpeed), 2, 2);
    grid->addWidget(m_cbSpeed, 2, 3);
    grid->addWidget(m_radioNetwork, 3, 0, 1, 4);
    grid->addWidget(label(kStrCameraHost), 4, 0);
    grid->addWidget(m_editHost, 4, 1);
    grid->addWidget(label(kStrCameraPort), 4, 2);
    grid->addWidget(m_spinPort, 4, 3);
    grid->addWidget(label(kStrCameraTransport), 5, 0);
    grid->addWidget(m_cbTransport, 5, 1);
    grid->addWidget(label(kStrCameraAddress), 5, 2);
    grid->addWidget(m_spinAddress, 5, 3);
    // The node beside its radio: the dialog must still fit a 768-pixel screen whole.
    grid->addWidget(m_radioUvc, 6, 0, 1, 2);
    grid->addWidget(m_cbUvcDevice, 6, 2, 1, 2);
    grid->addWidget(label(kStrCameraModel), 7, 0);
    grid->addWidget(m_cbModel, 7, 1);
    grid->addWidget(label(kStrCameraFraming), 7, 2);
    grid->addWidget(m_cbFraming, 7, 3);
    // The picture of any camera may come from the network (a network camera's own stream).
    m_editVideoStream = new QLineEdit(this);
    m_editVideoStream->setObjectName(QStringLiteral("VideoStream"));
    m_editVideoStream->setPlaceholderText(QStringLiteral("rtsp://"));
    grid->addWidget(label(kStrCameraVideoStream), 8, 0);
    grid->addWidget(m_editVideoStream, 8, 1, 1, 3);
    grid->addWidget(m_btnTest, 9, 0);
    grid->addWidget(m_labelResult, 9, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);

    connect(m_kinds, &QButtonGroup::idClicked, this, [this] { UpdateStates(); });
    connect(m_cbTransport, &QComboBox::currentIndexChanged, this, [this] { OnTransportChanged(); });
    connect(m_btnTest, &QPushButton::clicked, this, [this] { OnTest(); });
    ListUvcDevices("/dev");
    SetValue({});
}

void CCameraConnectionGroup::ListUvcDevices(const std::string& devDir)
{
    const QString typed = m_cbUvcDevice->currentText();
    m_cbUvcDevice->clear();
    // Shown by the camera's name; the value is the node's stable path.
    for (const UvcNodeInfo& node : ListUvcNodes(devDir))
        m_cbUvcDevice->addItem(QStringLiteral("%1 (%2)").arg(QString::fromStdString(node.card), QString::fromStdString(node.path)),
                               QString::fromStdString(node.path));
    SetUvcDevice(typed);
}

QStringList CCameraConnectionGroup::SerialPorts()
{
    QStringList ports;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QString& name : byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        ports << byId.filePath(name);
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name : dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")},
                                             QDir::System, QDir::Name))
        ports << dev.filePath(name);
    return ports;
}

void CCameraConnectionGroup::SetValue(const CameraConnection& c)
{
    m_value = c;
    m_kinds->button(static_cast<int>(c.kind))->setChecked(true);
    m_cbSerialPort->setCurrentText(QString::fromStdString(c.serialPort));
    SetUvcDevice(QString::fromStdString(c.uvcDevice));
    m_cbSpeed->setCurrentIndex(std::max(0, m_cbSpeed->findData(c.baud)));
    m_editHost->setText(QString::fromStdString(c.host));
    m_cbTransport->blockSignals(true);
    m_cbTransport->setCurrentIndex(static_cast<int>(c.net));
    m_cbTransport->blockSignals(false);
    m_lastTransport = static_cast<int>(c.net);
    m_spinPort->setValue(c.port);
    m_spinAddress->setValue(c.address);
    m_cbModel->setCurrentIndex(std::max(0, m_cbModel->findData(QString::fromStdString(c.modelId))));
    m_cbFraming->setCurrentIndex(c.framing);
    m_editVideoStream->setText(QString::fromStdString(c.videoStream));
    m_labelResult->clear();
    UpdateStates();
}

CameraConnection CCameraConnectionGroup::Value() const
{
    CameraConnection c = m_value;
    c.kind = static_cast<CameraConnection::Kind>(std::max(0, m_kinds->checkedId()));
    c.serialPort = m_cbSerialPort->currentText().trimmed().toStdString();
    c.uvcDevice = UvcDevicePath().toStdString();
    c.baud = m_cbSpeed->currentData().toInt();
    c.host = m_editHost->text().trimmed().toStdString();
    c.port = m_spinPort->value();
    c.net = static_cast<CameraConnection::Net>(m_cbTransport->currentIndex());
    c.address = m_spinAddress->value();
    c.modelId = m_cbModel->currentData().toString().toStdString();
    c.framing = m_cbFraming->currentIndex();
    c.videoStream = m_editVideoStream->text().trimmed().toStdString();
    return c;
}

UINT CCameraConnectionGroup::MissingInput() const
{
    const CameraConnection c = Value();
    if (c.kind == CameraConnection::Kind::Serial && c.serialPort.empty())
        return kStrEnterPort;
    if (c.kind == CameraConnection::Kind::Network && c.host.empty())
        return kStrEnterHost;
    if (c.kind == CameraConnection::Kind::Uvc && c.uvcDevice.empty())
        return kStrEnterDevice;
    if (!CameraConnection::ValidVideoStream(c.videoStream))
        return kStrEnterVideoStream;
    return 0;
}

void CCameraConnectionGroup::OnTest()
{
    if (const UINT missing = MissingInput()) {
        m_labelResult->setText(LoadStringRes(missing));
        return;
    }
    const CameraConnection connection = Value();
    if (connection == CamConnection() && CamIsOpen()) {
        // The open link answers within its reply time-out.
        ShowProbe(CamProbe(connection));
        return;
    }
    // Another camera: its host lookup, connect and time-outs must not hold the dialog.
    if (m_probe.Running())
        return;
    m_btnTest->setEnabled(false);
    m_labelResult->setText(QStringLiteral("..."));
    m_probe.Ask(connection, [this](const CameraProbe& probe) {
        m_btnTest->setEnabled(true);
        ShowProbe(probe);
    });
}

bool CCameraConnectionGroup::Testing() const
{
    return m_probe.Running();
}

void CCameraConnectionGroup::ShowProbe(const CameraProbe& probe)
{
    // A USB camera tells its name and driver (VIDIOC_QUERYCAP), not VISCA's version.
    if (probe.ok && Value().kind == CameraConnection::Kind::Uvc) {
        m_labelResult->setText(LoadStringRes(kStrTestAnsweredUvc).arg(QString::fromStdString(probe.model), QString::fromStdString(probe.vendor)));
        return;
    }
    m_labelResult->setText(probe.ok ? LoadStringRes(kStrTestAnswered)
                                          .arg(QString::fromStdString(probe.vendor), QString::fromStdString(probe.model),
                                               QString::fromStdString(probe.rom))
                                    : LoadStringRes(kStrTestNoAnswer).arg(QString::fromStdString(probe.error)));
}

QString CCameraConnectionGroup::TestResult() const
{
    return m_labelResult->text();
}

void CCameraConnectionGroup::UpdateStates()
{
    const int kind = m_kinds->checkedId();
    m_cbSerialPort->setEnabled(kind == 1);
    m_cbSpeed->setEnabled(kind == 1);
    m_cbUvcDevice->setEnabled(kind == 3);
    for (QWidget* w : std::initializer_list<QWidget*>{m_editHost, m_spinPort, m_cbTransport})
        w->setEnabled(kind == 2);
    // A USB camera has no address and no model: its ranges come from its node.
    for (QWidget* w : std::initializer_list<QWidget*>{m_spinAddress, m_cbModel})
        w->setEnabled(kind == 1 || kind == 2);
    m_cbFraming->setEnabled(kind != 0);
}

void CCameraConnectionGroup::OnTransportChanged()
{
    // A port left at the old transport's usual one follows to the new one's.
    const auto old = static_cast<CameraConnection::Net>(m_lastTransport);
    const auto now = static_cast<CameraConnection::Net>(m_cbTransport->currentIndex());
    if (m_spinPort->value() == CameraConnection::DefaultPort(old))
        m_spinPort->setValue(CameraConnection::DefaultPort(now));
    m_lastTransport = m_cbTransport->currentIndex();
}

void CCameraConnectionGroup::SetUvcDevice(const QString& path)
{
    const int listed = m_cbUvcDevice->findData(path);
    if (listed >= 0)
        m_cbUvcDevice->setCurrentIndex(listed);
    else
        m_cbUvcDevice->setEditText(path);
}

QString CCameraConnectionGroup::UvcDevicePath() const
{
    // A listed camera is shown by name: its path is the item's data unless the text was edited.
    const int index = m_cbUvcDevice->currentIndex();
    if (index >= 0 && m_cbUvcDevice->currentText() == m_cbUvcDevice->itemText(index))
        return m_cbUvcDevice->itemData(index).toString();
    return m_cbUvcDevice->currentText().trimmed();
}
