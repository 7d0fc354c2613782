#include "ui/controls/TriangleDirectionSelector.h"

const SelectorShape CTriangleDirectionSelector::kShape = {
    213,
    4,
    {
        {0, 61, 108},  // bottom
        {1, 21, 38},   // upper left
        {2, 101, 38},  // upper right
        {6, 61, 61},   // centre
    },
};

CTriangleDirectionSelector::CTriangleDirectionSelector(QWidget* parent)
    : CDirectionSelector(kShape, parent)
{
}
