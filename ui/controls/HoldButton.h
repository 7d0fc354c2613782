#pragma once
// A bitmap push button that reports press and release separately, so that the camera
// moves exactly as long as the user holds it down: WM_PAD_BUTTON with the control id and
// 1 on the left button's press, 0 on its release. Space held on the focused button is the
// same hold, so the camera can be steered without a mouse; losing the focus releases.
#include "ui/controls/BitmapButton.h"

class CHoldButton : public CBitmapButton
{
public:
    explicit CHoldButton(int nID, QWidget* parent = nullptr);

    // Where the messages go; null (the default) means the application's main window.
    void SetMessageTarget(HWND target) { m_hTarget = target; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void PostPad(LPARAM pressed);
    void ReleaseIfHeld();

    HWND m_hTarget = nullptr;
    // A press was reported and its release not yet. A button that is disabled or hidden
    // while held never receives the mouse release, and the camera would keep moving.
    bool m_bPressPosted = false;
};
