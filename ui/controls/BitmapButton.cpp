#include "ui/controls/BitmapButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

CBitmapButton::CBitmapButton(int nID, QWidget* parent) : QAbstractButton(parent), m_nID(nID)
{
    setObjectName(QStringLiteral("button%1").arg(nID));
}

BOOL CBitmapButton::LoadBitmaps(UINT normal, UINT selected, UINT focus, UINT disabled)
{
    // Reloading the faces already shown happens on every page update; keep what is loaded.
    if (m_normal.Id() != normal)
        m_normal = ArtImage(normal);
    if (m_selected.Id() != selected)
        m_selected = ArtImage(selected);
    if (m_focus.Id() != focus)
        m_focus = ArtImage(focus);
    if (m_disabled.Id() != disabled)
        m_disabled = ArtImage(disabled);
    update();
    return m_normal.IsNull() ? FALSE : TRUE;
}

const ArtImage& CBitmapButton::FaceToDraw() const
{
    // The order in which the framework chooses a face: pressed beats focus beats disabled.
    if (isDown() && !m_selected.IsNull())
        return m_selected;
    if (hasFocus() && !m_focus.IsNull())
        return m_focus;
    if (!isEnabled() && !m_disabled.IsNull())
        return m_disabled;
    return m_normal;
}

UINT CBitmapButton::GetDrawnBitmap() const
{
    const ArtImage& face = FaceToDraw();
    return face.IsNull() ? 0 : face.Id();
}

void CBitmapButton::SizeToContent()
{
    if (!m_normal.IsNull())
        resize(m_normal.NativeSize());
}

QSize CBitmapButton::sizeHint() const
{
    return m_normal.IsNull() ? QSize(32, 32) : m_normal.NativeSize();
}

void CBitmapButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!FaceToDraw().Paint(painter, QRectF(rect())))
    {
        // No artwork: a plain outline keeps the button findable instead of invisible.
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    // The faces have no focus picture: the style's focus frame shows where Tab has got to.
    if (hasFocus() && m_focus.IsNull()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        focus.backgroundColor = palette().color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
