#include "ui/pages/TextFit.h"

#include <QFontMetrics>

int FittingPixelSize(const QFont& font, const QString& text, QSize box, bool wrap, int largest,
                     int smallest)
{
    QFont probe = font;
    for (int size = largest; size > smallest; --size)
    {
        probe.setPixelSize(size);
        const QFontMetrics metrics(probe);
        const QRect needed = wrap
            ? metrics.boundingRect(QRect(0, 0, box.width(), 0x10000), Qt::TextWordWrap, text)
            : QRect(0, 0, metrics.horizontalAdvance(text), metrics.height());
        if (needed.width() <= box.width() && needed.height() <= box.height())
            return size;
    }
    return smallest;
}
