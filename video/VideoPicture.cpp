#include "video/VideoPicture.h"

#include "res/Strings.h"
#include "res/TextIds.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace {

// A video camera, seen from the side, struck through: body, lens cone and a slash. Drawn
// in units of the picture's height so that it scales with it.
void PaintCameraSymbol(QPainter& p, const QPointF& centre, qreal unit, const QColor& ink)
{
    const QRectF body(centre.x() - 5.2 * unit, centre.y() - 3.2 * unit, 7.6 * unit, 6.4 * unit);
    QPainterPath symbol;
    symbol.addRoundedRect(body, 1.2 * unit, 1.2 * unit);
    QPainterPath lens;
    lens.moveTo(body.right() + 0.6 * unit, centre.y() - 1.1 * unit);
    lens.lineTo(body.right() + 3.6 * unit, centre.y() - 2.9 * unit);
    lens.lineTo(body.right() + 3.6 * unit, centre.y() + 2.9 * unit);
    lens.lineTo(body.right() + 0.6 * unit, centre.y() + 1.1 * unit);
    lens.closeSubpath();
    symbol.addPath(lens);

    QPainterPath slash;
    slash.moveTo(centre.x() - 5.6 * unit, centre.y() - 5.0 * unit);
    slash.lineTo(centre.x() + 5.6 * unit, centre.y() + 5.0 * unit);
    // The slash stands in a gap cut out of the symbol, so that it reads on any background.
    QPainterPathStroker gap;
    gap.setWidth(2.4 * unit);
    gap.setCapStyle(Qt::RoundCap);

    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(symbol.subtracted(gap.createStroke(slash)));
    p.setPen(QPen(ink, 0.9 * unit, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(slash);
}

} // namespace

VideoPicture::VideoPicture(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    const qreal unit = area.height() / 40.0;

    const QColor deep(0x0b, 0x1f, 0x5c);
    const QColor bright(0x1f, 0x4f, 0xb8);
    QRadialGradient ground(area.center(), area.width() * 0.75);
    ground.setColorAt(0.0, bright);
    ground.setColorAt(1.0, deep);
    p.fillRect(area, ground);

    const QColor ink(0xe8, 0xef, 0xff);
    const QPointF symbolCentre(area.center().x(), area.top() + area.height() * 0.38);
    PaintCameraSymbol(p, symbolCentre, unit, ink);

    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(qRound(5.0 * unit));
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6 * unit);
    // A longer translation gets a smaller font rather than running off the picture.
    const QString text = LoadStringRes(IDS_NO_VIDEO);
    for (int i = 0; i < 8 && QFontMetricsF(font).horizontalAdvance(text) > area.width() - 4 * unit; ++i)
        font.setPixelSize(std::max(6, font.pixelSize() * 9 / 10));
    p.setFont(font);
    p.setPen(ink);
    const QRectF textBox(area.left(), area.top() + area.height() * 0.62, area.width(), 7.0 * unit);
    p.drawText(textBox, Qt::AlignCenter, text);

    // A thin inner edge, as the sunken picture frame of the dialog had.
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
}
