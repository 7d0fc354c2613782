// The virtual camera's protocol server and state model, without a port.
#include "camera/ViscaFrame.h"
#include "camera/ViscaUnits.h"
#include "sim/CameraModel.h"
#include "sim/FirmwareReceiver.h"
#include "camera/transport/ViscaIpPacket.h"
#include "sim/ViscaIpDelivery.h"
#include "sim/ViscaServer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace visca;

namespace {

Frame Join(std::initializer_list<Frame> parts)
{
    Frame all;
    for (const Frame& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

const Frame kDone = Join({Ack(1), Completion(1)});
const Frame kNotExecutable = ErrorReply(1, kErrorNotExecutable);
const Frame kSyntax = ErrorReply(0, kErrorSyntax);

class Server : public ::testing::Test
{
protected:
    ServerOutput Send(const Frame& f, long long now = 0) { return server.Handle(f, now); }
    std::string TraceOf(const Frame& f, long long now = 0)
    {
        const ServerOutput out = Send(f, now);
        return out.trace.empty() ? std::string() : out.trace.front();
    }

    CameraModel model;
    ViscaServer server{model};
};

std::vector<std::uint8_t> Image(const char* marker, const char* version, size_t payload)
{
    std::vector<std::uint8_t> image(16 + payload, 0x5A);
    std::memcpy(image.data(), marker, 8);
    std::memset(image.data() + 8, 0, 8);
    std::memcpy(image.data() + 8, version, std::min<size_t>(8, std::strlen(version)));
    return image;
}

} // namespace

TEST_F(Server, AnswersLinkStartLikeAnyViscaCamera)
{
    EXPECT_EQ(Send(AddressSet()).reply, AddressSetReply(2));
    EXPECT_EQ(Send(InterfaceClear()).reply, InterfaceClearReply());
    EXPECT_EQ(Send({0x81, 0x01, 0x00, 0x01, 0xFF}).reply, (Frame{0x90, 0x50, 0xFF}));  // to this camera
    // Frames for other addresses are not ours: no reply at all.
    EXPECT_TRUE(Send({0x82, 0x09, 0x06, 0x12, 0xFF}).reply.empty());
    // The standard version inquiry tells the ROM version.
    const ServerOutput version = Send(VersionInquiry());
    ASSERT_EQ(version.reply.size(), 10u);
    EXPECT_EQ(version.reply[6], 2);
    EXPECT_EQ(version.reply[7], 3);
}

TEST_F(Server, CommandsGetAckAndCompletionAndTheirDecodedTrace)
{
    using namespace visca_units;
    const std::pair<Frame, const char*> commands[] = {
        {PanTiltDrive(PanMotion::Left, TiltMotion::Up), "drive bits=10"},
        {PanTiltDrive(PanMotion::Right, TiltMotion::Down), "drive bits=5"},
        {PanTiltDrive(PanMotion::Stop, TiltMotion::Stop), "drive bits=0"},
        {{0x81, 0x01, 0x06, 0x01, 0x00, 0x00, 0x03, 0x03, 0xFF}, "drive bits=0"},  // a stop without speeds
        {ZoomDrive(ZoomMotion::Tele), "zoom-drive bits=16"},
        {ZoomDrive(ZoomMotion::Wide), "zoom-drive bits=32"},
        {ZoomDrive(ZoomMotion::Stop), "zoom-drive bits=0"},
        {PanTiltAbsolute(PanToWire(65), TiltToWire(75)), "pan-tilt-absolute pan=65 tilt=75"},
        {ZoomDirect(ZoomToWire(39)), "zoom-direct zoom=39"},
        {RollDirect(1, RollToWire(0)), "set-position kind=1 pan=65 tilt=75 zoom=39 roll=0"},
        {RollDirect(0, RollToWire(45)), "roll-direct roll=45"},
        {MemoryRecall(3), "select-view view=3"},
        {VideoFormatSet(1), "video-format format=1"},
        {CommitSettings(), "commit"},
        {{0x81, 0x01, 0x06, 0x04, 0xFF}, "pan-tilt-home"},
        {RollDirect(2, RollToWire(90)), "set-position kind=2 pan=180 tilt=0 zoom=120 roll=90"},
        {PanTiltAbsolute(PanToWire(100), TiltToWire(10)), "pan-tilt-absolute pan=100 tilt=10"},
        {{0x81, 0x01, 0x06, 0x05, 0xFF}, "pan-tilt-reset"},
        {RollDirect(2, RollToWire(90)), "set-position kind=2 pan=180 tilt=0 zoom=120 roll=90"}};
    for (const auto& [frame, trace] : commands) {
        const ServerOutput out = Send(frame);
        EXPECT_EQ(out.reply, kDone) << trace;
        EXPECT_EQ(out.trace, std::vector<std::string>{trace});
    }
    EXPECT_EQ(TraceOf(PanTiltInquiry()), "inquire pan-tilt pan=180 tilt=0");  // what a reader is told
}

TEST_F(Server, RefusesWhatItCannotDoAndWhatItDoesNotUnderstand)
{
    // View 5, memory set, format 2, zoom past the end, pan past 360, tilt past 79.
    for (const Frame& f : {MemoryRecall(5), Frame{0x81, 0x01, 0x04, 0x3F, 0x01, 0x03, 0xFF}, VideoFormatSet(2),
                           ZoomDirect(0x5000), PanTiltAbsolute(1900, 0), PanTiltAbsolute(0, 800)})
        EXPECT_EQ(Send(f).reply, kNotExecutable) << f.size();
    EXPECT_DOUBLE_EQ(model.pan, 90);  // refused moves leave the camera where it was
    // Speed 0, direction 4, not nibbles, unknown command, inquiry and type.
    for (const Frame& f : std::vector<Frame>{{0x81, 0x01, 0x06, 0x01, 0x00, 0x01, 0x01, 0x01, 0xFF},
                                             {0x81, 0x01, 0x06, 0x01, 0x01, 0x01, 0x04, 0x01, 0xFF},
                                             {0x81, 0x01, 0x04, 0x47, 0x01, 0x10, 0x00, 0x00, 0xFF},
                                             {0x81, 0x01, 0x55, 0xFF}, {0x81, 0x09, 0x55, 0x55, 0xFF}, {0x81, 0x7F, 0xFF}})
        EXPECT_EQ(Send(f).reply, kSyntax) << f.size();
    EXPECT_EQ(Send({0x81, 0x21, 0xFF}).reply, ErrorReply(1, kErrorNoSocket));  // nothing to cancel
    EXPECT_EQ(TraceOf({0x81, 0x01, 0x55, 0xFF}), "syntax-error frame=81 01 55 FF");
}

TEST_F(Server, InquiriesReportTheModelInWireUnits)
{
    model.pan = 65;
    model.tilt = 75;
    model.zoom = 180;
    model.stand = 3;
    model.videoFormat = 1;
    Frame expected{0x90, 0x50};
    AppendNibbles(expected, static_cast<std::uint32_t>(visca_units::PanToWire(65)) & 0xFFFF, 4);
    AppendNibbles(expected, static_cast<std::uint32_t>(visca_units::TiltToWire(75)), 4);
    expected.push_back(0xFF);
    EXPECT_EQ(Send(PanTiltInquiry()).reply, expected);
    EXPECT_EQ(Send(ZoomInquiry()).reply, (Frame{0x90, 0x50, 0x04, 0x00, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(Send(VendorInquiry(kItemStand)).reply, (Frame{0x90, 0x50, 0x03, 0xFF}));
    EXPECT_EQ(Send(VendorInquiry(kItemVideoFormat)).reply, (Frame{0x90, 0x50, 0x01, 0xFF}));
    EXPECT_EQ(Send(VendorInquiry(kItemFirmwareVersion)).reply, (Frame{0x90, 0x50, '2', '.', '0', '3', 0xFF}));
}

TEST(GenericServer, AnswersWhatAStandardCameraAnswersInItsModelsForm)
{
    CameraModel model;
    ViscaServer server(model, true, "brc-h700");
    model.pan = 10, model.tilt = 90;  // the left and upper ends: 08A58, 493D
    const Frame position{0x90, 0x50, 0x00, 0x08, 0x0A, 0x05, 0x08, 0x04, 0x09, 0x03, 0x0D, 0xFF};
    struct Row { Frame in; Frame reply; const char* trace; };
    const Row rows[] = {
        {PanTiltInquiry(), position, "inquire pan-tilt pan=10 tilt=90"},
        // Five pan nibbles in, the right end F75A8; four are a syntax error for this camera.
        {PanTiltAbsolute(-0x8A58, 0, 0x18, 0x14, 5), kDone, "pan-tilt-absolute pan=350 tilt=0"},
        {PanTiltAbsolute(0, 0, 0x18, 0x14), kSyntax, "syntax-error frame=81 01 06 02 18 14 00 00 00 00 00 00 00 00 FF"},
        // Relative: a step of 08A58 to the left (positive on this camera) from the right end.
        {{0x81, 0x01, 0x06, 0x03, 0x01, 0x01, 0x00, 0x08, 0x0A, 0x05, 0x08, 0x00, 0x00, 0x00, 0x00, 0xFF}, kDone,
         "pan-tilt-relative pan=180 tilt=0"},
        {{0x81, 0x01, 0x06, 0x03, 0x01, 0x01, 0x00, 0x08, 0x0A, 0x05, 0x09, 0x00, 0x00, 0x00, 0x00, 0xFF},
         kNotExecutable, "pan-tilt-relative pan=10 tilt=0"},  // one unit beyond the left end
        // A still axis may carry speed 00; a moving one may not.
        {{0x81, 0x01, 0x06, 0x01, 0x00, 0x05, 0x03, 0x01, 0xFF}, kDone, "drive bits=8"},
        {{0x81, 0x01, 0x06, 0x01, 0x00, 0x05, 0x01, 0x03, 0xFF}, kSyntax, "syntax-error frame=81 01 06 01 00 05 01 03 FF"},
        {{0x81, 0x01, 0x06, 0x01, 0x05, 0x00, 0x03, 0x02, 0xFF}, kSyntax, "syntax-error frame=81 01 06 01 05 00 03 02 FF"},
        // Standby: inquiries are answered, commands other than power are not carried out.
        {{0x81, 0x01, 0x04, 0x00, 0x03, 0xFF}, kDone, "power state=standby"},
        {{0x81, 0x09, 0x04, 0x00, 0xFF}, {0x90, 0x50, 0x03, 0xFF}, "inquire power"},
        {MemoryRecall(3), kNotExecutable, "standby-refused frame=81 01 04 3F 02 03 FF"},
        {{0x81, 0x01, 0x04, 0x00, 0x02, 0xFF}, kDone, "power state=on"},
        {MemoryRecall(3), kDone, "select-view view=3"},
    };
    long long now = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.trace);
        const ServerOutput out = server.Handle(r.in, now += 10);
        EXPECT_EQ(out.reply, r.reply);
        ASSERT_EQ(out.trace.size(), 1u);
        EXPECT_EQ(out.trace.front(), r.trace);
    }
}

TEST(ViscaIpDelivery, CarriesOutEachNumberOnceAndRefusesWhatARealCameraRefuses)
{
    using B = std::vector<std::uint8_t>;
    using Kind = ViscaIpDelivery::Verdict::Kind;
    const B command{0x81, 0x01, 0x06, 0x04, 0xFF}, inquiry{0x81, 0x09, 0x06, 0x12, 0xFF};
    const B reset = visca_ip::Encode(visca_ip::kControl, 7, B{visca_ip::kReset});
    const auto cmd = [&](std::uint32_t n) { return visca_ip::Encode(visca_ip::kCommand, n, command); };
    struct Row { const char* sender; B datagram; Kind kind; std::uint8_t error; const char* what; };
    const Row rows[] = {
        {"a", cmd(5), Kind::Execute, 0, "any first number"},
        {"a", cmd(5), Kind::Error, visca_ip::kErrorSequence, "a resend of a number carried out"},
        {"a", cmd(4), Kind::Error, visca_ip::kErrorSequence, "out of order"},
        {"b", cmd(4), Kind::Execute, 0, "another sender counts on its own"},
        {"a", cmd(9), Kind::Execute, 0, "a gap is no fault"},
        {"a", reset, Kind::Reset, 0, "RESET"},
        {"a", cmd(1), Kind::Execute, 0, "after RESET any number"},
        {"a", visca_ip::Encode(visca_ip::kInquiry, 2, command), Kind::Error, visca_ip::kErrorMessage, "a command as inquiry"},
        {"a", visca_ip::Encode(visca_ip::kCommand, 3, inquiry), Kind::Execute, 0, "an inquiry as command, as clients send it"},
        {"a", visca_ip::Encode(visca_ip::kDeviceSetting, 4, command), Kind::Error, visca_ip::kErrorMessage, "not a device setting"},
        {"a", visca_ip::Encode(0x0300, 4, command), Kind::Error, visca_ip::kErrorMessage, "an unknown payload type"},
        {"a", visca_ip::Encode(visca_ip::kInquiry, 5, inquiry), Kind::Execute, 0, "an inquiry"},
        {"a", B{0x01, 0x00, 0x00, 0x06, 0, 0, 0, 6, 0x81, 0x01, 0x06, 0x04, 0xFF}, Kind::Error, visca_ip::kErrorMessage,
         "a header longer than the datagram"},
        {"a", B{0x01, 0x00, 0x00, 0x05}, Kind::Drop, 0, "no number to answer to"},
        {"a", cmd(0xFFFFFFFF), Kind::Error, visca_ip::kErrorSequence, "half the circle back is before"},
        {"a", reset, Kind::Reset, 0, "RESET again"},
        {"a", cmd(0xFFFFFFFF), Kind::Execute, 0, "the last number"},
        {"a", cmd(0), Kind::Execute, 0, "wraps to 0"},
    };
    ViscaIpDelivery delivery;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto v = delivery.Take(r.sender, r.datagram);
        EXPECT_EQ(v.kind, r.kind);
        EXPECT_EQ(v.error, r.error);
        if (r.kind == Kind::Execute)
            EXPECT_EQ(v.frames, B(r.datagram.begin() + 8, r.datagram.end()));
    }
    // Senders are remembered up to a bound: the longest silent is forgotten first.
    ViscaIpDelivery bounded;
    bounded.Take("old", cmd(1));
    for (std::size_t i = 0; i < ViscaIpDelivery::kMaxSenders; ++i)
        bounded.Take("s" + std::to_string(i), cmd(1));
    EXPECT_EQ(bounded.Take("old", cmd(1)).kind, Kind::Execute);
    EXPECT_EQ(bounded.Take("s15", cmd(1)).kind, Kind::Error);
}

TEST(CameraModelMotion, MovesAtItsSpeedAndStopsAtTheEnds)
{
    CameraModel m;
    m.pan = 100;
    m.Advance(1000);
    m.panDirection = 1;
    m.panSpeed = 0x0C;  // 60 degrees a second
    m.Advance(1500);
    EXPECT_NEAR(m.pan, 130, 1e-9);
    m.zoomDirection = -1;
    m.zoom = 30;
    m.Advance(10000);  // long past both ends
    EXPECT_DOUBLE_EQ(m.pan, 360);
    EXPECT_DOUBLE_EQ(m.zoom, 0);
    EXPECT_FALSE(m.Moving());
    // From an end the camera can move away again.
    m.tiltDirection = 1;
    m.Advance(10000);
    EXPECT_TRUE(m.Moving());
    m.Advance(10100);
    EXPECT_GT(m.tilt, 0);
}

TEST(CameraModelMotion, DriveThroughTheServerFollowsTheClockItIsGiven)
{
    CameraModel m;
    ViscaServer server(m);
    m.zoom = 0;
    server.Handle(ZoomDrive(ZoomMotion::Tele), 10000);
    server.Handle(ZoomInquiry(), 11000);  // one second later: 60 units
    EXPECT_NEAR(m.zoom, 60, 1e-9);
    server.Handle(ZoomDrive(ZoomMotion::Stop), 11000);
    server.Handle(ZoomInquiry(), 20000);
    EXPECT_NEAR(m.zoom, 60, 1e-9);
}

TEST(FirmwareReceiverTest, TakesBlocksInOrderAndChecksTheImage)
{
    const auto image = Image("QVTVZ1FW", "2.10", 300);
    FirmwareReceiver receiver;
    ASSERT_TRUE(receiver.Start(static_cast<std::uint32_t>(image.size())));
    const auto block = [&](int i) { return std::span(image).subspan(i * 128, std::min<size_t>(128, image.size() - i * 128)); };
    EXPECT_EQ(receiver.Block(0, block(0)), FirmwareReceiver::BlockResult::Taken);
    EXPECT_EQ(receiver.Block(0, block(0)), FirmwareReceiver::BlockResult::Repeated);  // reply lost, sent again
    EXPECT_EQ(receiver.Block(2, block(2)), FirmwareReceiver::BlockResult::Refused);   // a gap
    EXPECT_EQ(receiver.Block(1, block(1)), FirmwareReceiver::BlockResult::Taken);
    EXPECT_EQ(receiver.Block(2, block(2)), FirmwareReceiver::BlockResult::Taken);
    EXPECT_EQ(receiver.Block(3, block(2)), FirmwareReceiver::BlockResult::Refused);   // past the size
    EXPECT_EQ(receiver.Finish(FirmwareChecksum(image)), std::optional<std::string>("2.10"));
    EXPECT_FALSE(receiver.Active());
}

TEST(FirmwareReceiverTest, RefusesIncompleteWrongOrUnmarkedImages)
{
    const auto good = Image("QVTVZ1FW", "3.00", 40);
    FirmwareReceiver receiver;
    EXPECT_FALSE(receiver.Start(0));
    EXPECT_FALSE(receiver.Start(FirmwareReceiver::kMaxImageBytes + 1));
    EXPECT_EQ(receiver.Block(0, good), FirmwareReceiver::BlockResult::Refused);  // not started

    ASSERT_TRUE(receiver.Start(static_cast<std::uint32_t>(good.size()) + 1));  // one byte short
    receiver.Block(0, good);
    EXPECT_FALSE(receiver.Finish(FirmwareChecksum(good)).has_value());

    ASSERT_TRUE(receiver.Start(static_cast<std::uint32_t>(good.size())));
    receiver.Block(0, good);
    EXPECT_FALSE(receiver.Finish(FirmwareChecksum(good) ^ 1).has_value());  // damaged on the way

    EXPECT_FALSE(FirmwareReceiver::ImageVersion(Image("QX1\0FWFW", "3.00", 4)).has_value());
    EXPECT_FALSE(FirmwareReceiver::ImageVersion(Image("QVTVZ1FW", "", 4)).has_value());
    EXPECT_FALSE(FirmwareReceiver::ImageVersion(std::vector<std::uint8_t>(good.begin(), good.begin() + 12)).has_value());
    EXPECT_EQ(FirmwareReceiver::ImageVersion(Image("QVTVZ1FW", "12345678", 0)), std::optional<std::string>("12345678"));
}

TEST_F(Server, FirmwareChannelEndToEndAndTheRestartRequest)
{
    const auto image = Image("QVTVZ1FW", "2.10", 200);
    ServerOutput out = Send(FirmwareStart(static_cast<std::uint32_t>(image.size())));
    EXPECT_EQ(out.trace, std::vector<std::string>{"firmware-write bytes=216"});
    EXPECT_EQ(out.reply, kDone);
    EXPECT_EQ(Send(FirmwareBlockFrame(0, std::span(image).first(128))).reply, kDone);
    EXPECT_EQ(Send(FirmwareBlockFrame(1, std::span(image).subspan(128))).reply, kDone);
    out = Send(FirmwareEnd(FirmwareChecksum(image)));
    EXPECT_EQ(out.reply, kDone);
    EXPECT_TRUE(out.restart);
    EXPECT_EQ(out.newVersion, "2.10");
    EXPECT_EQ(model.version, "2.03");  // the new version counts after the restart

    EXPECT_EQ(Send(FirmwareStart(0)).reply, kNotExecutable);
    out = Send(FirmwareEnd(0));
    EXPECT_EQ(out.reply, kNotExecutable);
    EXPECT_FALSE(out.restart);
}

TEST_F(Server, RandomFramesNeverCrashAndGetWellFormedAnswers)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        Frame f{static_cast<std::uint8_t>(0x80 | (rng() % 2 ? 0x01 : 0x08))};
        const size_t length = rng() % 20;
        for (size_t k = 0; k < length; ++k)
            f.push_back(static_cast<std::uint8_t>(rng() % (k < 3 ? 0x80 : 0x20)));
        f.push_back(0xFF);
        const ServerOutput out = Send(f, i);
        if (!out.reply.empty()) {
            ASSERT_EQ(out.reply.back(), 0xFF);
            ASSERT_TRUE(out.reply.front() == 0x90 || out.reply.front() == 0x88);
        }
        ASSERT_TRUE(model.pan >= 0 && model.pan <= visca_units::kPanMax && model.tilt >= 0 &&
                    model.tilt <= visca_units::kTiltMax && model.zoom <= visca_units::kZoomMax &&
                    model.roll <= visca_units::kRollMax) << "frame " << i;
    }
}
