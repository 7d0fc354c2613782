// The remote interface in process, on a private bus, over the real dialog and frame with the
// recording camera double: what each method sends to the camera, when it is refused, and
// what the properties and signals tell.
#include "app/MainFrame.h"
#include "app/remote/RemoteControl.h"
#include "app/remote/RemoteNames.h"
#include "platform/Profile.h"
#include "platform/WinMessages.h"
#include "tests/remote/PrivateBus.h"
#include "tests/shell/RecordingTray.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDialog>
#include <QFile>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

using Calls = std::vector<std::string>;

// Upside presets apply (mode 1), direction 0 chosen, a QVT-40S through the MZC record.
const char* const kUpside = "[QVT-VZ1]\nDevice=4\n[General]\nMode=0\nTracking=0\n[Up]\nMode=1\nDirection=0\n"
                            "[UpDir2]\nPan=22\nTilt=2\nZoom=20\nRoll=92\n[UpDir3]\nPan=33\nTilt=3\nZoom=30\nRoll=93\n";
const char* const kTracking = "[QVT-VZ1]\nDevice=4\n[General]\nMode=0\nTracking=1\n[Up]\nMode=1\nDirection=0\n"
                              "[UpDir3]\nPan=33\nTilt=3\nZoom=30\nRoll=93\n";
const char* const kBuiltInView = "[QVT-VZ1]\nDevice=4\n[General]\nMode=0\nTracking=0\n[Up]\nMode=3\n";
const char* const kTriangle = "[QVT-VZ1]\nDevice=3\n[General]\nMode=0\nTracking=0\n[Up]\nMode=1\n";
const char* const kNoSpeakerphone = "[QVT-VZ1]\nDevice=0\n[General]\nMode=0\nTracking=0\n";
const char* const kManual = "[QVT-VZ1]\nDevice=4\n[General]\nMode=1\nTracking=0\nUser Mode=2\n";

// What a client on the bus hears: "Name=value" per changed property, "TalkerChanged=d".
class SignalLog : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void Changed(const QDBusMessage& m)
    {
        const QVariantMap values = qdbus_cast<QVariantMap>(m.arguments().value(1));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            lines << it.key() + QLatin1Char('=') + it.value().toString();
    }
    void Talker(uint direction) { lines << QStringLiteral("TalkerChanged=%1").arg(direction); }

public:
    QStringList lines;
};

class RemoteControlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_bus = new PrivateBus; }
    static void TearDownTestSuite() { delete s_bus; }
    void SetUp() override
    {
        ASSERT_FALSE(s_bus->Address().isEmpty()) << "dbus-daemon did not start";
        CamDouble().Reset();
        ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-remote-test-" + std::to_string(::getpid()) + "-").c_str(), 1);
    }
    void TearDown() override
    {
        service.reset();
        actions.reset();
        frame.reset();
        AfxSetMainWnd(nullptr);
        QDBusConnection::disconnectFromBus(m_server);
        QDBusConnection::disconnectFromBus(m_client);
    }

    // The controller with profile, the camera open and standing in mode (255: none reported).
    void Start(const char* profile, int mode)
    {
        std::ofstream(ApplicationProfilePath(), std::ios::binary | std::ios::trunc) << profile;
        frame = std::make_unique<CMainFrame>(std::make_unique<RecordingTray>());
        AfxSetMainWnd(frame.get());
        ASSERT_TRUE(frame->Create());
        static int n = 0;
        m_server = QStringLiteral("server%1").arg(++n);
        m_client = QStringLiteral("client%1").arg(n);
        actions = std::make_unique<remote::RemoteActions>(frame->Session(), *frame);
        service = std::make_unique<remote::RemoteControl>(*actions,
                                                          QDBusConnection::connectToBus(s_bus->Address(), m_server));
        ASSERT_TRUE(service->Register());
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(s_bus->Address(), m_client));
        int posts = 0;
        QObject::connect(service.get(), &remote::RemoteControl::TalkerChanged, service.get(), [&posts] { ++posts; });
        QCoreApplication::sendPostedEvents();  // the first presence report opens the camera
        // A running worker's first post ("nobody") is handled before the camera stands.
        if (frame->Session().TrackingWorkerRunning()) {
            ASSERT_TRUE(WaitUntil([&] { return posts > 0; }));
        }
        QObject::disconnect(service.get(), &remote::RemoteControl::TalkerChanged, nullptr, nullptr);
        if (mode != 255)
            SendMessage(frame.get(), WM_CAMERA_MODE, static_cast<WPARAM>(mode), 0);
        service->FirmwareVersion();  // read once the camera is open
        CamDouble().TakeCommands();
    }

    QDBusMessage Call(const QString& interface, const QString& method, const QVariantList& args)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(QLatin1String(remote::kService), QLatin1String(remote::kPath),
                                                        interface, method);
        m.setArguments(args);
        QDBusPendingCall pending = client->asyncCall(m);
        EXPECT_TRUE(WaitUntil([&] { return pending.isFinished(); }));
        return pending.reply();
    }
    // The short error name of the reply; empty for a success.
    std::string Error(const char* method, const QVariantList& args = {})
    {
        const QDBusMessage reply = Call(QLatin1String(remote::kInterface), QLatin1String(method), args);
        if (reply.type() != QDBusMessage::ErrorMessage)
            return {};
        EXPECT_FALSE(reply.errorMessage().isEmpty());
        return reply.errorName().section(QLatin1Char('.'), -1).toStdString();
    }
    QVariant Property(const char* name)
    {
        const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {QLatin1String(remote::kInterface), QLatin1String(name)});
        return reply.arguments().isEmpty() ? QVariant() : reply.arguments().constFirst().value<QDBusVariant>().variant();
    }

    static inline PrivateBus* s_bus = nullptr;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<remote::RemoteActions> actions;
    std::unique_ptr<remote::RemoteControl> service;
    std::unique_ptr<QDBusConnection> client;
    QString m_server, m_client;
};

struct MethodCase
{
    const char* profile;
    int mode;
    const char* method;
    QVariantList args;
    const char* error;  // "" for a success
    Calls commands;     // what reached the camera at once
};

