#pragma once
// Message boxes and file dialogs behind one seam, so that tests answer them without a
// person and no test ever blocks on a modal window.
#include "platform/WinTypes.h"

#include <QString>

#include <optional>

class QWidget;

// Message box types and answers, with the Windows values the system is written in.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNOCANCEL = 0x03;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONSTOP = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct FileDialogRequest
{
    bool open = true;         // open (true) or save (false)
    QString title;            // empty: the toolkit's default
    QString defaultExt;       // without the dot, e.g. "set"
    QString fileName;         // initial file name
    QString filter;           // Qt filter text, e.g. "Setting files (*.set)"
    QString directory;        // initial folder; empty: the current folder
    bool overwritePrompt = true;
};

class CPrompter
{
public:
    virtual ~CPrompter() = default;
    // Shows text under caption; returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int MessageBox(QWidget* parent, const QString& caption, const QString& text, UINT type) = 0;
    // Returns the chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> FileDialog(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The prompter in force: the real widgets unless a test has installed its own.
CPrompter& Prompter();
// Installs p (not owned); null puts the real widgets back.
void SetPrompter(CPrompter* p);

// Every message box of the program carries this caption, whatever the executable is called.
inline constexpr const char* kMessageBoxCaption = "QVT-VZ1";

// Shows text under the caption "QVT-VZ1", parented to the active window.
int AfxMessageBox(const QString& text, UINT type = MB_OK);
