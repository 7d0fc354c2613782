// The timing and translation rules of the four tracking sources, on virtual time.
#include "tracking/ChangeFilter.h"
#include "tracking/CompanionFilter.h"
#include "tracking/DeviceFileFilter.h"
#include "tracking/UsbLibraryFilter.h"

#include <QLoggingCategory>
#include <QString>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// Feeds value every period ms for duration ms starting at *now; returns the posts made.
template <class Filter>
std::vector<std::pair<DWORD, BYTE>> Feed(Filter& f, BYTE value, DWORD& now, DWORD period, DWORD duration)
{
    std::vector<std::pair<DWORD, BYTE>> posts;
    for (DWORD t = 0; t < duration; t += period, now += period)
        if (f.Accept(value, now))
            posts.emplace_back(now, value);
    return posts;
}

}  // namespace

TEST(DeviceFileFilter, DirectionIsPostedOnceAfterHolding500ms)
{
    DeviceFileFilter f;
    DWORD now = 1000;
    auto posts = Feed(f, 3, now, 100, 2000);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].first, 1500u);  // first seen at 1000
    EXPECT_EQ(posts[0].second, 3);

    // Silence is held the same way.
    posts = Feed(f, 255, now, 100, 1000);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].first, 3000u + 500u);
}

TEST(DeviceFileFilter, FlickerFasterThanTheHoldIsNeverPosted)
{
    DeviceFileFilter f;
    DWORD now = 0;
    for (int i = 0; i < 40; ++i) {
        const BYTE value = (i / 4) % 2 ? 1 : 2;  // each value held 400 ms
        EXPECT_FALSE(f.Accept(value, now)) << "at " << now;
        now += 100;
    }
}

TEST(DeviceFileFilter, ReturningToTheLastPostedDirectionIsPostedAgain)
{
    DeviceFileFilter f;
    DWORD now = 0;
    ASSERT_EQ(Feed(f, 2, now, 100, 700).size(), 1u);
    EXPECT_TRUE(Feed(f, 4, now, 100, 200).empty());  // too short
    const auto posts = Feed(f, 2, now, 100, 700);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].second, 2);
}

TEST(DeviceFileFilter, HoldSpansTheTickCounterWrap)
{
    DeviceFileFilter f;
    DWORD now = 0xFFFFFF00u;  // 256 ms before the wrap
    const auto posts = Feed(f, 5, now, 100, 1000);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].first, 0xFFFFFF00u + 500u);  // wraps to 244
}

TEST(UsbLibraryFilter, NewDirectionIsPostedAtOnce)
{
    UsbLibraryFilter f;
    EXPECT_TRUE(f.Accept(2, 0));
    EXPECT_FALSE(f.Accept(2, 250));
    EXPECT_FALSE(f.Accept(2, 10000));  // posted once only
    EXPECT_TRUE(f.Accept(3, 10250));
}

TEST(UsbLibraryFilter, SilenceIsPostedOnceAfter4750ms)
{
    UsbLibraryFilter f;
    DWORD now = 5000;
    ASSERT_EQ(Feed(f, 2, now, 250, 250).size(), 1u);
    const DWORD silenceStart = now;
    const auto posts = Feed(f, 255, now, 250, 5000);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].second, 255);
    EXPECT_EQ(posts[0].first, silenceStart + 4750u);
}

TEST(UsbLibraryFilter, ShortSilencePostsNothingAndTheSameTalkerIsPostedAgain)
{
    UsbLibraryFilter f;
    DWORD now = 0;
    ASSERT_EQ(Feed(f, 2, now, 250, 500).size(), 1u);
    EXPECT_TRUE(Feed(f, 255, now, 250, 4500).empty());
    const auto posts = Feed(f, 2, now, 250, 500);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].second, 2);
}

TEST(UsbLibraryFilter, SilenceSpansTheTickCounterWrap)
{
    UsbLibraryFilter f;
    DWORD now = 0xFFFFF000u;
    EXPECT_FALSE(f.Accept(255, now));
    EXPECT_FALSE(f.Accept(255, now + 4749u));
    EXPECT_TRUE(f.Accept(255, now + 4750u));
}

TEST(UsbVersion, DigitsOfTheFirstFiveBytesMakeTheNumber)
{
    EXPECT_EQ(UsbVersionValue("1.31"), 131);
    EXPECT_EQ(UsbVersionValue("1.32"), 132);
    EXPECT_EQ(UsbVersionValue("2.00"), 200);
    EXPECT_EQ(UsbVersionValue("v1.32"), 132);
    EXPECT_EQ(UsbVersionValue("1.3.25"), 132);  // the sixth byte is not read
    EXPECT_EQ(UsbVersionValue("\0\0\0\0\0"), 0);
    EXPECT_LT(UsbVersionValue("1.31"), kUsbMinimumVersion);
    EXPECT_GE(UsbVersionValue("1.32"), kUsbMinimumVersion);
}

