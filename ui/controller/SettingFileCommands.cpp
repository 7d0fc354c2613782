#include "ui/controller/SettingFileCommands.h"

#include "controller/ControllerSession.h"
#include "res/Strings.h"
#include "res/TextIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

int Message(QWidget* parent, UINT id, UINT type)
{
    return Prompter().MessageBox(parent, QString::fromUtf8(kMessageBoxCaption), LoadStringRes(id), type);
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

bool RunExport(QWidget* parent, ControllerSession& session)
{
    const auto path = Prompter().FileDialog(parent, SettingFileDialogRequest(false));
    bool bWritten = false;
    if (path) {
        bWritten = session.ExportSettingsTo(LocalPath(*path)) == SettingFileOutcome::Done;
        if (!bWritten)
            Message(parent, IDS_SETTING_FILE_NOT_WRITTEN, MB_OK | MB_ICONSTOP);
    }
    ResetCurrentDirectory();
    return bWritten;
}

bool RunImport(QWidget* parent, ControllerSession& session)
{
    if (session.Modified() && Message(parent, IDS_REPLACE_SETTINGS, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return false;

    const auto path = Prompter().FileDialog(parent, SettingFileDialogRequest(true));
    bool bImported = false;
    if (path) {
        switch (session.ImportSettingsFrom(LocalPath(*path))) {
        case SettingFileOutcome::InvalidDevice: Message(parent, IDS_INVALID_DEVICE, MB_OK | MB_ICONSTOP); break;
        case SettingFileOutcome::NotRead: Message(parent, IDS_SETTING_FILE_NOT_READ, MB_OK | MB_ICONSTOP); break;
        default: bImported = true; break;
        }
    }
    ResetCurrentDirectory();
    return bImported;
}
