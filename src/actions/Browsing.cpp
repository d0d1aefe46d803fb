#include "actions/Browsing.h"

#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/ListView.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"

#include <QLineEdit>
#include <QPushButton>

namespace palletry {

Browsing::Browsing(ControlState& state, Screen& screen, ErrorSink& errors, Navigation& navigation, Loaders& loaders)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_navigation(navigation)
    , m_loaders(loaders)
{
}

void Browsing::takeVendor(int pos)
{
    // As the row shows it: "12A" is vendor 12, text without a leading number vendor 0.
    m_state.SelectedVendor = m_screen.lstVendors->text(pos);
    m_state.SelectedVendorID = leadingNumberToInt32(m_state.SelectedVendor);
}

void Browsing::lstVendors_Click()
{
    trap(m_errors, "lstVendors_Click()", [&] {
        const int pos = m_screen.lstVendors->currentRow();
        if (pos == 0)
            return;
        takeVendor(pos);
        m_screen.cmdViewDetails->setEnabled(true);
    });
}

Task<void> Browsing::cmdViewDetails_Click()
{
    try {
        const int pos = m_screen.lstVendors->currentRow();
        if (pos == 0)
            co_return;
        // The vendor whose orders are shown is the one a save concerns.
        takeVendor(pos);
        const qint16 loadId = toInt16(qint64(m_state.LoadID));
        m_navigation.showOnly(1);
        co_await m_loaders.LoadVendorDetails(m_screen.lstVendors->text(pos), loadId);
        m_screen.txtFindPO->clear();
        m_screen.lstSelectedPOs->setColumnWidthTwips(1, 0);
    } catch (...) {
        reportCurrent(m_errors, "cmdViewDetails_Click()");
    }
}

Task<void> Browsing::cmdViewAll_Click()
{
    try {
        m_navigation.showOnly(2);
        m_screen.cmdRemovePO->setEnabled(true);
        if (m_screen.lstAllSelectedPOs->count() == 0)
            co_await m_loaders.refreshOrdersOnLoad();
        m_screen.txtFindPO->clear();
    } catch (...) {
        reportCurrent(m_errors, "cmdViewAll_Click()");
    }
}

} // namespace palletry
