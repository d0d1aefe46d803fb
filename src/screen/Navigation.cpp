#include "screen/Navigation.h"

#include "screen/Screen.h"
#include "screen/Twips.h"

#include <QTabWidget>

namespace palletry {

Navigation::Navigation(Screen& screen, QWidget& control)
    : m_screen(screen)
    , m_control(control)
{
}

void Navigation::showOnly(int tab)
{
    QTabWidget& tabs = *m_screen.tabPalletry;
    // Qt moves the current tab away from a tab being disabled, so the target is
    // enabled and made current before the others are disabled.
    tabs.setTabEnabled(tab, true);
    tabs.setCurrentIndex(tab);
    for (int i = 0; i < tabs.count(); ++i) {
        if (i != tab)
            tabs.setTabEnabled(i, false);
    }
}

void Navigation::tabPalletry_Click()
{
    const QTabWidget& tabs = *m_screen.tabPalletry;
    // "Vendor Details" as the screen captioned tab 1, in whatever language it was built in:
    // a translator installed later must not change which tab is tall.
    if (tabs.tabText(tabs.currentIndex()) == tabs.tabText(1))
        setHeights(Screen::LargeTabStripHeightTwips, Screen::LargeControlHeightTwips);
    else
        setHeights(Screen::SmallHeightTwips, Screen::SmallHeightTwips);
}

void Navigation::setHeights(int tabStripTwips, int controlTwips)
{
    m_screen.setTabStripHeightTwips(tabStripTwips);
    m_control.setFixedHeight(twipsToPixels(controlTwips));
}

} // namespace palletry
