#include "actions/LoadReview.h"

#include "actions/ManualPOEntry.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/ListView.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"
#include "soap/ServiceRequests.h"
#include "transport/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>

namespace palletry {

LoadReview::LoadReview(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes,
                       ServiceRequests& requests, Loaders& loaders, Navigation& navigation, ManualPOEntry& manualPO)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_requests(requests)
    , m_loaders(loaders)
    , m_navigation(navigation)
    , m_manualPO(manualPO)
{
}

Task<void> LoadReview::lstAllSelectedPOs_DblClick()
{
    try {
        const ListView& all = *m_screen.lstAllSelectedPOs;
        const int pos = all.currentRow();
        if (all.count() == 0 || pos == 0)
            co_return;
        // Both converted before anything changes: a failure leaves the open entry as it was.
        const qint16 segment = toInt16(all.subItem(pos, LoadColumn::MaxSequence));
        const qint16 cartons = toInt16(all.subItem(pos, LoadColumn::Cartons));
        m_state.CurrentSegmentNumber = segment;
        m_state.SegmentFromService = segment; // as the service listed the load
        m_screen.txtManualPONumberOfCartons->setText(QString::number(cartons));
        m_screen.txtManualPONumberOfCartons->setEnabled(false);
        m_screen.txtAddPO->setText(all.text(pos));
        if (!m_screen.txtAddPO->text().isEmpty())
            co_await m_manualPO.cmdAddPO_Click();
    } catch (...) {
        reportCurrent(m_errors, "lstAllSelectedPOs_DblClick()");
    }
}

Task<void> LoadReview::cmdRemovePO_Click()
{
    try {
        ListView& all = *m_screen.lstAllSelectedPOs;
        // Only the order the clerk highlighted: the current row exists as soon as the list has rows.
        const std::vector<int> highlighted = all.selectedRows();
        if (highlighted.empty()) {
            m_boxes.show({tr("Please select an item from the list to remove"), tr("Item Removal"),
                          QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Validation});
            co_return;
        }
        const int pos = highlighted.front();
        const QString orderId = all.text(pos);
        const qint16 segment = toInt16(all.subItem(pos, LoadColumn::MaxSequence));
        const bool deleted = co_await deleteFromThisLoad(orderId, segment);
        if (deleted)
            all.removeRow(pos); // gone even should the list not be read again below
        // The list shows what the service holds, whether the delete was accepted or not.
        co_await m_loaders.refreshOrdersOnLoad();
        m_loaders.RefreshSelectedPOs();
        if (deleted)
            m_boxes.show({tr("PO has been removed successfully from load"), tr("PO Removal"),
                          QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Success});
        if (all.count() >= 1) {
            // The last row only after a delete the service confirmed: after a refused or failed one a
            // second press would otherwise remove an order the clerk never chose.
            if (deleted)
                all.setSelected(all.count(), true);
            else
                highlightAgain(orderId, segment);
            m_screen.cmdViewAll->setEnabled(true);
        } else {
            m_screen.cmdViewAll->setEnabled(false);
        }
        m_screen.txtAddPO->clear();
        m_screen.txtFindPO->clear();
    } catch (...) {
        reportCurrent(m_errors, "cmdRemovePO_Click()");
    }
}

void LoadReview::highlightAgain(const QString& orderId, qint16 segment)
{
    ListView& all = *m_screen.lstAllSelectedPOs;
    if (!all.selectedRows().empty())
        return; // the list was not read again: the clerk's highlight is still there
    for (int pos = 1; pos <= all.count(); ++pos) {
        if (all.text(pos) != orderId)
            continue;
        bool same = false;
        try {
            same = toInt16(all.subItem(pos, LoadColumn::MaxSequence)) == segment;
        } catch (const RuntimeError&) {
        }
        if (same) {
            all.setSelected(pos, true);
            return;
        }
    }
}

Task<bool> LoadReview::deleteFromThisLoad(QString orderId, qint16 segment)
{
    // DeletePO names no load: the segment is confirmed as this load's first, so that a
    // stale row never deletes the order's delivery on another load.
    const std::optional<qint16> held = co_await m_loaders.segmentOnLoad(orderId, toInt16(qint64(m_state.LoadID)));
    if (!held)
        co_return false;
    if (*held != segment) {
        m_errors.reportError(
            RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                         QStringLiteral("Order %1 is not on load %2 under segment %3: nothing was removed")
                             .arg(orderId)
                             .arg(m_state.LoadID)
                             .arg(segment))
                .record(),
            QStringLiteral("cmdRemovePO_Click()"));
        co_return false;
    }
    co_return co_await m_requests.DeletePOSOAP(orderId, segment);
}

Task<void> LoadReview::cmdDone_Click()
{
    try {
        m_manualPO.cmdManualPOCancel_Click();
        m_screen.txtManualPONumberOfCartons->setEnabled(true);
        m_screen.txtManualPONumberOfCartons->clear();
        m_navigation.showOnly(0);
        m_screen.txtAddPO->clear();
        co_await m_loaders.refreshOrdersOnLoad();
        m_screen.txtAddPO->clear();
        m_screen.txtFindPO->clear();
    } catch (...) {
        reportCurrent(m_errors, "cmdDone_Click()");
    }
}

} // namespace palletry
