#include "platform/Prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class CWidgetPrompter final : public CPrompter
{
public:
    int MessageBox(QWidget* parent, const QString& caption, const QString& text, UINT type) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (type & 0xF0) {
        case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        switch (type & 0x0F) {
        case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
        case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        default: box.setStandardButtons(QMessageBox::Ok); break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok: return IDOK;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        default: return IDCANCEL;
        }
    }

    std::optional<QString> FileDialog(QWidget* parent, const FileDialogRequest& r) override
    {
        QFileDialog dlg(parent, r.title, r.directory, r.filter);
        dlg.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dlg.setFileMode(r.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (!r.defaultExt.isEmpty())
            dlg.setDefaultSuffix(r.defaultExt);
        if (!r.fileName.isEmpty())
            dlg.selectFile(r.fileName);
        if (!r.overwritePrompt)
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return dlg.selectedFiles().constFirst();
    }
};

CPrompter* g_prompter = nullptr;

} // namespace

CPrompter& Prompter()
{
    static CWidgetPrompter widgets;
    return g_prompter ? *g_prompter : widgets;
}

void SetPrompter(CPrompter* p)
{
    g_prompter = p;
}

int AfxMessageBox(const QString& text, UINT type)
{
    return Prompter().MessageBox(QApplication::activeWindow(), QString::fromLatin1(kMessageBoxCaption), text, type);
}
