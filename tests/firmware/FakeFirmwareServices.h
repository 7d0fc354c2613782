#pragma once
// Update services for the tests: a prepared file, scripted answers, recorded calls; hooks
// let a test act mid-step.
#include "firmware/FirmwareUpdateServices.h"
#include "platform/Prompt.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class FakeFirmwareServices final : public FirmwareUpdateServices
{
public:
    DownloadResult Download(const std::string& url, CByteStream& s, const std::atomic<int>&) override
    {
        urls.push_back(url);
        return Obtain(s, downloadResult == DownloadResult::Ok), downloadResult;
    }
    LocalFileResult LoadLocalFile(CByteStream& s, const std::atomic<int>&) override
    {
        ++localFileCalls;
        return Obtain(s, localFileResult == LocalFileResult::Ok), localFileResult;
    }
    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override
    {
        questions.push_back(text);
        types.push_back(type);
        Hook(onAsk);
        if (cancel.load() || answers.empty())
            return cancel.load() ? IDCANCEL : IDOK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void DrainChannel(int handle) override { drained.push_back(handle), Hook(onDrain); }

    std::vector<std::uint8_t> file;
    DownloadResult downloadResult = DownloadResult::Ok;
    LocalFileResult localFileResult = LocalFileResult::Ok;
    std::deque<int> answers;
    std::function<void()> onObtain, onAsk, onDrain;
    std::vector<std::string> urls;
    int localFileCalls = 0;
    QStringList questions;
    std::vector<UINT> types;
    std::vector<int> drained;

private:
    static void Hook(const std::function<void()>& f) { if (f) f(); }
    void Obtain(CByteStream& s, bool ok)
    {
        Hook(onObtain);
        if (ok)
            s.Write(file.data(), static_cast<std::int32_t>(file.size()));
    }
};
