#pragma once
// The program's artwork: vector pictures named by their bitmap resource id, drawn at the
// screen's resolution so that faces and pictures stay sharp on high-density displays.
#include "platform/WinTypes.h"

#include <QRectF>
#include <QSize>

#include <memory>

class QPainter;
class QSvgRenderer;

// The resource path of a bitmap id (":/art/<id>.svg").
QString ArtPath(UINT id);

// One loaded picture. Empty when the id is 0 or has no artwork.
class ArtImage
{
public:
    ArtImage();
    explicit ArtImage(UINT id);
    ~ArtImage();
    ArtImage(ArtImage&&) noexcept;
    ArtImage& operator=(ArtImage&&) noexcept;

    UINT Id() const { return m_nId; }
    bool IsNull() const { return !m_pRenderer; }
    // The size the picture was drawn for, in device-independent pixels.
    QSize NativeSize() const;
    // Draws the picture into target; false (and nothing drawn) when empty.
    bool Paint(QPainter& painter, const QRectF& target) const;

private:
    UINT m_nId = 0;
    std::unique_ptr<QSvgRenderer> m_pRenderer;
};
