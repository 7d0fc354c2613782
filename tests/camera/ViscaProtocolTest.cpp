// The protocol pieces both ends share: unit mapping, frame layout, the frame splitter
// and the reply classification, including a randomized run over garbage.
#include "camera/ViscaFrame.h"
#include "camera/ViscaFrameSplitter.h"
#include "camera/ViscaReply.h"
#include "camera/ViscaUnits.h"

#include <gtest/gtest.h>

#include <random>

using namespace visca;
using Kind = Reply::Kind;

namespace {

std::vector<Frame> Split(FrameSplitter& splitter, const Frame& bytes)
{
    std::vector<Frame> frames;
    splitter.Feed(bytes, [&](const Frame& f) { frames.push_back(f); });
    return frames;
}

Frame Concat(std::initializer_list<Frame> parts)
{
    Frame all;
    for (const Frame& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(ViscaUnits, EveryCameraUnitSurvivesTheRoundTrip)
{
    using namespace visca_units;
    const struct { int max; int (*to)(int); std::optional<int> (*from)(int); } axes[] = {
        {kPanMax, PanToWire, PanFromWire}, {kTiltMax, TiltToWire, TiltFromWire},
        {kZoomMax, ZoomToWire, ZoomFromWire}, {kRollMax, RollToWire, RollFromWire}};
    for (const auto& axis : axes)
        for (int v = 0; v <= axis.max; ++v)
            EXPECT_EQ(axis.from(axis.to(v)), v);
}

TEST(ViscaUnits, WireScaleAndClampingOfOutOfRangeValues)
{
    using namespace visca_units;
    EXPECT_EQ(PanToWire(180), 0);
    EXPECT_EQ(PanToWire(0), -1800);
    EXPECT_EQ(PanToWire(360), 1800);
    EXPECT_EQ(ZoomToWire(180), 0x4000);
    EXPECT_EQ(ZoomToWire(0), 0);
    // A hand-edited profile may hold anything; the camera never gets it.
    EXPECT_EQ(PanToWire(-5), PanToWire(0));
    EXPECT_EQ(PanToWire(9999), PanToWire(360));
    EXPECT_EQ(TiltToWire(80), TiltToWire(79));
    EXPECT_EQ(ZoomToWire(-1), 0);
    EXPECT_EQ(RollToWire(271), RollToWire(270));
    // A camera reporting beyond the range is not believed.
    EXPECT_FALSE(PanFromWire(1810).has_value());
    EXPECT_FALSE(TiltFromWire(-10).has_value());
    EXPECT_FALSE(ZoomFromWire(0x4100).has_value());
    EXPECT_FALSE(RollFromWire(2710).has_value());
}

TEST(ViscaFrame, StandardFramesHaveTheirVendorIndependentLayout)
{
    EXPECT_EQ(AddressSet(), (Frame{0x88, 0x30, 0x01, 0xFF}));
    EXPECT_EQ(InterfaceClear(), (Frame{0x88, 0x01, 0x00, 0x01, 0xFF}));
    EXPECT_EQ(PanTiltDrive(PanMotion::Left, TiltMotion::Up, 0x0C, 0x0A),
              (Frame{0x81, 0x01, 0x06, 0x01, 0x0C, 0x0A, 0x01, 0x01, 0xFF}));
    EXPECT_EQ(PanTiltDrive(PanMotion::Stop, TiltMotion::Stop, 1, 1),
              (Frame{0x81, 0x01, 0x06, 0x01, 0x01, 0x01, 0x03, 0x03, 0xFF}));
    // -1800 is F8F8 in 16 bits, one nibble a byte.
    EXPECT_EQ(PanTiltAbsolute(-1800, 790, 0x18, 0x17),
              (Frame{0x81, 0x01, 0x06, 0x02, 0x18, 0x17, 0x0F, 0x08, 0x0F, 0x08, 0x00, 0x03, 0x01, 0x06, 0xFF}));
    EXPECT_EQ(ZoomDrive(ZoomMotion::Tele), (Frame{0x81, 0x01, 0x04, 0x07, 0x02, 0xFF}));
    EXPECT_EQ(ZoomDrive(ZoomMotion::Wide), (Frame{0x81, 0x01, 0x04, 0x07, 0x03, 0xFF}));
    EXPECT_EQ(ZoomDirect(0x4000), (Frame{0x81, 0x01, 0x04, 0x47, 0x04, 0x00, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(MemoryRecall(3), (Frame{0x81, 0x01, 0x04, 0x3F, 0x02, 0x03, 0xFF}));
    EXPECT_EQ(PanTiltInquiry(), (Frame{0x81, 0x09, 0x06, 0x12, 0xFF}));
    EXPECT_EQ(ZoomInquiry(), (Frame{0x81, 0x09, 0x04, 0x47, 0xFF}));
}

TEST(ViscaFrame, FirmwareBlocksCarryNoTerminatorInsideAndRoundTrip)
{
    std::vector<std::uint8_t> data;
    for (int i = 0; i < kFirmwareBlockBytes; ++i)
        data.push_back(static_cast<std::uint8_t>(0xFF - i));
    const Frame frame = FirmwareBlockFrame(0x1234, data);
    ASSERT_EQ(frame.size(), 5u + 4 + 2 * data.size() + 1);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0xFF), 1);
    EXPECT_EQ(ReadNibbles(std::span(frame).subspan(5), 4), 0x1234u);
    for (size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(ReadNibbles(std::span(frame).subspan(9 + 2 * i), 2), data[i]);
    EXPECT_FALSE(ReadNibbles(std::vector<std::uint8_t>{0x01, 0x10}, 2).has_value());
    EXPECT_FALSE(ReadNibbles(std::vector<std::uint8_t>{0x01}, 2).has_value());
    EXPECT_EQ(SignExtend16(0xF8F8), -1800);
}

TEST(ViscaReply, ClassifiesEveryReplyTheCameraSends)
{
    EXPECT_EQ(ClassifyReply(Ack(1)).kind, Kind::Ack);
    EXPECT_EQ(ClassifyReply(Ack(2)).socket, 2);
    EXPECT_EQ(ClassifyReply(Completion(1)).kind, Kind::Completion);
    const Reply error = ClassifyReply(ErrorReply(1, kErrorNotExecutable));
    EXPECT_EQ(error.kind, Kind::Error);
    EXPECT_EQ(error.errorCode, kErrorNotExecutable);
    const std::uint8_t payload[] = {0x01, 0x02};
    const Reply data = ClassifyReply(InquiryReply(payload));
    EXPECT_EQ(data.kind, Kind::InquiryData);
    EXPECT_EQ(data.payload, (std::vector<std::uint8_t>{0x01, 0x02}));
    const Reply stand = ClassifyReply(StandReport(3));
    EXPECT_EQ(stand.kind, Kind::StandReport);
    EXPECT_EQ(stand.stand, 3);
    EXPECT_EQ(ClassifyReply(AddressSetReply(2)).kind, Kind::AddressSetDone);
    EXPECT_EQ(ClassifyReply(InterfaceClearReply()).kind, Kind::InterfaceCleared);
}

TEST(ViscaReply, PanTiltPositionInEitherFormAndNothingFromTheOther)
{
    using B = std::vector<std::uint8_t>;
    struct Row { B payload; int panNibbles; std::optional<std::pair<int, int>> read; };
    const Row rows[] = {
        {{0x0F, 0x08, 0x0F, 0x08, 0x00, 0x03, 0x01, 0x06}, 4, std::pair{-1800, 790}},
        {{0x0F, 0x07, 0x05, 0x0A, 0x08, 0x0E, 0x07, 0x09, 0x06}, 5, std::pair{-0x8A58, -0x186A}},
        {{0x00, 0x08, 0x0A, 0x05, 0x08, 0x04, 0x09, 0x03, 0x0D}, 5, std::pair{0x8A58, 0x493D}},
        // A five-nibble reply read as four, and the reverse: the wrong length, not a wrong value.
        {{0x00, 0x08, 0x0A, 0x05, 0x08, 0x04, 0x09, 0x03, 0x0D}, 4, std::nullopt},
        {{0x0F, 0x08, 0x0F, 0x08, 0x00, 0x03, 0x01, 0x06}, 5, std::nullopt},
        {{0x0F, 0x08, 0x0F, 0x18, 0x00, 0x03, 0x01, 0x06}, 4, std::nullopt},  // not a nibble
        {{0x00, 0x08, 0x0A, 0x05, 0x08, 0x04, 0x09, 0x03, 0x1D}, 5, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(ToHex(r.payload) + " as " + std::to_string(r.panNibbles));
        const auto p = ReadPanTiltPosition(r.payload, r.panNibbles);
        ASSERT_EQ(p.has_value(), r.read.has_value());
        if (p)
            EXPECT_EQ(std::pair(p->pan, p->tilt), *r.read);
    }
}

TEST(ViscaReply, RejectsMalformedReplies)
{
    // No terminator, ACK too long, error without code, another address, stand 4, completion with data.
    for (const Frame& f : std::vector<Frame>{{0x90, 0x41}, {0x90, 0x41, 0x00, 0xFF}, {0x90, 0x60, 0xFF}, {0xA0, 0x41, 0xFF},
                                             {0x90, 0x07, 0x7E, 0x01, 0x20, 0x04, 0xFF}, {0x90, 0x51, 0x01, 0xFF}})
        EXPECT_EQ(ClassifyReply(f).kind, Kind::Unknown) << f.size();
}

TEST(FrameSplitter, CutsFramesAcrossReadsSkipsNoiseAndBadFramesDoNotSwallowGoodOnes)
{
    FrameSplitter splitter(kMaxReplyLength);
    std::vector<Frame> frames;
    for (std::uint8_t byte : Concat({{0x00, 0x12, 0xFF}, Ack(1), {0x33}, Completion(1)})) {  // one byte per read
        const auto got = Split(splitter, {byte});
        frames.insert(frames.end(), got.begin(), got.end());
    }
    EXPECT_EQ(frames, (std::vector<Frame>{Ack(1), Completion(1)}));
    EXPECT_EQ(splitter.DroppedBytes(), 4u);
    // Truncated and overlong frames.
    Frame overlong{0x90, 0x50};
    overlong.insert(overlong.end(), 40, 0x01);
    const Frame stream = Concat({{0x90, 0x50, 0x01}, Ack(1), overlong, Completion(1), overlong, {0xFF}, Ack(2)});
    EXPECT_EQ(Split(splitter, stream), (std::vector<Frame>{Ack(1), Completion(1), Ack(2)}));
}

TEST(FrameSplitter, RandomGarbageNeverHidesAGoodFrameAndNeverYieldsABadOne)
{
    std::mt19937 rng(424242);
    const Frame good[] = {Ack(1), Completion(2), StandReport(1), AddressSetReply(2), ErrorReply(1, 0x41)};
    for (int round = 0; round < 20000; ++round) {
        FrameSplitter splitter(kMaxReplyLength);
        Frame garbage(rng() % 64);
        for (auto& byte : garbage)
            byte = static_cast<std::uint8_t>(rng());
        const Frame& expected = good[rng() % std::size(good)];
        std::vector<Frame> frames = Split(splitter, Concat({garbage, expected}));
        for (const Frame& f : frames) {
            ASSERT_GE(f.size(), 2u);
            ASSERT_LE(f.size(), kMaxReplyLength);
            ASSERT_EQ(f.back(), 0xFF);
            ASSERT_GE(f.front(), 0x80);
            const Reply reply = ClassifyReply(f);  // must not crash on anything
            if (reply.kind == Kind::InquiryData) {
                ASSERT_EQ(reply.payload.size(), f.size() - 3);
            }
        }
        ASSERT_FALSE(frames.empty());
        ASSERT_EQ(frames.back(), expected) << "round " << round;
    }
}
