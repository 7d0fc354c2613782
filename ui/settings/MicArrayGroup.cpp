#include "ui/settings/MicArrayGroup.h"

#include "res/Strings.h"
#include "tracking/micarray/ArrayGeometry.h"
#include "tracking/micarray/AudioCapture.h"
#include "tracking/micarray/MicArrayListener.h"
#include "tracking/micarray/MicArrayReadout.h"
#include "tracking/micarray/SectorDecision.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTimerEvent>

#include <cmath>

namespace {
constexpr UINT kTitle = 36500, kDevice = 36501, kFirstFound = 36502, kGeometry = 36503, kCircular = 36504,
               kLinear = 36505, kCustom = 36506, kMics = 36507, kDistance = 36508, kZero = 36509, kHeard = 36510,
               kNoVoice = 36511, kNotListening = 36512;
constexpr int kReadoutMs = 200;
} // namespace

CMicArrayGroup::CMicArrayGroup(MicArrayReadout* readout, QWidget* parent)
    : QGroupBox(LoadStringRes(kTitle), parent),
      m_readout(readout)
{
    setObjectName(QStringLiteral("micArrayGroup"));
    m_cbDevice = new QComboBox(this);
    m_cbDevice->setObjectName(QStringLiteral("micArrayDevice"));
    m_cbDevice->addItem(LoadStringRes(kFirstFound), QString());
    for (const CaptureDevice& d : ListCaptureDevices())
        m_cbDevice->addItem(QString::fromStdString(d.description), QString::fromStdString(d.name));
    m_cbShape = new QComboBox(this);
    m_cbShape->setObjectName(QStringLiteral("micArrayShape"));
    m_cbShape->addItems({LoadStringRes(kCircular), LoadStringRes(kLinear), LoadStringRes(kCustom)});
    m_spinMics = new QSpinBox(this);
    m_spinMics->setRange(2, 16);
    m_spinDistance = new QDoubleSpinBox(this);
    m_spinDistance->setRange(1.0, 1000.0);
    m_spinDistance->setDecimals(1);
    m_spinZero = new QSpinBox(this);
    m_spinZero->setRange(0, 359);
    m_spinZero->setWrapping(true);
    m_stReadout = new QLabel(this);
    m_stReadout->setObjectName(QStringLiteral("micArrayReadout"));
    m_stReadout->setWordWrap(true);

    auto* form = new QFormLayout(this);
    form->addRow(LoadStringRes(kDevice), m_cbDevice);
    form->addRow(LoadStringRes(kGeometry), m_cbShape);
    form->addRow(LoadStringRes(kMics), m_spinMics);
    form->addRow(LoadStringRes(kDistance), m_spinDistance);
    form->addRow(LoadStringRes(kZero), m_spinZero);
    form->addRow(m_stReadout);
    connect(m_cbShape, &QComboBox::currentIndexChanged, this, [this] { UpdateGeometryControls(); });

    SetSetup(MicArraySetup());
    m_stReadout->setText(ReadoutText());
    startTimer(kReadoutMs);
}

CMicArrayGroup::~CMicArrayGroup() = default;

void CMicArrayGroup::SetSetup(const MicArraySetup& setup)
{
    const QString device = QString::fromStdString(setup.device);
    int index = m_cbDevice->findData(device);
    if (index < 0) {  // a device not plugged in now stays chosen
        m_cbDevice->addItem(device, device);
        index = m_cbDevice->count() - 1;
    }
    m_cbDevice->setCurrentIndex(index);
    const std::string& text = setup.geometry;
    const bool circular = text.rfind("circular:", 0) == 0, linear = text.rfind("linear:", 0) == 0;
    const auto geometry = ParseArrayGeometry(text);
    m_strCustom = text;
    if ((circular || linear) && geometry) {
        const MicPosition& second = geometry->mics[1];
        m_spinMics->setValue(geometry->Channels());
        m_spinDistance->setValue(circular ? 1000 * std::hypot(geometry->mics[0].x, geometry->mics[0].y)
                                          : 1000 * std::hypot(second.x, second.y));
        m_cbShape->setCurrentIndex(circular ? 0 : 1);
    } else {
        m_spinMics->setValue(4);
        m_spinDistance->setValue(32);
        m_cbShape->setCurrentIndex(2);
    }
    m_spinZero->setValue(setup.nZeroAngle);
    UpdateGeometryControls();
}

MicArraySetup CMicArrayGroup::Setup() const
{
    MicArraySetup setup;
    setup.device = m_cbDevice->currentData().toString().toStdString();
    const int shape = m_cbShape->currentIndex();
    if (shape == 2)
        setup.geometry = m_strCustom;
    else
        setup.geometry = QStringLiteral("%1:%2:%3")
                             .arg(shape == 0 ? QStringLiteral("circular") : QStringLiteral("linear"))
                             .arg(m_spinMics->value())
                             .arg(m_spinDistance->value() / 1000.0, 0, 'g', 6)
                             .toStdString();
    setup.nZeroAngle = m_spinZero->value();
    return setup;
}

void CMicArrayGroup::StartListening()
{
    if (m_readout && !m_listener && !m_readout->Latest())
        m_listener = std::make_unique<MicArrayListener>(Setup(), *m_readout);
}

QString CMicArrayGroup::ReadoutText() const
{
    const std::optional<DoaDecision> d = m_readout ? m_readout->Latest() : std::nullopt;
    if (!d)
        return LoadStringRes(kNotListening);
    const int level = int(std::lround(d->levelDb));
    if (!d->voiced)
        return QString::asprintf(LoadStringRes(kNoVoice).toUtf8().constData(), level);
    return QString::asprintf(LoadStringRes(kHeard).toUtf8().constData(), int(std::lround(d->angleDeg)) % 360,
                             SectorOfAngle(d->angleDeg, m_spinZero->value()), level);
}

void CMicArrayGroup::UpdateGeometryControls()
{
    const bool custom = m_cbShape->currentIndex() == 2;
    m_spinMics->setEnabled(!custom);
    m_spinDistance->setEnabled(!custom);
}

void CMicArrayGroup::timerEvent(QTimerEvent*)
{
    m_stReadout->setText(ReadoutText());
}
