// The Auto and Manual pages over real widgets: what each camera position, framing and
// tracking state shows, where it sits, and what the option buttons reach.
#include "settings/CameraSettings.h"
#include "ui/controls/BarDirectionSelector.h"
#include "ui/controls/BitmapButton.h"
#include "ui/controls/DiscDirectionSelector.h"
#include "ui/controls/HoldButton.h"
#include "ui/controls/TriangleDirectionSelector.h"
#include "ui/pages/AutoPage.h"
#include "ui/pages/ManualPage.h"
#include "ui/pages/PadButtons.h"
#include "ui/pages/ViewButtonOperations.h"
#include "ui/controls/ArtPicture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
struct Face
{
    bool shown, enabled;
    UINT normal, selected, disabled;
};

void ExpectOption(const ControlPage& page, int id, const Face& f, const std::string& row)
{
    CBitmapButton* b = page.OptionButton(id);
    const auto seen = std::tuple(!b->isHidden(), b->isEnabled(), b->GetNormalBitmap(), b->GetSelectedBitmap(),
                                 b->GetDisabledBitmap());
    if (f.shown)
        EXPECT_EQ(seen, std::tuple(f.shown, f.enabled, f.normal, f.selected, f.disabled)) << row << " button " << id;
    else
        EXPECT_TRUE(b->isHidden()) << row << " button " << id;
}

void ExpectPad(const ControlPage& page, bool pad, bool zoom, const std::string& row)
{
    for (int id : PadButtons::kIds)
        EXPECT_EQ(page.HoldButton(id)->isEnabled(), id == 1012 || id == 1013 ? zoom : pad) << row << " button " << id;
}

constexpr Face kHidden{false, false, 0, 0, 0};

TEST(AutoPageTest, EveryRowOfThePositionTable)
{
    struct Row { int position, upMode, tracking; Face b1014, b1015, b1016; bool pad, zoom, selector; };
    const Row rows[] = {
        {255, 3, 0, kHidden, kHidden, kHidden, false, false, false},
        {0, 3, 0, {true, true, 152, 178, 0}, kHidden, kHidden, false, true, false},
        {2, 3, 0, {true, true, 157, 176, 0}, {true, true, 209, 208, 0}, kHidden, false, true, false},
        {3, 3, 0, {true, true, 152, 178, 202}, {true, true, 153, 192, 199}, kHidden, true, true, true},
        {3, 1, 1, {true, false, 152, 178, 202}, {true, false, 153, 192, 199}, kHidden, false, false, true},
        {1, 0, 0, {true, true, 154, 177, 201}, {true, true, 156, 185, 203}, {true, true, 182, 182, 204}, false, false, true},
        {1, 1, 0, {true, true, 177, 177, 201}, {true, true, 156, 185, 203}, {true, true, 155, 182, 204}, true, true, true},
        {1, 1, 1, {true, false, 154, 177, 201}, {true, false, 156, 185, 203}, {true, false, 155, 182, 204}, false, false, true},
        {1, 3, 0, {true, true, 154, 177, 201}, {true, true, 185, 185, 203}, {true, true, 155, 182, 204}, false, false, true},
        {1, 3, 1, {true, false, 154, 177, 201}, {true, false, 185, 185, 203}, {true, false, 155, 182, 204}, false, false, true},
    };
    for (const Row& r : rows)
    {
        const std::string name = "position " + std::to_string(r.position) + " mode "
            + std::to_string(r.upMode) + " tracking " + std::to_string(r.tracking);
        CCameraSettings settings;
        settings.m_nUpMode = r.upMode;
        settings.m_bTracking = r.tracking;
        CAutoPage page;
        page.m_pSettings = &settings;
        page.SetDeviceKind(1);
        page.SetCameraMode(r.position);
        for (auto [id, face] : {std::pair{1014, r.b1014}, {1015, r.b1015}, {1016, r.b1016}})
            ExpectOption(page, id, face, name);
        ExpectPad(page, r.pad, r.zoom, name);
        EXPECT_EQ(!page.DiscSelector()->isHidden(), r.selector) << name;
        EXPECT_TRUE(page.BarSelector()->isHidden() && page.TriangleSelector()->isHidden()) << name;
        if (r.selector)  // tracking locks the radios but never the box that ends it
        {
            EXPECT_EQ(page.DiscSelector()->Radio(0)->isEnabled(), r.tracking == 0) << name;
            EXPECT_TRUE(page.DiscSelector()->TrackingBox()->isEnabled()) << name;
            EXPECT_EQ(page.DiscSelector()->GetTracking(), r.tracking) << name;
        }
        if (r.b1014.shown && !r.b1014.enabled) {  // a greyed option draws its grey face
            EXPECT_EQ(page.OptionButton(1014)->GetDrawnBitmap(), r.b1014.disabled) << name;
        }
    }
}

