#include "ui/controls/BarDirectionSelector.h"

const SelectorShape CBarDirectionSelector::kShape = {
    211,
    7,
    {
        {0, 21, 85},   // lower left
        {1, 61, 95},   // bottom
        {2, 101, 85},  // lower right
        {3, 21, 38},   // upper left
        {4, 61, 24},   // top
        {5, 101, 38},  // upper right
        {6, 61, 61},   // centre
    },
};

CBarDirectionSelector::CBarDirectionSelector(QWidget* parent) : CDirectionSelector(kShape, parent)
{
}
