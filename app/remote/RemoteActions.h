#pragma once
// What a remote caller may do, over any transport (the session bus, the fleet's broker):
// each action runs on the interface thread through the session's handlers, which the
// dialog's controls use too, refused by the same rules that grey those controls. A refusal
// carries one of the error names of RemoteNames.h and a text for people.
#include "app/remote/RemoteState.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class ControllerSession;
class ControllerWindows;

namespace remote {

struct Refusal
{
    const char* name;
    QString text;
};
// Nothing: done.
using Outcome = std::optional<Refusal>;

class RemoteActions : public QObject
{
    Q_OBJECT

public:
    RemoteActions(ControllerSession& session, ControllerWindows& windows);
    ~RemoteActions() override;

    ControllerSession& Session() { return m_session; }
    // What the remote interfaces show of the controller now.
    RemoteState State() const;

    Outcome Show();
    Outcome Hide();
    Outcome ShowVideo(bool on);
    Outcome SetTracking(bool on);
    Outcome SelectDirection(uint direction);
    Outcome GoToDirection(uint direction);
    Outcome ViewButton(uint button);
    Outcome SelectPage(const QString& page);
    // Holds a pad or zoom button for milliseconds; one press at a time for every caller.
    Outcome Drive(const QString& direction, uint milliseconds);
    // Ending a motion is never refused.
    Outcome Stop();
    Outcome Export(const QString& path);
    Outcome Import(const QString& path);
    // A setting file's text that came over the wire: the same checks as a file.
    Outcome ImportText(const QByteArray& text);
    // Waits for the whole update (its dialog runs modally meanwhile, so other calls are
    // refused as busy).
    Outcome UpdateFirmware(const QString& path);

private:
    // Busy while a window of the program waits for an answer (firmware update, a question, a
    // file dialog, the settings or About box): what it is about must not change under it.
    Outcome CheckNotBusy() const;
    Outcome CheckCamera() const;
    // The Auto page in Upside or Front with a speakerphone: where the selector is shown.
    Outcome CheckSelectorShown() const;
    Outcome CheckDirectionNumber(uint direction) const;
    Outcome CheckFilePath(const QString& path) const;
    Outcome CheckImport() const;
    Outcome ImportFrom(const QString& path, const QString& shownName);
    void ReleaseDrive();

    ControllerSession& m_session;
    ControllerWindows& m_windows;
    int m_nHeldButton = 0;
    QTimer m_driveTimer;
};

} // namespace remote
