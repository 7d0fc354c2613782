// The model table's unit mapping and the "Camera" profile section.
#include "camera/CameraConnectionProfile.h"
#include "camera/ViscaUnits.h"
#include "camera/model/ViscaModel.h"
#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

TEST(ViscaModel, TheQvtVz1RowMapsExactlyAsTheCameraProtocolDoes)
{
    const UnitMap units(BuiltInModel("qvt-vz1"));
    for (int v = -20; v <= 400; ++v) {
        ASSERT_EQ(units.PanToWire(v), visca_units::PanToWire(v)) << v;
        ASSERT_EQ(units.TiltToWire(v), visca_units::TiltToWire(v)) << v;
        ASSERT_EQ(units.ZoomToWire(v), visca_units::ZoomToWire(v)) << v;
    }
    for (int w = -2000; w <= 0x4100; w += 7) {
        ASSERT_EQ(units.PanFromWire(w), visca_units::PanFromWire(w)) << w;
        ASSERT_EQ(units.TiltFromWire(w), visca_units::TiltFromWire(w)) << w;
        ASSERT_EQ(units.ZoomFromWire(w), visca_units::ZoomFromWire(w)) << w;
    }
}

TEST(ViscaModel, OtherModelsMapTheirDocumentedEndsAndClampBeyond)
{
    struct Row { const char* id; bool reversed; int pan, tilt, zoom; int panWire, tiltWire, zoomWire; };
    const Row rows[] = {
        {"generic", false, 10, -30, 0, -0x0990, -0x01B0, 0},
        {"generic", false, 350, 90, 180, 0x0990, 0x0510, 0x4000},
        {"generic", false, 180, 0, 90, 0, 0, 0x2000},
        {"generic", false, 0, -90, -5, -0x0990, -0x01B0, 0},         // clamped
        {"generic", false, 999, 200, 900, 0x0990, 0x0510, 0x4000},   // clamped
        {"evi-d70", false, 10, 90, 180, -0x08DB, 0x04B0, 0x4000},
        {"evi-d80", false, 350, -20, 0, 0x1E1B, -0x038B, 0},
        {"generic", true, 10, -30, 0, 0x0990, 0x0510, 0},            // a ceiling mount
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.id) + " " + std::to_string(r.pan));
        ViscaModel m = BuiltInModel(r.id);
        m.panReversed = m.tiltReversed = r.reversed;
        const UnitMap units(m);
        EXPECT_EQ(units.PanToWire(r.pan), r.panWire);
        EXPECT_EQ(units.TiltToWire(r.tilt), r.tiltWire);
        EXPECT_EQ(units.ZoomToWire(r.zoom), r.zoomWire);
        // What is sent reads back as the (clamped) value; beyond the range is not believed.
        EXPECT_EQ(units.PanFromWire(r.panWire), std::clamp(r.pan, units.PanMin(), units.PanMax()));
        EXPECT_EQ(units.TiltFromWire(r.tiltWire), std::clamp(r.tilt, units.TiltMin(), units.TiltMax()));
        EXPECT_FALSE(units.PanFromWire(r.reversed ? -0x0A00 : 0x0A00 + 0x1E1B));
    }
    EXPECT_EQ(BuiltInModel("no-such-model").id, "qvt-vz1");
}

TEST(ViscaModel, TheTwentyBitRowMapsItsPublishedEndsLeftPositive)
{
    const ViscaModel& brc = BuiltInModel("brc-h700");
    ASSERT_EQ(brc.id, "brc-h700");
    EXPECT_TRUE(brc.IsValid());
    EXPECT_EQ(brc.PanTiltReplyLength(), 9u);
    const UnitMap units(brc);
    // Left end 08A58, right end F75A8 (20 bits), up end 493D, down end E796.
    EXPECT_EQ(units.PanToWire(10), 0x8A58);
    EXPECT_EQ(units.PanToWire(350), -0x8A58);
    EXPECT_EQ(units.TiltToWire(90), 0x493D);
    EXPECT_EQ(units.TiltToWire(-30), -0x186A);
    EXPECT_FALSE(units.PanFromWire(0x9000));  // beyond the left end: not believed

    // Only four or five pan nibbles, and the pan range within their signed values.
    struct Row { int nibbles, panMax; bool valid; };
    for (const Row& r : {Row{5, 0x8A58, true}, Row{4, 0x8A58, false}, Row{5, 0x80000, false}, Row{6, 0x0990, false}}) {
        ViscaModel m = BuiltInModel("generic");
        m.panNibbles = r.nibbles;
        m.panMinUnits = -r.panMax, m.panMaxUnits = r.panMax;
        EXPECT_EQ(m.IsValid(), r.valid) << r.nibbles << " " << r.panMax;
    }
}

