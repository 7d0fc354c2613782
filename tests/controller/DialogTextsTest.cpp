// Every window in every shipped language: each text a user can see comes from the catalogue
// (it differs from the English one unless the catalogue holds the same text), and each text
// fits the control that shows it.
#include "controller/ControllerSession.h"
#include "firmware/FirmwareUpdateDlg.h"
#include "platform/WinMessages.h"
#include "res/LanguageCatalogue.h"
#include "res/Strings.h"
#include "ui/settings/SettingsDlg.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/TestEnvironment.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/ControllerDlg.h"
#include "tests/controller/NoVideoCapture.h"
#include "video/VideoCapture.h"
#include "video/VideoDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// One window in one state; calls check(window) for each state the window goes through.
using Scene = std::function<void(const std::function<void(QWidget&)>& check)>;

void Controller(const std::function<void(QWidget&)>& check)
{
    static int n = 0;
    const QString path = TestRootDir() + QStringLiteral("/texts-%1.ini").arg(++n);
    QFile profile(path);
    if (profile.open(QIODevice::WriteOnly))
        profile.write("[QVT-VZ1]\nDevice=1\n");
    profile.close();
    ControllerSession session(path.toStdString());
    CControllerDlg dlg(session);
    dlg.Create();
    dlg.show();
    // Every camera position shows other texts and tooltips on the Auto page; both tabs.
    for (WPARAM mode : {255, 0, 1, 2, 3}) {
        SendMessage(&dlg, WM_CAMERA_MODE, mode, 0);
        check(dlg);
    }
    for (QMenu* menu : dlg.findChildren<QMenu*>())
        emit menu->aboutToShow();
    check(dlg);
}

void Settings(const std::function<void(QWidget&)>& check)
{
    CSettingsDlg dlg(nullptr);
    dlg.show();
    check(dlg);
}

void About(const std::function<void(QWidget&)>& check)
{
    CAboutDlg dlg(nullptr);
    dlg.m_strVersion = CAboutDlg::FirmwareVersionLine();
    dlg.OnInitDialog();
    dlg.show();
    check(dlg);
}

void Video(const std::function<void(QWidget&)>& check)
{
    CVideoDlg dlg(nullptr, std::make_unique<NoVideoCapture>());
    dlg.Create();
    check(dlg);
    dlg.DestroyWindow();
}

void Firmware(const std::function<void(QWidget&)>& check)
{
    CFirmwareUpdateDlg dlg(nullptr);
    dlg.m_strCurrentVersion = QStringLiteral("2.03");
    dlg.show();
    check(dlg);
    // Each status the dialog can show, through the worker's messages.
    for (auto [msg, w] : {std::pair{WM_FW_DOWNLOADED, 0}, {WM_FW_LOADED, -5}, {WM_FW_LOADED, 0},
                          {WM_FW_WRITE_PROGRESS, -1}, {WM_FW_RESTART_PROGRESS, 0},
                          {WM_FW_FINISHED, FW_RESULT_COMPLETED}, {WM_FW_FINISHED, FW_RESULT_CANCELLED}}) {
        SendMessage(&dlg, msg, static_cast<WPARAM>(w), 0);
        check(dlg);
    }
}

const std::pair<const char*, Scene> kScenes[] = {
    {"controller", Controller}, {"settings", Settings}, {"about", About}, {"video", Video}, {"firmware", Firmware}};

// Every text of the window in creation order: title, labels, buttons, tooltips, group
// boxes, tabs, menus and the status box.
QStringList Texts(QWidget& window)
{
    QStringList out{window.windowTitle()};
    for (QWidget* w : window.findChildren<QWidget*>()) {
        out << w->toolTip();
        if (auto* l = qobject_cast<QLabel*>(w))
            out << l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            out << b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            out << g->title();
        else if (auto* e = qobject_cast<QPlainTextEdit*>(w))
            out << e->toPlainText();
        else if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                out << t->tabText(i);
        else if (auto* m = qobject_cast<QMenuBar*>(w))
            for (QAction* a : m->actions())
                out << a->text();
    }
    return out;
}

// Where a visible text does not fit its control, or a picture button has no tooltip: the
// control and its text.
QStringList Clipped(QWidget& window)
{
    QStringList out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window))
            continue;
        const auto fail = [&](const QString& text) { out << QStringLiteral("%1 '%2'").arg(w->metaObject()->className(), text); };
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            // One line: the ink must fit (a CJK font's line height is taller than its glyphs).
            const int need = l->wordWrap() ? l->heightForWidth(l->width()) : l->fontMetrics().tightBoundingRect(l->text()).height();
            if ((!l->wordWrap() && l->sizeHint().width() > l->width()) || need > l->height() + 4)
                fail(l->text());
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->text().isEmpty() ? b->toolTip().isEmpty()  // a picture button says what it does
                                    : b->sizeHint().width() > b->width() || b->fontMetrics().height() > b->height())
                fail(b->text());
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (g->minimumSizeHint().width() > g->width())
                fail(g->title());
        } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
            if (e->verticalScrollBar()->maximum() > 0)
                fail(e->toPlainText());
        } else if (auto* t = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < t->count(); ++i)
                if (t->fontMetrics().horizontalAdvance(t->tabText(i)) > t->tabRect(i).width())
                    fail(t->tabText(i));
        } else if (auto* c = qobject_cast<QComboBox*>(w); c && !c->isEditable()) {
            // Every fixed choice fits the field (typed ones, as device paths, may be long).
            QStyleOptionComboBox opt;
            opt.initFrom(c);
            const int room = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).width();
            // The ink must fit: a full-width bracket ends in blank space.
            for (int i = 0; i < c->count(); ++i)
                if (c->fontMetrics().tightBoundingRect(c->itemText(i)).right() > room)
                    fail(c->itemText(i));
        }
    }
    return out;
}

class DialogTexts : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { CamDouble().Reset(); }
    void TearDown() override { AfxSetResourceCatalogue(nullptr); }
};

TEST_P(DialogTexts, EveryTextIsTranslatedAndFits)
{
    const auto catalogue = CLanguageCatalogue::Load(QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) +
                                                    QStringLiteral("/res/lang/") + QLatin1String(GetParam()));
    ASSERT_TRUE(catalogue);
    const QStringList same = catalogue->Texts();
    for (const auto& [name, scene] : kScenes) {
        SCOPED_TRACE(name);
        QList<QStringList> english, translated;
        scene([&](QWidget& w) { english << Texts(w); });
        AfxSetResourceCatalogue(catalogue.get());
        scene([&](QWidget& w) {
            translated << Texts(w);
            QApplication::processEvents();
            const QStringList clipped = Clipped(w);
            EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QStringLiteral(", ")).toStdString();
        });
        AfxSetResourceCatalogue(nullptr);
        ASSERT_EQ(english.size(), translated.size());
        for (qsizetype s = 0; s < english.size(); ++s) {
            ASSERT_EQ(english[s].size(), translated[s].size());
            for (qsizetype i = 0; i < english[s].size(); ++i) {
                if (!english[s][i].isEmpty() && english[s][i] == translated[s][i])
                    EXPECT_TRUE(same.contains(english[s][i])) << "not from the catalogue: " << english[s][i].toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogTexts, ::testing::Values("RESDE.ini", "RESFR.ini", "RESJP.ini", "RESCN.ini"));

} // namespace
