#pragma once

#include "core/Task.h"

#include <QCoreApplication>

namespace palletry {

struct ControlState;
class ErrorSink;
class LineItemEntry;
class Loaders;
class MessageBoxes;
class Navigation;
class OrderRecording;
class Screen;

/**
 * The order-details panel of the vendor details: saving the line item taken
 * up for the order on screen, and leaving the panel (Cancel, Done).
 */
class VendorDetailsSaving
{
    Q_DECLARE_TR_FUNCTIONS(VendorDetailsSaving)

public:
    VendorDetailsSaving(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes,
                        Loaders& loaders, Navigation& navigation,
                        OrderRecording& recording, LineItemEntry& orderDetails);

    /**
     * "&Save": validates the entry, then records the line item for the order whose
     * line items the grid shows (the order the last click on lstSelectedPOs opened),
     * reloads that order's line items and re-reads the orders on the load. The
     * success message comes only when AddPO recorded the line item. When no order's
     * line items are shown, or that order has left lstSelectedPOs, nothing is sent
     * and the reason is reported.
     */
    Task<void> cmdSaveVendorDetails_Click();

    /// Empties the grid, the line-item labels and the unit weight; the carton count stays.
    void ClearLineItemEntry();

    /// "&Cancel": clears the entry, frees the carton field (text kept), back to the first tab.
    void cmdCancelVendorDetails_Click();

    /// "&Done": as Cancel, and the carton field is emptied too.
    void cmdFinished_Click();

private:
    void trimLoadList();

    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    MessageBoxes& m_boxes;
    Loaders& m_loaders;
    Navigation& m_navigation;
    OrderRecording& m_recording;
    LineItemEntry& m_entry;
};

} // namespace palletry
