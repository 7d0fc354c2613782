#pragma once
// Answers message boxes and file dialogs from a script, and records what was asked.
#include "platform/Prompt.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

class ScriptedPrompter final : public CPrompter
{
public:
    ScriptedPrompter() { SetPrompter(this); }
    ~ScriptedPrompter() override { SetPrompter(nullptr); }

    int MessageBox(QWidget*, const QString& caption, const QString& text, UINT type) override
    {
        captions.push_back(caption);
        texts.push_back(text);
        types.push_back(type);
        if (answers.empty())
            return (type & 0x0F) == MB_OK ? IDOK : IDCANCEL;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<QString> FileDialog(QWidget*, const FileDialogRequest& r) override
    {
        requests.push_back(r);
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }

    std::deque<int> answers;                    // next message box answers
    std::deque<std::optional<QString>> files;   // next file dialog results
    QStringList captions, texts;
    std::vector<UINT> types;
    std::vector<FileDialogRequest> requests;
};
