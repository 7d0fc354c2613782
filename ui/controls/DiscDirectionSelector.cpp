#include "ui/controls/DiscDirectionSelector.h"

const SelectorShape CDiscDirectionSelector::kShape = {
    198,
    7,
    {
        {0, 61, 108},  // bottom
        {1, 101, 85},  // lower right
        {2, 101, 38},  // upper right
        {3, 61, 14},   // top
        {4, 21, 38},   // upper left
        {5, 21, 85},   // lower left
        {6, 61, 61},   // centre
    },
};

CDiscDirectionSelector::CDiscDirectionSelector(QWidget* parent) : CDirectionSelector(kShape, parent)
{
}
