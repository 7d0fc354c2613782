#pragma once
// A static picture control with a sunken edge that shows one piece of artwork, scaled to
// its inside (the camera-position picture of the Auto page).
#include "platform/WinTypes.h"
#include "ui/controls/ArtLibrary.h"

#include <QFrame>

class ArtPicture : public QFrame
{
public:
    explicit ArtPicture(int nID, QWidget* parent = nullptr);

    int GetDlgCtrlID() const { return m_nID; }
    // Shows the artwork of bitmap id (0 shows nothing).
    void SetImage(UINT id);
    UINT GetImage() const { return m_image.Id(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nID;
    ArtImage m_image;
};
