#pragma once

#include "core/Task.h"

namespace palletry {

struct ControlState;
class ErrorSink;
class LineItemEntry;
class ListView;
class Loaders;
class Screen;

/**
 * The vendor's open orders (lstProspectivePOs) and the orders chosen for the
 * load (lstSelectedPOs): the four moving buttons, the double click that moves
 * like ">", and the click on a chosen order that opens its line items.
 *
 * Moves change only the two lists; each moves its rows in one go, so that a
 * move of thousands of orders updates each view once.
 */
class OrderMoves
{
public:
    OrderMoves(ControlState& state, Screen& screen, ErrorSink& errors, Loaders& loaders, LineItemEntry& orderDetails);

    /// ">": the highlighted open orders to the right.
    void cmdSelect_Click();
    /// ">>": all open orders to the right.
    void cmdSelectAll_Click();
    /// "<": the highlighted chosen orders back to the left.
    void cmdRemove_Click();
    /// "<<": all chosen orders back to the left.
    void cmdRemoveAll_Click();
    /// A double click on the open orders: ">".
    void lstProspectivePOs_DblClick();

    /**
     * Opens the current chosen order: its line items into grdOrdItems, its segment
     * on this load into CurrentSegmentNumber (0 when it has none), its recorded
     * cartons locked in txtNumberOfCartons (or the field free and empty), and the
     * grid's current line item taken up.
     */
    Task<void> lstSelectedPOs_Click();

private:
    enum class Rows { Highlighted, All };
    /// Moves rows from the open to the chosen orders (@p toSelected) or back.
    void move(bool toSelected, Rows which);

    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    Loaders& m_loaders;
    LineItemEntry& m_entry;
};

} // namespace palletry
