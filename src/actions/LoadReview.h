#pragma once

#include "core/Task.h"

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

namespace palletry {

struct ControlState;
class ErrorSink;
class Loaders;
class ManualPOEntry;
class MessageBoxes;
class Navigation;
class Screen;
class ServiceRequests;

/**
 * "All Selected POs": every order on the load. A double click opens an order
 * in the manual-PO panel for correction, "&Remove" takes the highlighted order
 * off the load at the service, "&Done" goes back to the first tab.
 */
class LoadReview
{
    Q_DECLARE_TR_FUNCTIONS(LoadReview)

public:
    LoadReview(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes, ServiceRequests& requests,
               Loaders& loaders, Navigation& navigation, ManualPOEntry& manualPO);

    /// Opens the current order with its segment and cartons, through "Add P O".
    Task<void> lstAllSelectedPOs_DblClick();
    /**
     * Deletes the highlighted order's segment from the load, once the service has
     * confirmed that the order stands on this load under that segment, then
     * re-reads the orders on the load and highlights the last one. Without a
     * highlighted order it says so and sends nothing; a segment the service does
     * not confirm is reported and not deleted; the row leaves the list and the
     * success message is shown only when the service accepted the delete.
     */
    Task<void> cmdRemovePO_Click();
    /// Closes the manual-PO panel, back to the first tab, re-reads the orders on the load.
    Task<void> cmdDone_Click();

private:
    /// DeletePO once the service confirms @p orderId stands on this load under @p segment; true when accepted.
    Task<bool> deleteFromThisLoad(QString orderId, qint16 segment);
    /// After a delete that did not happen: the clerk's row (this order under this segment) highlighted again.
    void highlightAgain(const QString& orderId, qint16 segment);

    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    MessageBoxes& m_boxes;
    ServiceRequests& m_requests;
    Loaders& m_loaders;
    Navigation& m_navigation;
    ManualPOEntry& m_manualPO;
};

} // namespace palletry
