#include "settings/SettingFileFlow.h"

#include "res/Strings.h"
#include "res/TextIds.h"
#include "settings/SettingFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

int Message(SettingFileHost& host, UINT id, UINT type)
{
    return Prompter().MessageBox(host.DialogParent(), QString::fromUtf8(kMessageBoxCaption), LoadStringRes(id), type);
}

} // namespace

FileDialogRequest SettingFileDialogRequest(bool bOpen)
{
    FileDialogRequest request;
    request.open = bOpen;
    request.defaultExt = QStringLiteral("set");
    request.fileName = bOpen ? QString() : QStringLiteral("noname.set");
    // "All Files (*.*)" of the Windows filter means every file; in Qt that is "*".
    request.filter = LoadFilterString(IDS_FILTER_SETTING_FILES) + QStringLiteral(";;") +
                     LoadFilterString(IDS_FILTER_ALL_FILES);
    request.directory = QString();
    request.overwritePrompt = true;
    return request;
}

QString ResetCurrentDirectory()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QCoreApplication::applicationDirPath();
    QDir::setCurrent(folder);
    return folder;
}

SettingFileOutcome ExportSetupTo(SettingFileHost& host, ControllerSetup setup, const QString& path)
{
    host.SaveCameraPosition();
    setup.settings.m_bTracking = 0;
    if (!ExportSettingFile(LocalPath(path), setup.settings, setup.nDeviceKind, setup.nPosition, setup.bReverse))
        return SettingFileOutcome::NotWritten;
    setup.bModified = 0;
    return SettingFileOutcome::Done;
}

SettingFileOutcome ImportSetupFrom(SettingFileHost& host, ControllerSetup setup, const QString& path)
{
    SettingFileImport file = ImportSettingFile(LocalPath(path));
    if (file.status == SettingFileStatus::InvalidDevice)
        return SettingFileOutcome::InvalidDevice;
    if (file.status == SettingFileStatus::Unreadable)
        return SettingFileOutcome::NotRead;
    setup.nDeviceKind = file.content.nDeviceKind;
    setup.nPosition = file.content.nPosition;
    setup.bReverse = file.content.bReverse;
    // The page stays the tab on screen: the file's page choice would part the visible
    // tab from the mode that tracking and the option buttons go by.
    const int page = setup.settings.m_nMode;
    setup.settings = file.content.settings;
    setup.settings.m_nMode = page;
    setup.settings.m_bTracking = 0;

    host.ApplyCameraPosition();
    host.UpdateControlsAfterImport();
    if (setup.nDeviceKind == 0) {
        setup.settings.m_nUpDirection = 6;
        setup.settings.m_nFrontDirection = 6;
        host.EnablePositionAndReverse(false);
    } else {
        host.EnablePositionAndReverse(true);
    }
    host.ShowImportedSetup();
    setup.bModified = 0;
    return SettingFileOutcome::Done;
}

bool RunExport(SettingFileHost& host, ControllerSetup setup)
{
    const auto path = Prompter().FileDialog(host.DialogParent(), SettingFileDialogRequest(false));
    bool bWritten = false;
    if (path) {
        bWritten = ExportSetupTo(host, setup, *path) == SettingFileOutcome::Done;
        if (!bWritten)
            Message(host, IDS_SETTING_FILE_NOT_WRITTEN, MB_OK | MB_ICONSTOP);
    }
    ResetCurrentDirectory();
    return bWritten;
}

bool RunImport(SettingFileHost& host, ControllerSetup setup)
{
    if (setup.bModified && Message(host, IDS_REPLACE_SETTINGS, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return false;

    const auto path = Prompter().FileDialog(host.DialogParent(), SettingFileDialogRequest(true));
    bool bImported = false;
    if (path) {
        switch (ImportSetupFrom(host, setup, *path)) {
        case SettingFileOutcome::InvalidDevice: Message(host, IDS_INVALID_DEVICE, MB_OK | MB_ICONSTOP); break;
        case SettingFileOutcome::NotRead: Message(host, IDS_SETTING_FILE_NOT_READ, MB_OK | MB_ICONSTOP); break;
        default: bImported = true; break;
        }
    }
    ResetCurrentDirectory();
    return bImported;
}
