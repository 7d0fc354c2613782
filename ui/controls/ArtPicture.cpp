#include "ui/controls/ArtPicture.h"

#include <QPainter>

ArtPicture::ArtPicture(int nID, QWidget* parent) : QFrame(parent), m_nID(nID)
{
    setObjectName(QStringLiteral("picture%1").arg(nID));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void ArtPicture::SetImage(UINT id)
{
    if (m_image.Id() == id)
        return;
    m_image = ArtImage(id);
    update();
}

void ArtPicture::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_image.Paint(painter, QRectF(contentsRect()));
}