TEST(CameraConnectionProfile, MissingOrDamagedValuesReadAsSafeDefaults)
{
    ProfileFile empty;
    EXPECT_EQ(ReadCameraConnection(empty).kind, CameraConnection::Kind::Usb);
    EXPECT_EQ(ReadCameraConnection(empty).Model().id, "qvt-vz1");

    ProfileFile bad;
    for (auto [key, value] : {std::pair{"Connection", "4"}, {"Speed", "12345"}, {"Address", "9"}, {"Transport", "-1"},
                              {"Port", "70000"}, {"Model", "qvt-vz1"}, {"Framing", "5"}, {"PanMinUnits", "9"},
                              {"PanMaxUnits", "3"}, {"VideoStream", "file:///etc/passwd"}})
        bad.SetString(kCameraSection, key, value);
    const CameraConnection c = ReadCameraConnection(bad);
    EXPECT_EQ(c.kind, CameraConnection::Kind::Usb);
    EXPECT_EQ(c.baud, 9600);
    EXPECT_EQ(c.address, 1);
    EXPECT_EQ(c.net, CameraConnection::Net::ViscaIp);
    EXPECT_EQ(c.port, 52381);
    EXPECT_EQ(c.modelId, "generic");  // the QVT-VZ1 is not a model of a VISCA camera
    EXPECT_EQ(c.framing, 0);
    EXPECT_EQ(c.videoStream, "");  // only a network picture is played
    CameraConnection custom = c;
    custom.kind = CameraConnection::Kind::Serial;
    custom.modelId = "custom";  // its ranges cannot be mapped: the generic row instead
    EXPECT_EQ(custom.Model().panMaxUnits, BuiltInModel("generic").panMaxUnits);

    CameraConnection written;
    written.kind = CameraConnection::Kind::Network;
    written.host = "cam.local";
    written.net = CameraConnection::Net::Tcp;
    written.port = 5678;
    written.address = 3;
    written.modelId = "custom";
    written.framing = CameraConnection::kOneParticipant;
    written.videoStream = "rtsp://cam.local/live";
    written.customModel = BuiltInModel("evi-d70");
    written.customModel.id = "custom";
    written.customModel.name = "Custom";
    written.customModel.vendorFrames = false;
    written.customModel.tiltReversed = true;
    written.customModel.panNibbles = 5;
    written.customModel.panMaxUnits = 0x10000;  // needs the fifth nibble
    ProfileFile file;
    WriteCameraConnection(file, written);
    EXPECT_EQ(ReadCameraConnection(file), written);
    EXPECT_EQ(written.Model().tiltMaxUnits, 0x04B0);
    EXPECT_EQ(written.Model().panMaxUnits, 0x10000);
    EXPECT_EQ(written.Describe(), "tcp cam.local:5678");

    // Video stream addresses: none, or one of the schemes that play a network picture.
    const std::pair<const char*, bool> streams[] = {
        {"", true},          {"rtsp://10.0.0.5:554/live", true}, {"HTTP://cam/mjpg", true}, {"udp://@:5000", true},
        {"rtsp://", false},  {"file:///etc/passwd", false},       {"cam.local", false},      {"rtsp://a b", false}};
    for (const auto& [text, valid] : streams)
        EXPECT_EQ(CameraConnection::ValidVideoStream(text), valid) << text;

    // A USB camera: its node and its mounting (the reversal keys) come back.
    written.kind = CameraConnection::Kind::Uvc;
    written.uvcDevice = "/dev/v4l/by-id/usb-Cam-video-index0";
    WriteCameraConnection(file, written);
    EXPECT_EQ(ReadCameraConnection(file), written);
    EXPECT_EQ(written.Describe(), written.uvcDevice);
}

TEST(CameraConnection, NameIsNothingForTheQvtVz1AndTheModelOrPlaceForAnyOther)
{
    CameraConnection c;
    EXPECT_EQ(c.Name(), "");
    c.kind = CameraConnection::Kind::Serial;
    c.serialPort = "/dev/ttyUSB0";
    EXPECT_EQ(c.Name(), "/dev/ttyUSB0");  // the generic row has no name worth giving
    c.modelId = "evi-d80";
    EXPECT_EQ(c.Name(), "EVI-D80/D90 (/dev/ttyUSB0)");
    c.kind = CameraConnection::Kind::Network;
    c.host = "cam.local";
    c.modelId = "custom";
    EXPECT_EQ(c.Name(), "visca-ip cam.local:52381");
}
