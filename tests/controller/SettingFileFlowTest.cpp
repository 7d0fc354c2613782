// The export and import commands around a real controller session: file dialogs and
// messages answered from a script, the camera library the recording double.
#include "ui/controller/SettingFileCommands.h"

#include "controller/ControllerSession.h"
#include "res/Strings.h"
#include "settings/SettingFile.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>

#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

class SettingFileFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        // The documents folder the current directory returns to.
        documents = TestRootDir() + QStringLiteral("/Documents");
        QDir().mkpath(documents);
        QDir::setCurrent(QDir::tempPath());
    }
    static QString PathFor(const char* name) { return TestRootDir() + QStringLiteral("/") + QString::fromUtf8(name); }
    static void Write(const char* name, const char* text) { std::ofstream(PathFor(name).toStdString()) << text; }
    // A session with a QVT-90UX at 25 cm reversed, Upside direction 3 taught, tracking as
    // given, its camera open in stand position mode.
    ControllerSession& Make(int modified, int mode, int tracking = 0)
    {
        static int n = 0;
        const std::string profile = PathFor("flow-").toStdString() + std::to_string(++n) + ".ini";
        std::ofstream(profile) << "[QVT-VZ1]\nDevice=2\nPosition=1\nReverse=1\nModified=" << modified
                               << "\n[General]\nTracking=" << tracking
                               << "\n[Up]\nMode=1\nDirection=3\n[UpDir3]\nPan=11\nTilt=12\nZoom=13\nRoll=14\n";
        session = std::make_unique<ControllerSession>(profile);
        session->Load();
        CamDouble().open = 1;
        session->OnCameraMode(mode);
        CamDouble().TakeCommands();
        return *session;
    }
    static std::tuple<int, int, int, int> Setup(const ControllerSession& s)
    {
        return {s.DeviceKind(), s.Position(), s.Reverse(), s.Modified()};
    }
    QString documents;
    ScriptedPrompter prompter;
    std::unique_ptr<ControllerSession> session;
};

} // namespace

TEST_F(SettingFileFlow, ExportAsksForASetFileReadsTheCameraBackWritesItAndClearsModified)
{
    // In Release only the zoom is read back, also while tracking is on; the file says off.
    ControllerSession& s = Make(1, kCameraRelease, 1);
    CamDouble().zoom = {1, 77};
    QDir().mkpath(PathFor("taken.set"));
    prompter.files = {std::nullopt, PathFor("taken.set"), PathFor("export.set")};
    EXPECT_FALSE(RunExport(nullptr, s)) << "cancelled";
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{});
    EXPECT_TRUE(s.Tracking());
    EXPECT_EQ(QDir::currentPath(), documents);
    EXPECT_FALSE(RunExport(nullptr, s)) << "cannot write";
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], LoadStringRes(IDS_SETTING_FILE_NOT_WRITTEN));
    EXPECT_FALSE(prompter.texts[0].isEmpty());
    EXPECT_EQ(prompter.captions[0], QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(s.Modified(), 1);
    EXPECT_TRUE(RunExport(nullptr, s));
    const auto& r = prompter.requests.at(2);
    EXPECT_FALSE(r.open || !r.directory.isEmpty() || !r.overwritePrompt);
    EXPECT_EQ(r.defaultExt + r.fileName, QStringLiteral("setnoname.set"));
    EXPECT_EQ(r.filter, QStringLiteral("Setting Files (*.set);;All Files (*)"));
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamGetZoom()", "CamGetZoom()"})) << "read back before each write";
    EXPECT_EQ(s.Modified(), 0);
    EXPECT_FALSE(s.Tracking());
    EXPECT_EQ(prompter.texts.size(), 1);
    const auto back = ImportSettingFile(PathFor("export.set").toStdString());
    ASSERT_EQ(back.status, SettingFileStatus::Ok);
    EXPECT_EQ(std::tuple(back.content.nDeviceKind, back.content.nPosition, back.content.bReverse), std::tuple(2, 1, 1));
    EXPECT_EQ(back.content.settings, s.Settings());
    EXPECT_EQ(back.content.settings.m_nFreeZoom, 77) << "what the camera showed";
}

