#pragma once
// The ten press-and-hold buttons both pages carry: an eight-way steering pad and the zoom
// pair, with their faces and their placement.
#include "platform/WinTypes.h"

#include <array>

class CHoldButton;
class QString;
class QWidget;

class PadButtons
{
public:
    // In the order the pages hold them: zoom in, zoom out, then the pad row by row.
    static constexpr std::array<int, 10> kIds = {1012, 1013, 1003, 1004, 1005,
                                                 1006, 1008, 1009, 1010, 1011};

    // Creates the buttons as children of page, with their green, red and grey faces.
    explicit PadButtons(QWidget* page);

    // The button of id, or null when id is not one of kIds.
    CHoldButton* Button(int id) const;
    void EnablePad(bool enable);
    void EnableZoom(bool enable);
    // Tooltips of the pad and the zoom pair for a camera without the axis; empty: none.
    void SetMissingTips(const QString& pad, const QString& zoom);
    // Zoom pair at x 15 (y0, y0 + 40), 72 x 32; pad 32 x 32 at x 95, 135, 175 in rows
    // y0, y0 + 40, y0 + 80.
    void Place(int y0);
    void SetMessageTarget(HWND target);

private:
    std::array<CHoldButton*, 10> m_buttons{};
};