TEST(ChangeFilter, PostsOnlyChangesStartingFromSilence)
{
    ChangeFilter f;
    EXPECT_FALSE(f.Accept(255));  // the worker's start post already said 255
    EXPECT_TRUE(f.Accept(1));
    EXPECT_FALSE(f.Accept(1));
    EXPECT_TRUE(f.Accept(200));  // passed on as read
    EXPECT_TRUE(f.Accept(255));
    EXPECT_FALSE(f.Accept(255));
}

TEST(CompanionRecord, QVT40SCodesMapOntoSixSectors)
{
    const BYTE expected[8] = {0, 0, 1, 2, 0 /*unused*/, 3, 4, 5};
    for (BYTE code : {0, 1, 2, 3, 5, 6, 7}) {
        const auto r = TranslateCompanionRecord(kCompanionModel40S, code, 9);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->kind, 4);
        EXPECT_EQ(r->direction, expected[code]) << "code " << int(code);
    }
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel40S, 4, 3)->direction, 3);  // unchanged
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel40S, 8, 3)->direction, 255);
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel40S, 255, 3)->direction, 255);
}

TEST(CompanionRecord, QVT90XCodesPassUpToFive)
{
    for (BYTE code = 0; code <= 5; ++code) {
        const auto r = TranslateCompanionRecord(kCompanionModel90X, code, 1);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->kind, 5);
        EXPECT_EQ(r->direction, code);
    }
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel90X, 6, 1)->direction, 255);
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel90X, 4, 1)->direction, 4);  // no special code
    EXPECT_FALSE(TranslateCompanionRecord(1, 2, 1));
    EXPECT_FALSE(TranslateCompanionRecord(255, 2, 1));
}

TEST(CompanionFilter, PostsChangesOfTheSelectedModelOnly)
{
    CompanionFilter f;
    EXPECT_EQ(f.Accept(kCompanionModel40S, 2, 4), std::optional<BYTE>(1));
    EXPECT_EQ(f.Accept(kCompanionModel40S, 2, 4), std::nullopt);
    EXPECT_EQ(f.Accept(kCompanionModel40S, 4, 4), std::nullopt);  // "unchanged" keeps 1
    EXPECT_EQ(f.Accept(kCompanionModel40S, 0, 4), std::optional<BYTE>(0));
    EXPECT_EQ(f.Accept(kCompanionModel40S, 1, 4), std::nullopt);  // 0 and 1 are both 0
    // A QVT-90X record while the QVT-40S is selected is never posted.
    EXPECT_EQ(f.Accept(kCompanionModel90X, 3, 4), std::nullopt);
    EXPECT_EQ(f.Accept(kCompanionModel90X, 5, 4), std::nullopt);
    EXPECT_EQ(f.Accept(kCompanionModel40S, 9, 4), std::optional<BYTE>(255));

    CompanionFilter g;
    EXPECT_EQ(g.Accept(kCompanionModel40S, 3, 5), std::nullopt);
    EXPECT_EQ(g.Accept(kCompanionModel90X, 3, 5), std::optional<BYTE>(3));
    EXPECT_EQ(g.Accept(7, 3, 5), std::nullopt);
}

namespace {
QStringList g_debugLines;
void CaptureDebug(QtMsgType, const QMessageLogContext& ctx, const QString& text)
{
    if (QString::fromLatin1(ctx.category) == QStringLiteral("qvt.debug"))
        g_debugLines << text;
}
}  // namespace

TEST(CompanionFilter, EverySilentPollWritesTheDebugText)
{
    QLoggingCategory::setFilterRules(QStringLiteral("qvt.debug.debug=true"));
    g_debugLines.clear();
    const auto previous = qInstallMessageHandler(CaptureDebug);
    CompanionFilter f;
    f.Accept(kCompanionModel90X, 9, 5);  // 255, not posted (already 255)
    f.Accept(kCompanionModel90X, 9, 5);
    f.Accept(kCompanionModel90X, 9, 4);  // other kind selected: still translated
    f.Accept(kCompanionModel90X, 1, 5);
    f.Accept(3, 9, 5);  // no model: nothing translated
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(g_debugLines.size(), 3);
    EXPECT_EQ(g_debugLines[0], QStringLiteral("0xff\n"));
}
