#include "settings/SettingFile.h"
#include "res/Strings.h"
#include "settings/SettingFileFlow.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Steps = std::vector<std::string>;

// The controller's side, recording the steps in order.
class RecordingHost : public SettingFileHost
{
public:
    QWidget* DialogParent() override { return nullptr; }
    void SaveCameraPosition() override { steps.push_back("SaveCameraPosition"); }
    // The camera goes to the imported directions before kind 0 sets them to the centre.
    void ApplyCameraPosition() override { steps.push_back("Apply up=" + std::to_string(settings.m_nUpDirection)); }
    void UpdateControlsAfterImport() override { steps.push_back("UpdateControls"); }
    void EnablePositionAndReverse(bool bEnable) override { steps.push_back(bEnable ? "Enable" : "Disable"); }
    void ShowImportedSetup() override { steps.push_back("Show kind=" + std::to_string(nDeviceKind)); }
    ControllerSetup Setup() { return {nDeviceKind, nPosition, bReverse, settings, bModified}; }
    int nDeviceKind = 2, nPosition = 1;
    BOOL bReverse = 1, bModified = 1;
    CCameraSettings settings;
    Steps steps;
};

class SettingFileFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The documents folder the current directory returns to.
        documents = TestRootDir() + QStringLiteral("/Documents");
        QDir().mkpath(documents);
        QDir::setCurrent(QDir::tempPath());
        host.settings.m_nUpDirection = 3;
        host.settings.m_upPresets[3] = CCameraPosition(11, 12, 13, 14);
    }
    static QString PathFor(const char* name) { return TestRootDir() + QStringLiteral("/") + QString::fromUtf8(name); }
    static void Write(const char* name, const char* text) { std::ofstream(PathFor(name).toStdString()) << text; }
    QString documents;
    ScriptedPrompter prompter;
    RecordingHost host;
};

} // namespace

TEST_F(SettingFileFlow, ExportAsksForASetFileWritesItAndClearsModified)
{
    QDir().mkpath(PathFor("taken.set"));
    prompter.files = {std::nullopt, PathFor("taken.set"), PathFor("export.set")};
    EXPECT_FALSE(RunExport(host, host.Setup())) << "cancelled";
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(QDir::currentPath(), documents);
    EXPECT_FALSE(RunExport(host, host.Setup())) << "cannot write";
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], LoadStringRes(IDS_SETTING_FILE_NOT_WRITTEN));
    EXPECT_FALSE(prompter.texts[0].isEmpty());
    EXPECT_EQ(prompter.captions[0], QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(host.bModified, 1);
    host.settings.m_bTracking = 1;
    EXPECT_TRUE(RunExport(host, host.Setup()));
    const auto& r = prompter.requests.at(2);
    EXPECT_FALSE(r.open || !r.directory.isEmpty() || !r.overwritePrompt);
    EXPECT_EQ(r.defaultExt + r.fileName, QStringLiteral("setnoname.set"));
    EXPECT_EQ(r.filter, QStringLiteral("Setting Files (*.set);;All Files (*)"));
    EXPECT_EQ(host.steps, (Steps{"SaveCameraPosition", "SaveCameraPosition"}));
    EXPECT_EQ(host.bModified, 0);
    EXPECT_EQ(host.settings.m_bTracking, 0);
    EXPECT_EQ(prompter.texts.size(), 1);
    const auto back = ImportSettingFile(PathFor("export.set").toStdString());
    ASSERT_EQ(back.status, SettingFileStatus::Ok);
    EXPECT_EQ(std::tuple(back.content.nDeviceKind, back.content.nPosition, back.content.bReverse), std::tuple(2, 1, 1));
    EXPECT_EQ(back.content.settings, host.settings);
}

