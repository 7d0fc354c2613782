// The command-line verbs as calls, and the names and lines the interface shows.
#include "app/remote/RemoteState.h"
#include "app/remote/RemoteVerbs.h"

#include <gtest/gtest.h>

using remote::RemoteRequest;
using Kind = RemoteRequest::Kind;

namespace {

struct VerbCase
{
    QStringList args;
    Kind kind;
    const char* method;
    QVariantList arguments;
};

TEST(RemoteVerbsTest, CommandLinesBecomeCalls)
{
    const VerbCase cases[] = {
        {{}, Kind::Start, "", {}},
        {{"-platform", "offscreen"}, Kind::Start, "", {}},
        {{"--show"}, Kind::Call, "ShowController", {}},
        {{"--hide"}, Kind::Call, "HideController", {}},
        {{"--tracking", "on"}, Kind::Call, "SetTracking", {true}},
        {{"--video", "off"}, Kind::Call, "ShowVideo", {false}},
        {{"--tracking=off"}, Kind::Call, "SetTracking", {false}},
        {{"--direction", "6"}, Kind::Call, "SelectDirection", {6u}},
        {{"--go", "9"}, Kind::Call, "GoToDirection", {9u}},  // the range is the instance's to judge
        {{"--view", "2"}, Kind::Call, "ViewButton", {2u}},
        {{"--page", "manual"}, Kind::Call, "SelectPage", {QStringLiteral("manual")}},
        {{"--drive", "up-left"}, Kind::Call, "Drive", {QStringLiteral("up-left"), 500u}},
        {{"--ms", "40", "--drive", "zoom-in"}, Kind::Call, "Drive", {QStringLiteral("zoom-in"), 40u}},
        {{"--stop"}, Kind::Call, "Stop", {}},
        {{"--export", "a/../b.set"}, Kind::Call, "ExportSettings", {QStringLiteral("/home/u/b.set")}},
        {{"--import", "/x/y.set"}, Kind::Call, "ImportSettings", {QStringLiteral("/x/y.set")}},
        {{"--firmware", "/x/fw.bin"}, Kind::Call, "UpdateFirmware", {QStringLiteral("/x/fw.bin")}},
        {{"--status"}, Kind::Status, "", {}},
        {{"--watch"}, Kind::Watch, "", {}},
        {{"--help"}, Kind::Help, "", {}},
        {{"--version"}, Kind::Version, "", {}},
        // Usage errors: unknown words, missing or malformed values, two verbs, a stray --ms.
        {{"--show", "--bogus"}, Kind::UsageError, "", {}},
        {{"--tracking", "maybe"}, Kind::UsageError, "", {}},
        {{"--direction"}, Kind::UsageError, "", {}},
        {{"--direction", "-1"}, Kind::UsageError, "", {}},
        {{"--go", "+3"}, Kind::UsageError, "", {}},
        {{"--view", "99999999999"}, Kind::UsageError, "", {}},
        {{"--show", "--hide"}, Kind::UsageError, "", {}},
        {{"--show=1"}, Kind::UsageError, "", {}},
        {{"--page="}, Kind::UsageError, "", {}},
        {{"--ms", "10"}, Kind::UsageError, "", {}},
        {{"--show", "--ms", "10"}, Kind::UsageError, "", {}},
        {{"--drive", "up", "--ms", "x"}, Kind::UsageError, "", {}},
    };
    for (const VerbCase& c : cases) {
        const RemoteRequest r = remote::ParseVerb(c.args, QStringLiteral("/home/u"));
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(remote::HasVerb(c.args), c.kind != Kind::Start);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.method, QLatin1String(c.method));
        EXPECT_EQ(r.arguments, c.arguments);
        EXPECT_EQ(r.error.isEmpty(), c.kind != Kind::UsageError);
    }
}

TEST(RemoteVerbsTest, NamesAndLines)
{
    const std::pair<int, const char*> modes[] = {{0, "release"}, {1, "upside"}, {2, "ohp"},
                                                 {3, "front"},   {255, "none"},  {-1, "none"}};
    for (const auto& [mode, name] : modes)
        EXPECT_EQ(remote::CameraModeName(mode), QLatin1String(name)) << mode;
    EXPECT_EQ(remote::PageFromName(QStringLiteral("auto")), 0);
    EXPECT_EQ(remote::PageFromName(QStringLiteral("manual")), 1);
    EXPECT_EQ(remote::PageFromName(QStringLiteral("Auto")), -1);
    const std::pair<const char*, int> drives[] = {{"up-left", 1003}, {"down", 1010}, {"zoom-out", 1013},
                                                  {"centre", 0},     {"UP", 0},      {"", 0}};
    for (const auto& [name, id] : drives)
        EXPECT_EQ(remote::DriveButtonId(QLatin1String(name)), id) << name;
    EXPECT_EQ(remote::PropertyLine(QStringLiteral("Tracking"), true), QStringLiteral("Tracking=true"));
    EXPECT_EQ(remote::PropertyLine(QStringLiteral("Direction"), 3u), QStringLiteral("Direction=3"));
}

TEST(RemoteVerbsTest, ChangedPropertiesInInterfaceOrder)
{
    remote::RemoteState a, b;
    EXPECT_TRUE(remote::ChangedProperties(a, b).isEmpty());
    b.firmwareVersion = QStringLiteral("2.03");
    b.cameraMode = 3;
    b.talkerDirection = 2;
    EXPECT_EQ(remote::ChangedProperties(a, b),
              QStringList({"CameraMode", "TalkerDirection", "FirmwareVersion"}));
    EXPECT_EQ(remote::Properties(b).keys().size(), remote::PropertyNames().size());
}

} // namespace
