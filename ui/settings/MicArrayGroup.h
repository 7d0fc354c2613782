#pragma once
// The settings dialog's "Microphone array" group: the capture device, where the
// microphones sit, the angle of direction 0, and a live readout of what the array hears
// (angle, sector, level), so a user can check the setup by talking from each seat.
#include "tracking/micarray/MicArraySetup.h"

#include <QGroupBox>

#include <memory>

class MicArrayListener;
class MicArrayReadout;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

class CMicArrayGroup : public QGroupBox
{
public:
    // Shows the latest decision in readout (the worker's, or this group's own listener's);
    // readout must outlive the group. Null: nothing is shown and the group never listens.
    explicit CMicArrayGroup(MicArrayReadout* readout, QWidget* parent = nullptr);
    ~CMicArrayGroup() override;

    void SetSetup(const MicArraySetup& setup);
    MicArraySetup Setup() const;

    // Listens to the array itself while no tracking worker does (when the worker runs, it
    // already publishes what it hears). Stops when the group goes.
    void StartListening();

    // The readout's text now (also shown every 200 ms).
    QString ReadoutText() const;

private:
    void UpdateGeometryControls();
    void timerEvent(QTimerEvent* event) override;

    QComboBox* m_cbDevice = nullptr;
    QComboBox* m_cbShape = nullptr;  // 0 circular, 1 linear, 2 custom (kept from the profile)
    QSpinBox* m_spinMics = nullptr;
    QDoubleSpinBox* m_spinDistance = nullptr;  // millimetres
    QSpinBox* m_spinZero = nullptr;
    QLabel* m_stReadout = nullptr;
    std::string m_strCustom;  // a custom geometry as the profile holds it
    MicArrayReadout* m_readout;
    std::unique_ptr<MicArrayListener> m_listener;
};
