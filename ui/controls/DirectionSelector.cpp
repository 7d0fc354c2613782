#include "ui/controls/DirectionSelector.h"

#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "res/Strings.h"
#include "res/TextIds.h"
#include "ui/controls/ControlIds.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>

namespace {
constexpr int kRadioSize = 16;
constexpr int kPictureTop = 2;
constexpr int kCheckHeight = 16;
}

CDirectionSelector::CDirectionSelector(const SelectorShape& shape, QWidget* parent)
    : QWidget(parent), m_shape(shape), m_picture(shape.picture)
{
    for (int i = 0; i < m_shape.radioCount; ++i)
    {
        // One parent and no group break: the radios exclude each other.
        auto* radio = new QRadioButton(this);
        radio->setObjectName(QStringLiteral("radio%1").arg(IDC_DIR_RADIO_FIRST + i));
        radio->setGeometry(m_shape.radios[i].x, m_shape.radios[i].y, kRadioSize, kRadioSize);
        radio->setToolTip(LoadStringRes(m_shape.radios[i].direction == 6 ? IDS_TIP_CENTRE : IDS_TIP_DIRECTION));
        connect(radio, &QAbstractButton::clicked, this, [this, i] { OnRadioClicked(i); });
        radio->installEventFilter(this);
        m_radios[i] = radio;
    }
    SetDirection(m_nDirection);

    m_pCheck = new QCheckBox(LoadStringRes(IDS_ENABLE_TRACKING), this);
    m_pCheck->setObjectName(QStringLiteral("check%1").arg(IDC_ENABLE_TRACKING));
    m_pCheck->setGeometry(0, kPictureSize, kPictureSize, kCheckHeight);
    connect(m_pCheck, &QAbstractButton::clicked, this, [this] { OnTrackingClicked(); });
}

CDirectionSelector::~CDirectionSelector() = default;

bool CDirectionSelector::eventFilter(QObject* watched, QEvent* event)
{
    // Tab enters the radios as one stop, at the first of them; the stop is the chosen one.
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QRadioButton* chosen = Radio(GetDirection());
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && chosen && watched != chosen
            && chosen->isEnabled())
            chosen->setFocus(reason);
    }
    return QWidget::eventFilter(watched, event);
}

QRadioButton* CDirectionSelector::Radio(int index) const
{
    return index >= 0 && index < m_shape.radioCount ? m_radios[index] : nullptr;
}

int CDirectionSelector::RadioDirection(int index) const
{
    return index >= 0 && index < m_shape.radioCount ? m_shape.radios[index].direction : -1;
}

HWND CDirectionSelector::Target() const
{
    return m_hTarget ? m_hTarget : AfxGetMainWnd();
}

void CDirectionSelector::SetDirection(int index)
{
    // Anything past the last radio means the centre, the last radio of every shape; a
    // negative index checks none.
    const int last = m_shape.radioCount - 1;
    if (index > last)
        index = last;
    m_nDirection = index;
    for (int i = 0; i < m_shape.radioCount; ++i)
    {
        // An exclusive radio refuses to be cleared while it is the checked one.
        m_radios[i]->setAutoExclusive(false);
        m_radios[i]->setChecked(i == index);
    }
    for (int i = 0; i < m_shape.radioCount; ++i)
        m_radios[i]->setAutoExclusive(true);
}

int CDirectionSelector::GetDirection()
{
    for (int i = 0; i < m_shape.radioCount; ++i)
    {
        if (m_radios[i]->isChecked())
        {
            m_nDirection = i;
            return i;
        }
    }
    return -1;
}

void CDirectionSelector::EnableRadios(bool enable)
{
    for (int i = 0; i < m_shape.radioCount; ++i)
        m_radios[i]->setEnabled(enable);
}

void CDirectionSelector::SetTracking(BOOL on)
{
    m_pCheck->setChecked(on != 0);
    EnableRadios(on == 0);
}

BOOL CDirectionSelector::GetTracking() const
{
    return m_pCheck->isChecked() ? TRUE : FALSE;
}

void CDirectionSelector::Layout(int cx, int cy)
{
    resize(cx, cy);
    // Integer division truncating toward zero, as the radios were placed originally.
    const int left = (cx - kPictureSize) / 2;
    for (int i = 0; i < m_shape.radioCount; ++i)
        m_radios[i]->move(left + m_shape.radios[i].x, m_shape.radios[i].y + kPictureTop);
    FitCheckBox(cx);
    m_pCheck->move((cx - m_pCheck->width()) / 2, cy - m_pCheck->height());
    update();
}

void CDirectionSelector::Layout(QSize size)
{
    Layout(size.width(), size.height());
}

void CDirectionSelector::FitCheckBox(int cx)
{
    // As wide as its text needs, up to the selector's width; a text longer than that (some
    // translations) gets a smaller font rather than losing its end.
    QFont font = this->font();
    m_pCheck->setFont(font);
    for (int i = 0; i < 6 && m_pCheck->sizeHint().width() > cx; ++i) {
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(6, font.pixelSize() * 92 / 100));
        else
            font.setPointSizeF(std::max(5.0, font.pointSizeF() * 0.92));
        m_pCheck->setFont(font);
    }
    m_pCheck->resize(std::clamp(m_pCheck->sizeHint().width(), kPictureSize, std::max(cx, kPictureSize)), kCheckHeight);
}

int CDirectionSelector::GetRequiredHeight() const
{
    // 2 above the picture, the picture, 4 between picture and check box.
    return m_pCheck->height() + kPictureSize + 6;
}

QRect CDirectionSelector::PictureRect() const
{
    return QRect((width() - kPictureSize) / 2, kPictureTop, kPictureSize, kPictureSize);
}

void CDirectionSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_picture.Paint(painter, QRectF(PictureRect()));
}

void CDirectionSelector::OnRadioClicked(int index)
{
    PostMessage(Target(), WM_SELECT_DIRECTION,
                static_cast<WPARAM>(m_shape.radios[index].direction), 0);
}

void CDirectionSelector::OnTrackingClicked()
{
    const BOOL on = GetTracking();
    PostMessage(Target(), WM_TRACKING_ENABLE, static_cast<WPARAM>(on), 0);
    EnableRadios(on == 0);
}