TEST(AutoPageTest, TextsAndPictureFollowThePosition)
{
    CAutoPage page;
    EXPECT_EQ(page.NameEdit()->text(), QStringLiteral("Not Available"));
    EXPECT_EQ(page.DescriptionEdit()->toPlainText(),
              QStringLiteral("The connection between QVT-VZ1 and PC is improper."));
    page.SetCameraName(QStringLiteral("EVI-D70 (/dev/ttyUSB0)"));  // another camera is named
    EXPECT_EQ(page.DescriptionEdit()->toPlainText(),
              QStringLiteral("The connection between camera EVI-D70 (/dev/ttyUSB0) and PC is improper."));
    page.SetCameraName({});
    // No camera, or a garbled position: the connection message, and the last picture.
    const std::tuple<int, UINT, const char*> rows[] = {{0, 134, "Release"}, {1, 132, "Upside"}, {2, 133, "OHP"},
        {3, 135, "Front"}, {255, 135, "Not Available"}, {7, 135, "Not Available"}, {-2, 135, "Not Available"}};
    for (auto [position, picture, name] : rows)
    {
        page.SetCameraMode(position);
        EXPECT_EQ(page.Picture()->GetImage(), picture) << position;
        EXPECT_EQ(page.NameEdit()->text(), QLatin1String(name)) << position;
        if (position < 0 || position > 3)
        {
            EXPECT_TRUE(page.OptionButton(1014)->isHidden());
            EXPECT_EQ(page.GetPageSize(), QSize(222, 250));
        }
    }
}

TEST(AutoPageTest, PageSizesAndPlacement)
{
    CCameraSettings settings;
    CAutoPage page;
    page.m_pSettings = &settings;
    EXPECT_EQ(page.GetPageSize(), QSize(222, 250));
    EXPECT_EQ(page.size(), QSize(222, 250));
    ExpectPad(page, false, false, "no camera");

    page.SetDeviceKind(1);
    page.SetCameraMode(3);
    EXPECT_EQ(page.GetPageSize(), QSize(222, 448));
    EXPECT_EQ(page.DiscSelector()->geometry(), QRect(15, 115, 192, 158));
    EXPECT_EQ(page.HoldButton(1012)->geometry(), QRect(15, 281, 72, 32));
    EXPECT_EQ(page.HoldButton(1011)->geometry(), QRect(175, 361, 32, 32));
    EXPECT_EQ(page.OptionButton(1015)->geometry(), QRect(15, 401, 72, 32));
    page.SetCameraMode(1);
    EXPECT_EQ(page.GetPageSize(), QSize(222, 488));

    // Without a speakerphone the buttons start right below the name.
    page.SetDeviceKind(0);
    EXPECT_EQ(page.GetPageSize(), QSize(222, 330));
    EXPECT_EQ(page.HoldButton(1012)->pos(), QPoint(15, 123));
    EXPECT_TRUE(page.DiscSelector()->isHidden());
    for (auto [position, height] : {std::pair{3, 290}, {2, 290}, {0, 250}})
    {
        page.SetCameraMode(position);
        EXPECT_EQ(page.GetPageSize(), QSize(222, height)) << position;
    }
}

