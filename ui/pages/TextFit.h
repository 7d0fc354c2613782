#pragma once
// Picks a type size at which a text fits its box: the boxes of the Auto page are sized in
// pixels for a compact dialog font, and desktop fonts differ in width.
#include <QFont>
#include <QSize>
#include <QString>

// The largest pixel size from largest down to smallest at which text, in font's family,
// fits box (word-wrapped when wrap is set); smallest when none does.
int FittingPixelSize(const QFont& font, const QString& text, QSize box, bool wrap,
                     int largest = 11, int smallest = 8);
