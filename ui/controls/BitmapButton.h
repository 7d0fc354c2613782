#pragma once
// A push button drawn entirely from pictures: a normal face, a selected face (while the
// button is held down) and a disabled face. An option in force is shown by loading its
// selected face as the normal face too, so that it stays drawn as pressed.
#include "platform/WinTypes.h"
#include "ui/controls/ArtLibrary.h"

#include <QAbstractButton>

class CBitmapButton : public QAbstractButton
{
public:
    explicit CBitmapButton(int nID, QWidget* parent = nullptr);

    // The control id the button reports (wParam of its messages).
    int GetDlgCtrlID() const { return m_nID; }

    // Loads the faces by bitmap id; 0 means "none". A missing selected or disabled face
    // falls back to the normal face when drawn. Returns FALSE when the normal face has no
    // artwork (the button then draws an empty frame rather than nothing at all).
    // Repaints the button.
    BOOL LoadBitmaps(UINT normal, UINT selected = 0, UINT focus = 0, UINT disabled = 0);

    UINT GetNormalBitmap() const { return m_normal.Id(); }
    UINT GetSelectedBitmap() const { return m_selected.Id(); }
    UINT GetDisabledBitmap() const { return m_disabled.Id(); }
    // The bitmap id the button draws in its present state (0 when it has none).
    UINT GetDrawnBitmap() const;

    // Sets the button's size to that of its normal face.
    void SizeToContent();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ArtImage& FaceToDraw() const;

    int m_nID;
    ArtImage m_normal;
    ArtImage m_selected;
    ArtImage m_focus;
    ArtImage m_disabled;
};