TEST_F(SettingFileFlow, ImportReplacesTheSetUpAndBringsTheControllerInLine)
{
    CCameraSettings file;
    file.m_nUpDirection = 5;
    file.m_upPresets[5] = CCameraPosition(200, 10, 20, 30);
    file.m_bTracking = 1;
    ASSERT_TRUE(ExportSettingFile(PathFor("in.set").toStdString(), file, 3, 2, 0));
    file.m_bTracking = 0;
    host.bModified = 0;  // no question
    prompter.files = {PathFor("in.set")};
    EXPECT_TRUE(RunImport(host, host.Setup()));
    EXPECT_TRUE(prompter.texts.isEmpty());
    ASSERT_EQ(prompter.requests.size(), 1u);
    EXPECT_TRUE(prompter.requests[0].open && prompter.requests[0].fileName.isEmpty());
    EXPECT_EQ(std::tuple(host.nDeviceKind, host.nPosition, host.bReverse, host.bModified), std::tuple(3, 2, 0, 0));
    EXPECT_EQ(host.settings, file);
    EXPECT_EQ(host.steps, (Steps{"Apply up=5", "UpdateControls", "Enable", "Show kind=3"}));
    EXPECT_EQ(QDir::currentPath(), documents);
}

TEST_F(SettingFileFlow, ImportAfterModifyingAsksAndWithoutSpeakerphoneCentresBothDirections)
{
    Write("plain.set", "[Up]\nDirection=2\n[Front]\nDirection=4\n");
    prompter.answers = {IDCANCEL, IDOK};
    EXPECT_FALSE(RunImport(host, host.Setup())) << "Cancel stops everything";
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], LoadStringRes(IDS_REPLACE_SETTINGS));
    EXPECT_TRUE(prompter.texts[0].startsWith(QStringLiteral("Current camera settings will be replaced")));
    EXPECT_EQ(prompter.types[0], MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_TRUE(prompter.requests.empty());
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(QDir::currentPath(), QDir(QDir::tempPath()).canonicalPath()) << "not even the folder is reset";
    prompter.files = {PathFor("plain.set")};
    EXPECT_TRUE(RunImport(host, host.Setup()));
    EXPECT_EQ(prompter.texts.size(), 2);  // the question only
    EXPECT_EQ(std::tuple(host.nDeviceKind, host.nPosition, host.bReverse, host.bModified), std::tuple(0, 0, 0, 0));
    EXPECT_EQ(host.settings.m_nUpDirection, 6);
    EXPECT_EQ(host.settings.m_nFrontDirection, 6);
    EXPECT_EQ(host.steps, (Steps{"Apply up=2", "UpdateControls", "Disable", "Show kind=0"}));
}

TEST_F(SettingFileFlow, RefusedFilesChangeNothing)
{
    Write("newer.set", "[QVT-VZ1]\nDevice=7\nPosition=2\n[Up]\nDirection=1\n");
    Write("older.set", "[QVT-VZ1]\nDevice=-1\nPosition=2\n[Up]\nDirection=1\n");
    QDir().mkpath(PathFor("dir.set"));
    const CCameraSettings before = host.settings;
    host.bModified = 0;
    prompter.files = {PathFor("newer.set"), PathFor("older.set"), PathFor("dir.set")};
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(RunImport(host, host.Setup()));
    ASSERT_EQ(prompter.texts.size(), 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(prompter.texts[i].startsWith(QStringLiteral("Invalid Device\n"))) << i;
        EXPECT_EQ(prompter.types[i], MB_OK | MB_ICONSTOP);
    }
    EXPECT_EQ(prompter.texts[2], LoadStringRes(IDS_SETTING_FILE_NOT_READ));
    EXPECT_EQ(QDir::currentPath(), documents);
    EXPECT_EQ(std::tuple(host.nDeviceKind, host.nPosition, host.bReverse, host.bModified), std::tuple(2, 1, 1, 0));
    EXPECT_EQ(host.settings, before);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(SettingFileFlow, WithoutDocumentsFolderTheProgramFolderBecomesCurrent)
{
    QDir(documents).removeRecursively();
    EXPECT_EQ(ResetCurrentDirectory(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(QDir::currentPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}
