#pragma once
// The tab control that hosts the controller's pages: a tab row over a framed display area.
// Each page keeps its own size and is placed at the top-left corner of the display area;
// the controller sizes the control (and itself) around the current page.
#include <QWidget>

class QTabBar;

class CPageTabCtrl : public QWidget
{
    Q_OBJECT
public:
    explicit CPageTabCtrl(QWidget* parent = nullptr);

    // Makes page a child of this control and inserts a tab at index labelled label.
    // FALSE (and the page left out) when the tab cannot be inserted.
    bool AddPage(int index, QWidget* page, const QString& label);
    // Selects the tab without reporting a change, then shows its page.
    void SelectPage(int index);
    // Shows the page of the selected tab at the display area and hides every other page.
    void ShowCurrentPage();

    int GetCurSel() const;
    int GetItemCount() const;
    QWidget* PageAt(int index) const;
    // Height of one tab (the row of tabs).
    int ItemHeight() const;
    // The display area's top-left corner, where the current page sits.
    QPoint DisplayOrigin() const;
    // The control's size for a page of pageSize: the page plus a border and a 3-pixel gap on
    // each side, plus the row of tabs.
    QSize SizeForPage(QSize pageSize) const;

    QTabBar* TabBar() const { return m_pTabBar; }

    static constexpr int kBorder = 1;  // the frame's line, as SM_CXBORDER / SM_CYBORDER
    static constexpr int kGap = 3;     // between the frame and the page

Q_SIGNALS:
    // The user selected another tab (TCN_SELCHANGE).
    void selChanged(int index);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QTabBar* m_pTabBar;
    bool m_bSelecting = false;
};
