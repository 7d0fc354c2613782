#include "ui/pages/PadButtons.h"

#include "res/Strings.h"
#include "res/TextIds.h"
#include "ui/controls/HoldButton.h"

namespace {
struct PadFace
{
    int id;
    UINT normal, pressed, disabled;
    int x, row;  // placement: x, and the row below the first button row (0..2)
    int width;
};

constexpr PadFace kFaces[10] = {
    {1012, 142, 174, 173, 15, 0, 72}, {1013, 143, 175, 172, 15, 1, 72},
    {1003, 144, 190, 169, 95, 0, 32}, {1004, 145, 189, 158, 135, 0, 32},
    {1005, 146, 191, 160, 175, 0, 32}, {1006, 147, 183, 166, 95, 1, 32},
    {1008, 148, 186, 168, 175, 1, 32}, {1009, 149, 187, 164, 95, 2, 32},
    {1010, 150, 179, 170, 135, 2, 32}, {1011, 151, 181, 171, 175, 2, 32},
};

bool IsZoom(int id)
{
    return id == 1012 || id == 1013;
}
}

PadButtons::PadButtons(QWidget* page)
{
    for (size_t i = 0; i < kIds.size(); ++i)
    {
        auto* button = new CHoldButton(kFaces[i].id, page);
        button->LoadBitmaps(kFaces[i].normal, kFaces[i].pressed, 0, kFaces[i].disabled);
        button->setToolTip(LoadStringRes(IDS_TIP_HOLD_FIRST + kFaces[i].id - 1003));
        m_buttons[i] = button;
    }
}

CHoldButton* PadButtons::Button(int id) const
{
    for (size_t i = 0; i < kIds.size(); ++i)
        if (kIds[i] == id)
            return m_buttons[i];
    return nullptr;
}

void PadButtons::EnablePad(bool enable)
{
    for (size_t i = 0; i < kIds.size(); ++i)
        if (!IsZoom(kIds[i]))
            m_buttons[i]->setEnabled(enable);
}

void PadButtons::EnableZoom(bool enable)
{
    for (size_t i = 0; i < kIds.size(); ++i)
        if (IsZoom(kIds[i]))
            m_buttons[i]->setEnabled(enable);
}

void PadButtons::SetMissingTips(const QString& pad, const QString& zoom)
{
    for (size_t i = 0; i < kIds.size(); ++i)
        m_buttons[i]->setToolTip(IsZoom(kIds[i]) ? zoom : pad);
}

void PadButtons::Place(int y0)
{
    for (size_t i = 0; i < kIds.size(); ++i)
        m_buttons[i]->setGeometry(kFaces[i].x, y0 + 40 * kFaces[i].row, kFaces[i].width, 32);
}

void PadButtons::SetMessageTarget(HWND target)
{
    for (auto* button : m_buttons)
        button->SetMessageTarget(target);
}