TEST_F(RemoteControlTest, MethodsActAsTheirControlsOrAreRefused)
{
    const QString bad = QStringLiteral("/nonexistent/folder/x.set");
    const MethodCase cases[] = {
        // Directions on the selector: teaching reads the old preset back and sends the new one.
        {kUpside, 1, "SelectDirection", {3u}, "",
         {"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()", "CamSetPosition(1,33,3,30,93)"}},
        {kUpside, 1, "SelectDirection", {7u}, "InvalidArgument", {}},
        {kTriangle, 1, "SelectDirection", {4u}, "InvalidArgument", {}},
        {kUpside, 0, "SelectDirection", {2u}, "NotInThisMode", {}},
        {kNoSpeakerphone, 1, "SetTracking", {true}, "NotInThisMode", {}},
        {kTracking, 1, "SelectDirection", {2u}, "NotInThisMode", {}},
        {kUpside, 255, "SetTracking", {true}, "NoCamera", {}},
        // A talker's direction: only while tracking drives the camera; nothing is read back.
        {kTracking, 1, "GoToDirection", {3u}, "", {"CamSetPosition(1,33,3,30,93)"}},
        {kUpside, 1, "GoToDirection", {3u}, "NotInThisMode", {}},
        {kTracking, 1, "GoToDirection", {8u}, "InvalidArgument", {}},
        // Pads: a press now, the release later; refused where the pad is grey.
        {kUpside, 1, "Drive", {QStringLiteral("up"), 10000u}, "", {"CamDrive(8)"}},
        {kManual, 2, "Drive", {QStringLiteral("zoom-in"), 5000u}, "", {"CamDrive(16)"}},
        {kBuiltInView, 1, "Drive", {QStringLiteral("up"), 100u}, "NotInThisMode", {}},
        {kUpside, 1, "Drive", {QStringLiteral("up"), 10001u}, "InvalidArgument", {}},
        {kUpside, 1, "Drive", {QStringLiteral("north"), 100u}, "InvalidArgument", {}},
        {kUpside, 255, "Drive", {QStringLiteral("up"), 100u}, "NoCamera", {}},
        // Option buttons of the current page, as the camera's position offers them.
        {kBuiltInView, 1, "ViewButton", {1u}, "", {"CamSetPosition(1,90,0,90,90)"}},
        {kBuiltInView, 0, "ViewButton", {2u}, "NotInThisMode", {}},
        {kManual, 0, "ViewButton", {2u}, "",
         {"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()", "CamSelectView(3)"}},
        {kManual, 0, "ViewButton", {4u}, "InvalidArgument", {}},
        {kUpside, 1, "SelectPage", {QStringLiteral("Auto")}, "InvalidArgument", {}},
        // Setting files: full paths only, never while tracking, failures named.
        {kUpside, 1, "ExportSettings", {QStringLiteral("relative.set")}, "InvalidArgument", {}},
        {kTracking, 1, "ExportSettings", {TestRootDir() + QStringLiteral("/t.set")}, "NotInThisMode", {}},
        {kUpside, 1, "ExportSettings", {bad}, "FileError",
         {"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()"}},
        {kUpside, 1, "ImportSettings", {bad}, "FileError", {}},
        // Firmware from a named file: the dialog's run, its failure named; nothing without camera.
        {kUpside, 1, "UpdateFirmware", {QStringLiteral("fw.bin")}, "InvalidArgument", {}},
        {kUpside, 255, "UpdateFirmware", {bad}, "NoCamera", {}},
        // Closed for the run, opened again, and its version asked anew: the update may have changed it.
        {kUpside, 1, "UpdateFirmware", {bad}, "UpdateFailed",
         {"CamGetFirmwareVersion()", "CamClose()", "CamOpen(/dev/pts/77,1027,1029)", "CamGetVideoFormat()",
          "CamGetFirmwareVersion()", "CamOpen(/dev/pts/77,1027,1029)", "CamGetVideoFormat()"}},
    };
    for (const MethodCase& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + QVariant(c.args).toString().toStdString() + " in mode "
                     + std::to_string(c.mode) + "\n" + c.profile);
        Start(c.profile, c.mode);
        EXPECT_EQ(Error(c.method, c.args), c.error);
        QCoreApplication::sendPostedEvents();  // what the call posted (a presence check) has acted
        EXPECT_EQ(CamDouble().TakeCommands(), c.commands);
        TearDown();
    }
}

TEST_F(RemoteControlTest, DriveReleasesAfterItsTimeAndOnStop)
{
    Start(kUpside, 1);
    ASSERT_EQ(Error("Drive", {QStringLiteral("left"), 30u}), "");
    EXPECT_TRUE(WaitUntil([] { return CamDouble().Commands().size() == 2; }));
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamDrive(2)", "CamDrive(0)"}));
    ASSERT_EQ(Error("Drive", {QStringLiteral("right"), 10000u}), "");
    ASSERT_EQ(Error("Drive", {QStringLiteral("down"), 10000u}), "");  // releases the first
    ASSERT_EQ(Error("Stop"), "");
    ASSERT_EQ(Error("Stop"), "");  // nothing held: still done
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamDrive(1)", "CamDrive(0)", "CamDrive(4)", "CamDrive(0)"}));
}

TEST_F(RemoteControlTest, BusyWhileAWindowWaitsForAnAnswer)
{
    Start(kUpside, 1);
    QDialog modal;
    modal.setModal(true);
    modal.open();
    const std::pair<const char*, QVariantList> calls[] = {
        {"ShowController", {}}, {"HideController", {}}, {"ShowVideo", {true}}, {"SelectPage", {QStringLiteral("manual")}},
        {"Drive", {QStringLiteral("up"), 100u}}, {"ImportSettings", {QStringLiteral("/x.set")}}};
    for (const auto& [method, args] : calls)
        EXPECT_EQ(Error(method, args), "Busy") << method;
    modal.close();
    EXPECT_EQ(Error("SelectPage", {QStringLiteral("manual")}), "");
    EXPECT_EQ(Property("Page"), QStringLiteral("manual"));
}

