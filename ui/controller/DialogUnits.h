#pragma once
// Dialog units of a font, as dialog templates measure: a horizontal unit is a quarter of the
// font's average character width, a vertical unit an eighth of its height. Placing the
// template's controls through these keeps their proportions with whatever font the desktop
// gives the dialog.
#include <QFontMetrics>
#include <QRect>
#include <QString>

class DialogUnits
{
public:
    explicit DialogUnits(const QFontMetrics& fm)
        : m_baseX(AverageCharWidth(fm)), m_baseY(fm.height())
    {
    }

    int X(int du) const { return (du * m_baseX + 2) / 4; }
    int Y(int du) const { return (du * m_baseY + 4) / 8; }
    QRect Rect(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    // Measured over the Latin letters, rounded, as the template units are defined.
    static int AverageCharWidth(const QFontMetrics& fm)
    {
        const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        return (width / 26 + 1) / 2;
    }

    int m_baseX;
    int m_baseY;
};
