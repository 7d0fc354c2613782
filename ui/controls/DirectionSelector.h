#pragma once
// A top view of the connected speakerphone with one small radio on each direction it
// reports plus one in the centre, and an "Enable Tracking" box below. A radio click posts
// WM_SELECT_DIRECTION with its direction; a click on the box posts WM_TRACKING_ENABLE with
// the new state. The variants differ only in their SelectorShape.
#include "platform/WinTypes.h"
#include "ui/controls/ArtLibrary.h"
#include "ui/controls/SelectorShape.h"

#include <QSize>
#include <QWidget>

class QCheckBox;
class QRadioButton;

class CDirectionSelector : public QWidget
{
public:
    static constexpr int kPictureSize = 136;

    ~CDirectionSelector() override;

    virtual void SetDirection(int index);
    virtual int GetDirection();
    virtual void SetTracking(BOOL on);
    virtual BOOL GetTracking() const;
    virtual void Layout(int cx, int cy);
    virtual void Layout(QSize size);
    virtual int GetRequiredHeight() const;

    // Where the messages go; null (the default) means the application's main window.
    void SetMessageTarget(HWND target) { m_hTarget = target; }

    int RadioCount() const { return m_shape.radioCount; }
    // Radio index i (id 100 + i), or null outside the created ones.
    QRadioButton* Radio(int index) const;
    // The direction radio index reports when clicked; -1 outside the created ones.
    int RadioDirection(int index) const;
    QCheckBox* TrackingBox() const { return m_pCheck; }
    UINT PictureId() const { return m_picture.Id(); }
    // Where the picture is drawn, in the control's coordinates.
    QRect PictureRect() const;

protected:
    CDirectionSelector(const SelectorShape& shape, QWidget* parent);
    void paintEvent(QPaintEvent* event) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitCheckBox(int cx);
    void OnRadioClicked(int index);
    void OnTrackingClicked();
    void EnableRadios(bool enable);
    HWND Target() const;

    const SelectorShape& m_shape;
    ArtImage m_picture;
    QRadioButton* m_radios[7] = {};
    QCheckBox* m_pCheck = nullptr;
    int m_nDirection = 0;
    HWND m_hTarget = nullptr;
};
