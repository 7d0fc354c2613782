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
// Feeds value every period ms for duration ms from now on; returns the times of the posts.
template <class Filter>
std::vector<DWORD> Feed(Filter& f, BYTE value, DWORD& now, DWORD period, DWORD duration)
{
    std::vector<DWORD> posts;
    for (DWORD t = 0; t < duration; t += period, now += period)
        if (f.Accept(value, now))
            posts.push_back(now);
    return posts;
}
using Times = std::vector<DWORD>;
}  // namespace

TEST(DeviceFileFilter, DirectionAndSilenceArePostedOnceAfterHolding500ms)
{
    DeviceFileFilter f;
    DWORD now = 1000;
    EXPECT_EQ(Feed(f, 3, now, 100, 2000), Times{1500});
    EXPECT_EQ(Feed(f, 255, now, 100, 1000), Times{3500});
    // Returning to the last posted direction after a too-short change posts it again.
    EXPECT_EQ(Feed(f, 4, now, 100, 200), Times{});
    EXPECT_EQ(Feed(f, 255, now, 100, 700), Times{4700});

    DeviceFileFilter wrap;
    now = 0xFFFFFF00u;
    EXPECT_EQ(Feed(wrap, 5, now, 100, 1000), Times{0xFFFFFF00u + 500u});  // across the tick wrap
}

TEST(DeviceFileFilter, FlickerFasterThanTheHoldIsNeverPosted)
{
    DeviceFileFilter f;
    for (DWORD i = 0; i < 40; ++i)  // each value held 400 ms
        EXPECT_FALSE(f.Accept((i / 4) % 2 ? 1 : 2, i * 100)) << i;
}

TEST(UsbLibraryFilter, NewDirectionAtOnceSilenceAfter4750ms)
{
    UsbLibraryFilter f;
    EXPECT_TRUE(f.Accept(2, 0));
    EXPECT_FALSE(f.Accept(2, 250));
    EXPECT_FALSE(f.Accept(2, 10000));  // posted once only
    EXPECT_TRUE(f.Accept(3, 10250));
    DWORD now = 10500;
    EXPECT_EQ(Feed(f, 255, now, 250, 4500), Times{});  // short silence: nothing
    EXPECT_EQ(Feed(f, 3, now, 250, 500), Times{15000});  // same talker posted again
    EXPECT_EQ(Feed(f, 255, now, 250, 5000), Times{15500 + 4750});

    UsbLibraryFilter wrap;  // silence across the tick wrap
    EXPECT_FALSE(wrap.Accept(255, 0xFFFFF000u));
    EXPECT_FALSE(wrap.Accept(255, 0xFFFFF000u + 4749u));
    EXPECT_TRUE(wrap.Accept(255, 0xFFFFF000u + 4750u));
}

TEST(UsbVersion, DigitsOfTheFirstFiveBytesMakeTheNumber)
{
    // "1.3.25": the sixth byte is not read.
    for (auto [text, value] : {std::pair{"1.31", 131}, {"2.00", 200}, {"v1.32", 132}, {"1.3.25", 132}, {"\0\0\0\0\0", 0}})
        EXPECT_EQ(UsbVersionValue(text), value) << text;
    EXPECT_LT(UsbVersionValue("1.31"), kUsbMinimumVersion);
    EXPECT_GE(UsbVersionValue("1.32"), kUsbMinimumVersion);
}

TEST(ChangeFilter, PostsOnlyChangesStartingFromSilence)
{
    ChangeFilter f;
    for (auto [value, posted] : std::vector<std::pair<BYTE, bool>>{
             {255, false}, {1, true}, {1, false}, {200, true}, {255, true}, {255, false}})
        EXPECT_EQ(f.Accept(value), posted) << int(value);
}

TEST(CompanionRecord, TranslationOfBothModels)
{
    const BYTE expected40S[8] = {0, 0, 1, 2, 3 /*unchanged*/, 3, 4, 5};
    for (BYTE code = 0; code <= 7; ++code) {
        const auto r = TranslateCompanionRecord(kCompanionModel40S, code, 3);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->kind, 4);
        EXPECT_EQ(r->direction, expected40S[code]) << int(code);
    }
    for (BYTE code = 0; code <= 6; ++code) {  // 4 is no special code here
        const auto r = TranslateCompanionRecord(kCompanionModel90X, code, 1);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->kind, 5);
        EXPECT_EQ(r->direction, code == 6 ? 255 : code);
    }
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel40S, 8, 3)->direction, 255);
    EXPECT_EQ(TranslateCompanionRecord(kCompanionModel40S, 255, 3)->direction, 255);
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
    EXPECT_EQ(f.Accept(kCompanionModel90X, 3, 4), std::nullopt);  // the other model
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
