#include "ui/controller/PageTabCtrl.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

CPageTabCtrl::CPageTabCtrl(QWidget* parent) : QWidget(parent), m_pTabBar(new QTabBar(this))
{
    m_pTabBar->setDrawBase(false);
    m_pTabBar->setExpanding(false);
    m_pTabBar->move(0, 0);
    connect(m_pTabBar, &QTabBar::currentChanged, this, [this](int index) {
        ShowCurrentPage();
        if (!m_bSelecting)
            Q_EMIT selChanged(index);
    });
}

bool CPageTabCtrl::AddPage(int index, QWidget* page, const QString& label)
{
    if (!page)
        return false;
    page->setParent(this);
    page->setWindowFlags(Qt::Widget);  // no caption: a page, not a window
    m_bSelecting = true;
    const int at = m_pTabBar->insertTab(index, label);
    m_bSelecting = false;
    if (at < 0) {
        page->hide();
        return false;
    }
    m_pTabBar->setTabData(at, QVariant::fromValue(static_cast<QObject*>(page)));
    m_pTabBar->resize(m_pTabBar->sizeHint());
    page->setEnabled(true);
    ShowCurrentPage();
    return true;
}

void CPageTabCtrl::SelectPage(int index)
{
    m_bSelecting = true;
    m_pTabBar->setCurrentIndex(index);
    m_bSelecting = false;
    ShowCurrentPage();
}

void CPageTabCtrl::ShowCurrentPage()
{
    const int current = m_pTabBar->currentIndex();
    for (int i = 0; i < m_pTabBar->count(); ++i) {
        QWidget* page = PageAt(i);
        if (!page)
            continue;
        if (i == current) {
            page->move(DisplayOrigin());
            page->setEnabled(true);
            page->show();
        } else {
            page->hide();
        }
    }
}

int CPageTabCtrl::GetCurSel() const
{
    return m_pTabBar->currentIndex();
}

int CPageTabCtrl::GetItemCount() const
{
    return m_pTabBar->count();
}

QWidget* CPageTabCtrl::PageAt(int index) const
{
    return qobject_cast<QWidget*>(m_pTabBar->tabData(index).value<QObject*>());
}

int CPageTabCtrl::ItemHeight() const
{
    return m_pTabBar->count() > 0 ? m_pTabBar->tabRect(0).height() : m_pTabBar->sizeHint().height();
}

QPoint CPageTabCtrl::DisplayOrigin() const
{
    return {kBorder + kGap, ItemHeight() + kBorder + kGap};
}

QSize CPageTabCtrl::SizeForPage(QSize pageSize) const
{
    return {pageSize.width() + 2 * kBorder + 2 * kGap, pageSize.height() + 2 * kBorder + 2 * kGap + ItemHeight()};
}

void CPageTabCtrl::resizeEvent(QResizeEvent*)
{
    m_pTabBar->resize(qMin(m_pTabBar->sizeHint().width(), width()), m_pTabBar->sizeHint().height());
}

void CPageTabCtrl::paintEvent(QPaintEvent*)
{
    // The display area's frame, drawn by the style as for its own tab widgets.
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    opt.rect = QRect(0, ItemHeight() - 1, width(), height() - ItemHeight() + 1);
    opt.shape = QTabBar::RoundedNorth;
    opt.tabBarSize = m_pTabBar->size();
    opt.tabBarRect = m_pTabBar->geometry();
    opt.selectedTabRect = m_pTabBar->tabRect(m_pTabBar->currentIndex());
    opt.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    p.drawPrimitive(QStyle::PE_FrameTabWidget, opt);
}
