#include "actions/VendorDetailsSaving.h"

#include "actions/LineItemEntry.h"
#include "actions/OrderRecording.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/ListView.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"
#include "transport/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace palletry {
VendorDetailsSaving::VendorDetailsSaving(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes,
                                         Loaders& loaders, Navigation& navigation,
                                         OrderRecording& recording, LineItemEntry& orderDetails)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_loaders(loaders)
    , m_navigation(navigation)
    , m_recording(recording)
    , m_entry(orderDetails)
{
}

Task<void> VendorDetailsSaving::cmdSaveVendorDetails_Click()
{
    try {
        const std::optional<LineItemValues> entry = m_entry.validate();
        if (!entry)
            co_return;

        // The order on screen, not whichever row a search or a move highlighted since.
        const QString orderId = m_entry.shownOrder();
        if (orderId.isEmpty())
            throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                               QStringLiteral("No order's line items are shown: click an order in the selected orders first"));
        if (!m_recording.lineItemChosen(*entry, QStringLiteral("order %1").arg(orderId)))
            co_return;
        ListView& selected = *m_screen.lstSelectedPOs;
        if (selected.findText(orderId) == 0)
            throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                               QStringLiteral("Order %1 is no longer among the selected orders").arg(orderId));
        qint16 cartons = toInt16(entry->cartons);
        const std::optional<OrderRecording::Outcome> outcome = co_await m_recording.record(orderId, cartons, *entry);
        if (!outcome)
            co_return; // nothing read: the load list stays as the service last gave it
        // Only once the order's details were read, so that a read that fails trims nothing
        // the list will not read again.
        trimLoadList();

        m_screen.txtFindPO->clear();
        // The grid is replaced by its reading again (or cut back to its headings when that fails).
        m_entry.clearFields();
        // The order's line items again, as any load shows them.
        co_await m_loaders.LoadLineItemsOrderDetail(orderId, true, 0);
        m_entry.setShownOrder(orderId);
        if (outcome->registered) {
            // The order stands on the load with this count now: a changed count would not be recorded.
            m_screen.txtNumberOfCartons->setText(QString::number(cartons));
            m_screen.txtNumberOfCartons->setEnabled(false);
        } else if (m_state.CurrentSegmentNumber == 0) {
            // Not on this load (any more): the count is still the clerk's to give.
            m_screen.txtNumberOfCartons->setEnabled(true);
        }
        // The load list shows what the service holds, whatever became of this save.
        co_await m_loaders.refreshOrdersOnLoad();
        m_screen.cmdViewAll->setEnabled(m_screen.lstAllSelectedPOs->count() > 0);
        if (outcome->recorded)
            m_boxes.show({tr("Data has been saved successfully!!!"), QString::fromLatin1(ProjectName),
                          QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Success});
    } catch (...) {
        reportCurrent(m_errors, "cmdSaveVendorDetails_Click()");
    }
}

void VendorDetailsSaving::trimLoadList()
{
    // This vendor's orders that were moved back leave the load list. The selected
    // orders are looked up in one sorted copy, not a scan of the list per row of the load.
    const ListView& selected = *m_screen.lstSelectedPOs;
    const auto caseless = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    std::vector<QString> selectedIds;
    selectedIds.reserve(size_t(selected.count()));
    for (int i = 1; i <= selected.count(); ++i)
        selectedIds.push_back(selected.text(i));
    std::sort(selectedIds.begin(), selectedIds.end(), caseless);
    ListView& all = *m_screen.lstAllSelectedPOs;
    for (int i = all.count(); i >= 1; --i) {
        if (sameVendor(all.subItem(i, LoadColumn::VendorID), m_state.SelectedVendor)
            && !std::binary_search(selectedIds.begin(), selectedIds.end(), all.text(i), caseless))
            all.removeRow(i);
    }
}

void VendorDetailsSaving::ClearLineItemEntry()
{
    m_entry.clear();
}

void VendorDetailsSaving::cmdCancelVendorDetails_Click()
{
    ClearLineItemEntry();
    m_screen.txtNumberOfCartons->setEnabled(true);
    m_navigation.showOnly(0);
}

void VendorDetailsSaving::cmdFinished_Click()
{
    trap(m_errors, "cmdFinished_Click()", [&] {
        ClearLineItemEntry();
        m_screen.txtNumberOfCartons->setEnabled(true);
        m_screen.txtNumberOfCartons->clear();
        m_navigation.showOnly(0);
    });
}

} // namespace palletry
