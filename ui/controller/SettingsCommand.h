#pragma once
// The controller's "Settings..." command: the settings dialog over the session's values,
// and on OK the choice applied to the session.
#include "platform/WinTypes.h"

#include <functional>

class ControllerSession;
class QWidget;

// setTopMost carries out a change of the dialog's z-order (TRUE: top-most).
void RunSettingsCommand(QWidget* parent, ControllerSession& session, const std::function<void(BOOL)>& setTopMost);
