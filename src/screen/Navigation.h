#pragma once

class QWidget;

namespace palletry {

class Screen;

/**
 * Moving between the tabs: which tab the clerk may choose, which one shows,
 * and the heights of the tab strip and the control that follow it.
 */
class Navigation
{
public:
    Navigation(Screen& screen, QWidget& control);

    /// Makes @p tab the only selectable tab (flags set in tab order), then the current one.
    void showOnly(int tab);

    /// Tab change: "Vendor Details" needs the tall screen, the other tabs the compact one.
    void tabPalletry_Click();

    /// Heights in twips of the tab strip and of the control itself.
    void setHeights(int tabStripTwips, int controlTwips);

private:
    Screen& m_screen;
    QWidget& m_control;
};

} // namespace palletry