TEST(AutoPageTest, DeviceKindPicksTheSelectorAndItsDirection)
{
    CCameraSettings settings;
    settings.m_nUpDirection = 4;
    settings.m_nFrontDirection = 255;
    CAutoPage page;
    page.m_pSettings = &settings;
    page.SetCameraMode(1);

    page.SetDeviceKind(2);
    CDirectionSelector* bar = page.GetCurrentSelector();
    EXPECT_EQ(bar, page.BarSelector());
    EXPECT_TRUE(bar->Radio(4)->isChecked());
    page.SetDeviceKind(5);
    EXPECT_EQ(page.GetCurrentSelector(), bar);
    EXPECT_FALSE(bar->isHidden());
    page.SetDeviceKind(6);  // a microphone array is placed like the disc
    EXPECT_EQ(page.GetCurrentSelector(), page.DiscSelector());

    page.SetDeviceKind(3);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(page.TriangleSelector()->isHidden());
    EXPECT_TRUE(page.TriangleSelector()->Radio(3)->isChecked());  // 4 is its centre

    page.SetCameraMode(3);  // Front direction 255: the centre
    EXPECT_TRUE(page.TriangleSelector()->Radio(3)->isChecked());

    for (int kind : {7, -1, 0})
    {
        page.SetDeviceKind(kind);
        EXPECT_EQ(page.GetCurrentSelector(), nullptr);
        EXPECT_TRUE(page.TriangleSelector()->isHidden());
    }
}

class OptionHost : public QWidget, public ViewButtonOperations
{
public:
    void OnViewButton1() override { calls.push_back(1); }
    void OnViewButton2() override { calls.push_back(2); }
    void OnViewButton3() override { calls.push_back(3); }
    std::vector<int> calls;
};

TEST(AutoPageTest, OptionButtonsReachTheDialogAboveThePage)
{
    OptionHost dialog;
    auto* tabs = new QWidget(&dialog);
    auto* page = new CAutoPage(tabs);
    CCameraSettings settings;
    settings.m_nUpMode = 1;
    page->m_pSettings = &settings;
    page->SetCameraMode(1);
    dialog.show();
    for (int id : {1016, 1014, 1015})
        QTest::mouseClick(page->OptionButton(id), Qt::LeftButton, {}, QPoint(30, 16));
    EXPECT_EQ(dialog.calls, (std::vector{3, 1, 2}));

    // Tracking greys them: a click reaches nothing.
    settings.m_bTracking = 1;
    page->UpdateControls();
    QTest::mouseClick(page->OptionButton(1014), Qt::LeftButton, {}, QPoint(30, 16));
    EXPECT_EQ(dialog.calls.size(), 3u);
}

TEST(ManualPageTest, StatesByUserModeAndConstantSize)
{
    CCameraSettings settings;
    CManualPage page;
    page.m_pSettings = &settings;
    EXPECT_EQ(page.GetPageSize(), QSize(222, 222));
    for (int mode : {0, 2, 3})
    {
        settings.m_nUserMode = mode;
        page.UpdateControls();
        ExpectPad(page, false, false, "no camera");
        EXPECT_TRUE(page.OptionButton(1014)->isHidden());
        EXPECT_EQ(page.GetPageSize(), QSize(222, 222));
    }
    struct Row { int mode; UINT n1014, n1015, n1016; bool pad; };
    const Row rows[] = {{2, 192, 156, 155, true}, {3, 153, 185, 155, false},
                        {0, 153, 156, 182, false}, {7, 153, 156, 182, false}};
    for (int position : {0, 1, 2, 3})
    {
        page.SetCameraMode(position);
        for (const Row& r : rows)
        {
            const std::string name = "position " + std::to_string(position) + " mode "
                + std::to_string(r.mode);
            settings.m_nUserMode = r.mode;
            page.UpdateControls();
            for (auto [id, face] : {std::pair{1014, Face{true, true, r.n1014, 192, 199}},
                                    {1015, Face{true, true, r.n1015, 185, 203}}, {1016, Face{true, true, r.n1016, 182, 204}}})
                ExpectOption(page, id, face, name);
            ExpectPad(page, r.pad, r.pad, name);
            EXPECT_EQ(page.GetPageSize(), QSize(222, 222)) << name;
        }
    }
    EXPECT_EQ(page.HoldButton(1013)->geometry(), QRect(15, 55, 72, 32));
    EXPECT_EQ(page.HoldButton(1009)->geometry(), QRect(95, 95, 32, 32));
    EXPECT_EQ(page.OptionButton(1016)->geometry(), QRect(15, 175, 72, 32));
}
}