TEST_F(RemoteControlTest, ShowVideoOpensAndClosesTheVideoWindowAsItsMenuItem)
{
    Start(kUpside, 1);
    const CControllerDlg& dlg = frame->ControllerDlg();
    // Asking twice for the same state leaves it so (the menu item would toggle it back).
    for (const bool on : {true, true, false, false}) {
        EXPECT_EQ(Error("ShowVideo", {on}), "") << on;
        EXPECT_EQ(dlg.VideoWindowOpen(), on);
    }
}

TEST_F(RemoteControlTest, PropertiesFollowTheControllerWithSignals)
{
    Start(kTracking, 1);
    SignalLog log;
    const QString service = QLatin1String(remote::kService), path = QLatin1String(remote::kPath);
    ASSERT_TRUE(client->connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                QStringLiteral("PropertiesChanged"), &log, SLOT(Changed(QDBusMessage))));
    ASSERT_TRUE(client->connect(service, path, QLatin1String(remote::kInterface), QStringLiteral("TalkerChanged"), &log,
                                SLOT(Talker(uint))));
    const QStringList& changes = log.lines;
    EXPECT_EQ(Property("CameraPresent"), true);
    EXPECT_EQ(Property("CameraMode"), QStringLiteral("upside"));
    EXPECT_EQ(Property("DeviceKind"), 4u);
    EXPECT_EQ(Property("Tracking"), true);
    EXPECT_EQ(Property("FirmwareVersion"), QStringLiteral("2.03"));
    // A direction the worker posts: the signal and the property.
    PostMessage(&frame->ControllerDlg(), WM_TRACKING_DIRECTION, 2, 0);
    EXPECT_TRUE(WaitUntil([&] { return changes.contains(QStringLiteral("TalkerDirection=2")); }));
    PostMessage(&frame->ControllerDlg(), WM_TRACKING_DIRECTION, 2, 0);  // again: a signal, no change
    EXPECT_TRUE(WaitUntil([&] { return changes.count(QStringLiteral("TalkerChanged=2")) == 2; }))
        << changes.join(' ').toStdString();
    SendMessage(frame.get(), WM_CAMERA_MODE, 3, 0);
    EXPECT_TRUE(WaitUntil([&] { return changes.contains(QStringLiteral("CameraMode=front")); }));
    ASSERT_EQ(Error("SetTracking", {false}), "");
    EXPECT_TRUE(WaitUntil([&] { return changes.contains(QStringLiteral("Tracking=false")); }));
    EXPECT_EQ(Property("TalkerDirection"), 255u);
    SendMessage(frame.get(), WM_CAMERA_LINK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return changes.contains(QStringLiteral("CameraMode=none")); }));
}

TEST_F(RemoteControlTest, ExportThenImportRestoresTheSetup)
{
    const QString file = TestRootDir() + QStringLiteral("/remote.set");
    Start(kTriangle, 1);
    ASSERT_EQ(Error("ExportSettings", {file}), "");
    TearDown();
    Start(kUpside, 1);
    ASSERT_EQ(Error("ImportSettings", {file}), "");
    EXPECT_EQ(Property("DeviceKind"), 3u);
    EXPECT_EQ(frame->ControllerDlg().AutoPage().GetDeviceKind(), 3);
    QFile newer(TestRootDir() + QStringLiteral("/newer.set"));
    ASSERT_TRUE(newer.open(QIODevice::WriteOnly));
    newer.write("[QVT-VZ1]\nDevice=7\n");
    newer.close();
    EXPECT_EQ(Error("ImportSettings", {newer.fileName()}), "InvalidFile");
    EXPECT_EQ(Property("DeviceKind"), 3u);
}

} // namespace

#include "RemoteControlTest.moc"