TEST_F(SettingFileFlow, ImportReplacesTheSetUpAndSendsTheCameraToIt)
{
    CCameraSettings file;
    file.m_nUpMode = 1;
    file.m_nUpDirection = 5;
    file.m_upPresets[5] = CCameraPosition(200, 10, 20, 30);
    file.m_bTracking = 1;
    ASSERT_TRUE(ExportSettingFile(PathFor("in.set").toStdString(), file, 3, 2, 0));
    file.m_bTracking = 0;
    ControllerSession& s = Make(0, kCameraUpside);  // not modified: no question
    QSignalSpy changed(&s, &ControllerSession::stateChanged);
    prompter.files = {PathFor("in.set")};
    EXPECT_TRUE(RunImport(nullptr, s));
    EXPECT_TRUE(prompter.texts.isEmpty());
    ASSERT_EQ(prompter.requests.size(), 1u);
    EXPECT_TRUE(prompter.requests[0].open && prompter.requests[0].fileName.isEmpty());
    EXPECT_EQ(Setup(s), std::tuple(3, 2, 0, 0));
    EXPECT_EQ(s.Settings(), file);
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{"CamSetPosition(1,200,10,20,30)"});
    EXPECT_GE(changed.count(), 1) << "the views are told";
    EXPECT_EQ(QDir::currentPath(), documents);
}

TEST_F(SettingFileFlow, ImportAfterModifyingAsksAndWithoutSpeakerphoneCentresBothDirections)
{
    Write("plain.set", "[Up]\nMode=1\nDirection=2\n[UpDir2]\nPan=21\nTilt=22\nZoom=23\nRoll=24\n[Front]\nDirection=4\n");
    ControllerSession& s = Make(1, kCameraUpside);
    const CCameraSettings before = s.Settings();
    prompter.answers = {IDCANCEL, IDOK};
    EXPECT_FALSE(RunImport(nullptr, s)) << "Cancel stops everything";
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], LoadStringRes(IDS_REPLACE_SETTINGS));
    EXPECT_TRUE(prompter.texts[0].startsWith(QStringLiteral("Current camera settings will be replaced")));
    EXPECT_EQ(prompter.types[0], MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_TRUE(prompter.requests.empty());
    EXPECT_EQ(std::tuple(Setup(s), s.Settings() == before), std::tuple(std::tuple(2, 1, 1, 1), true));
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{});
    EXPECT_EQ(QDir::currentPath(), QDir(QDir::tempPath()).canonicalPath()) << "not even the folder is reset";
    prompter.files = {PathFor("plain.set")};
    EXPECT_TRUE(RunImport(nullptr, s));
    EXPECT_EQ(prompter.texts.size(), 2);  // the question only
    EXPECT_EQ(Setup(s), std::tuple(0, 0, 0, 0));
    EXPECT_EQ(std::pair(s.Settings().m_nUpDirection, s.Settings().m_nFrontDirection), std::pair(6, 6));
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{"CamSetPosition(1,21,22,23,24)"})
        << "the camera goes to the imported direction before no speakerphone centres it";
}

TEST_F(SettingFileFlow, RefusedFilesChangeNothing)
{
    Write("newer.set", "[QVT-VZ1]\nDevice=7\nPosition=2\n[Up]\nDirection=1\n");
    Write("older.set", "[QVT-VZ1]\nDevice=-1\nPosition=2\n[Up]\nDirection=1\n");
    QDir().mkpath(PathFor("dir.set"));
    ControllerSession& s = Make(0, kCameraUpside);
    const CCameraSettings before = s.Settings();
    prompter.files = {PathFor("newer.set"), PathFor("older.set"), PathFor("dir.set")};
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(RunImport(nullptr, s));
    ASSERT_EQ(prompter.texts.size(), 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(prompter.texts[i].startsWith(QStringLiteral("Invalid Device\n"))) << i;
        EXPECT_EQ(prompter.types[i], MB_OK | MB_ICONSTOP);
    }
    EXPECT_EQ(prompter.texts[2], LoadStringRes(IDS_SETTING_FILE_NOT_READ));
    EXPECT_EQ(QDir::currentPath(), documents);
    EXPECT_EQ(Setup(s), std::tuple(2, 1, 1, 0));
    EXPECT_EQ(s.Settings(), before);
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{});
}

TEST_F(SettingFileFlow, WithoutDocumentsFolderTheProgramFolderBecomesCurrent)
{
    QDir(documents).removeRecursively();
    EXPECT_EQ(ResetCurrentDirectory(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(QDir::currentPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}
