#pragma once
// The controller dialog's "File" menu: its commands, each posted to the dialog as
// WM_COMMAND (so that the menu has closed when the handler runs), and what each item
// offers in the session's state.
class ControllerSession;
class QMenu;
class QMenuBar;
class QObject;

class ControllerMenu
{
public:
    ControllerMenu(QMenuBar* bar, QObject* target);

    // The enabled, checked states and tooltips for the state now (before it opens).
    void UpdateStates(const ControllerSession& session, bool videoWindowOpen);
    QMenu* Menu() const { return m_pMenu; }

private:
    QMenu* m_pMenu;
};
