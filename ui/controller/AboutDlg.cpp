#include "ui/controller/AboutDlg.h"

#include "camera/QvtVz1Api.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "res/TextIds.h"
#include "ui/controller/AppIcon.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

CAboutDlg* g_pAboutDlg = nullptr;

namespace {
constexpr UINT kFirmwareVersionFormat = 35006;  // "QVT-VZ1 Firmware Ver.%s"

QString Text(UINT control, const char* builtIn)
{
    return LoadDialogString(IDD_ABOUTBOX, control, builtIn);
}
}

void SetWindowTopMost(QWidget* w, bool topMost)
{
    if (!w || w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost)
        return;
    // Changing a window flag hides a visible window; show it again where and as it was.
    const bool visible = w->isVisible();
    const QPoint pos = w->pos();
    w->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (visible) {
        w->move(pos);
        w->show();
    }
}

QString CAboutDlg::FirmwareVersionLine()
{
    char buf[32];
    std::memset(buf, 0, sizeof buf);
    QString version = LoadStringRes(IDS_VERSION_UNKNOWN);
    if (CamGetFirmwareVersion(buf))
        version = QString::fromLatin1(buf, static_cast<int>(strnlen(buf, sizeof buf)));
    // The version is the camera's text: put it in as it is, never as a format.
    QString line = LoadStringRes(kFirmwareVersionFormat);
    if (line.isEmpty())
        line = QStringLiteral("QVT-VZ1 Firmware Ver.%s");
    return line.replace(QLatin1String("%s"), version);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_stVersion(new QLabel(this))
{
    setWindowTitle(Text(IDC_CAPTION, "About QVT-VZ1 Controller"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(LoadAppIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(4);
    lines->addWidget(new QLabel(Text(IDC_STATIC_FIRST, "QVT-VZ1 Controller Ver.2.03"), this));
    lines->addWidget(new QLabel(Text(IDC_STATIC_FIRST - 1, "QVT-VZ1 Camera Driver Ver.2.03"), this));
    m_stVersion->setObjectName(QStringLiteral("1015"));
    m_stVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lines->addWidget(m_stVersion);
    lines->addSpacing(6);
    lines->addWidget(new QLabel(Text(IDC_STATIC_FIRST - 2, "Copyright (C) Norvel Corporation"), this));
    lines->addWidget(new QLabel(Text(IDC_STATIC_FIRST - 3, "All rights reserved."), this));

    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ok->button(QDialogButtonBox::Ok)->setText(Text(IDOK, "OK"));
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0);
    grid->addLayout(lines, 0, 1);
    grid->addWidget(ok, 1, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutDlg::OnInitDialog()
{
    m_stVersion->setText(m_strVersion);
    SetWindowTopMost(this, true);
}
