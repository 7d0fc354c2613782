#include "ui/controls/HoldButton.h"

#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <QKeyEvent>
#include <QMouseEvent>

CHoldButton::CHoldButton(int nID, QWidget* parent) : CBitmapButton(nID, parent)
{
}

void CHoldButton::PostPad(LPARAM pressed)
{
    HWND target = m_hTarget ? m_hTarget : AfxGetMainWnd();
    PostMessage(target, WM_PAD_BUTTON, static_cast<WPARAM>(GetDlgCtrlID()), pressed);
    m_bPressPosted = pressed != 0;
}

void CHoldButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        PostPad(1);
    CBitmapButton::mousePressEvent(event);
}

void CHoldButton::mouseReleaseEvent(QMouseEvent* event)
{
    // Every left release reports, wherever the pointer is: the motion must stop.
    if (event->button() == Qt::LeftButton)
        PostPad(0);
    CBitmapButton::mouseReleaseEvent(event);
}

void CHoldButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a fast double click only shows the pressed face; its release
    // still reports 0, which stops nothing that runs.
    CBitmapButton::mousePressEvent(event);
}

void CHoldButton::keyPressEvent(QKeyEvent* event)
{
    // The key's auto-repeat is no new press: the camera moves on until the key is let go.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && !m_bPressPosted)
        PostPad(1);
    CBitmapButton::keyPressEvent(event);
}

void CHoldButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        ReleaseIfHeld();
    CBitmapButton::keyReleaseEvent(event);
}

void CHoldButton::focusOutEvent(QFocusEvent* event)
{
    // Tab or another window took the focus while Space was held: its release comes elsewhere.
    ReleaseIfHeld();
    setDown(false);
    CBitmapButton::focusOutEvent(event);
}

void CHoldButton::ReleaseIfHeld()
{
    if (m_bPressPosted)
        PostPad(0);
}

void CHoldButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        ReleaseIfHeld();
    CBitmapButton::changeEvent(event);
}

void CHoldButton::hideEvent(QHideEvent* event)
{
    ReleaseIfHeld();
    CBitmapButton::hideEvent(event);
}
