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
    if (tabs.tabText(tabs.currentIndex()) == Screen::tr("Vendor Details"))
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
