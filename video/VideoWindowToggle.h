#pragma once
// How the controller dialog keeps its video window (m_pVideoWnd): it opens one on command
// 32781 and closes it on the same command, on the window's close box (which posts that
// command), on hiding, closing and destroying the dialog, on a suspend query, at the end of
// the session and before a firmware update.
#include "video/VideoCapture.h"

#include <memory>

class CVideoDlg;
class QWidget;

// Command 32781: closes the window when pVideoWnd holds one, else opens one owned by parent.
void ToggleVideoWindow(CVideoDlg*& pVideoWnd, QWidget* parent, std::unique_ptr<VideoCapture> capture = nullptr);

// Creates the window with parent as owner and stores it in pVideoWnd (which must be null).
void OpenVideoWindow(CVideoDlg*& pVideoWnd, QWidget* parent, std::unique_ptr<VideoCapture> capture = nullptr);

// Closes the window (committing a changed quality), deletes it and sets pVideoWnd to null;
// nothing when it is null already.
void CloseVideoWindow(CVideoDlg*& pVideoWnd);
