// The probe runner shared by the presence watch (the configured camera) and the settings
// dialog's Test (a camera given, not configured yet): whom it probes and who hears back.
#include "camera/CameraProbeRunner.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

TEST(CameraProbeRunner, AGivenCameraIsProbedAndAnsweredWhateverIsConfigured)
{
    CameraConnection given;
    given.kind = CameraConnection::Kind::Network;
    given.host = "192.0.2.7";
    CameraConnection replacement = given;
    replacement.host = "192.0.2.8";
    const std::string configured = CameraConnection{}.Describe();
    const struct Row {
        const char* what;
        bool askConfigured, askGiven, reconfigure;
        std::vector<std::string> probed;  // in order
        bool configuredAnswered, givenAnswered;
    } rows[] = {
        {"a given camera", false, true, false, {given.Describe()}, false, true},
        {"a given camera while the configuration changes", false, true, true, {given.Describe()}, false, true},
        {"the configured camera, replaced meanwhile", true, false, true, {configured}, false, false},
        {"a given camera asked during the configured one's probe", true, true, false, {configured, given.Describe()}, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CamDouble().Reset();
        CamDouble().ownLinkAnswers = true;
        CamDouble().probe.vendor = "0020";
        CamDouble().HoldOwnLinkProbes(true);
        CameraProbeRunner runner(CamProbeOnOwnLink);
        bool configuredAnswered = false;
        std::optional<CameraProbe> givenProbe;
        if (row.askConfigured)
            runner.Ask([&](bool answers) { configuredAnswered = answers; });
        if (row.askGiven)
            runner.Ask(given, [&](const CameraProbe& probe) { givenProbe = probe; });
        ASSERT_TRUE(WaitUntil([] { return CamDouble().OwnLinkProbeHeld(); }));
        if (row.reconfigure)
            CamConfigure(replacement);
        CamDouble().HoldOwnLinkProbes(false);
        ASSERT_TRUE(WaitUntil([&] { return !runner.Running(); }));

        std::vector<std::string> probed;
        for (const std::string& call : CamDouble().calls)
            if (call.starts_with("CamProbeOnOwnLink("))
                probed.push_back(call.substr(18, call.size() - 19));
        EXPECT_EQ(probed, row.probed);
        EXPECT_EQ(configuredAnswered, row.configuredAnswered);
        ASSERT_EQ(givenProbe.has_value(), row.givenAnswered);
        if (givenProbe) {
            EXPECT_EQ(givenProbe->vendor, "0020") << "the whole answer, not just whether it came";
        }
    }
}
