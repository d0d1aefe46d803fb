#pragma once

#include "core/Task.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QWidget;

namespace palletry {

class ErrorSink;
struct ControlState;
class FlexGrid;
class MessageBoxes;

/// The widgets of one line-item entry panel.
struct LineItemPanel
{
    FlexGrid* grid;
    QLabel* lineItem;
    QLabel* model;
    QLineEdit* cartons;
    QLineEdit* unitWeight;
    /// Failure label of the grid's click handler ("grdOrdItems_Click()").
    const char* gridClickLabel;
};

/// What the validation checked, as the save records it.
struct LineItemValues
{
    QString cartons;   ///< the carton text, a number (the save converts it to 16 bits)
    double unitWeight; ///< the unit weight, converted once
    QString lineItem;  ///< the chosen line item's number as its label shows it (empty: none chosen)
};

/**
 * Line-item entry on one panel: the order-details panel of the vendor details
 * and the manual-PO panel behave alike, each on its own widgets.
 *
 * A click on a grid row takes up that line item (its number and model go into
 * the panel's two labels); the validation checks the carton and unit-weight
 * texts before a save sends anything. The panel also remembers which order's
 * line items its grid shows, so that a save records the order on screen.
 */
class LineItemEntry
{
    Q_DECLARE_TR_FUNCTIONS(LineItemEntry)

public:
    LineItemEntry(const LineItemPanel& panel, MessageBoxes& boxes, ErrorSink& errors);

    /// grdOrdItems_Click / grdManualPOItems_Click.
    void gridClick();

    /**
     * ValidateLineItemEntry / ValidateManualPOEntry: the panel's values when both
     * fields hold numbers. Otherwise shows the first failing check's message, puts
     * the focus in that field and returns nothing. No trap: a failure goes to the caller's.
     */
    std::optional<LineItemValues> validate();

    /**
     * After @p orderId's line items were loaded: the order's segment on the load
     * becomes CurrentSegmentNumber (0 when it has none, so that a save registers
     * it), a carton count already recorded is shown as a number and locked (the
     * field is free and empty otherwise), the grid's line item is taken up and the
     * order becomes the one shown. Everything of the previous order is let go
     * first: when a value does not convert, the panel is left with no segment, no
     * line item, no shown order and a free, empty carton field, so that nothing of
     * another order can be saved under this one.
     */
    void takeUpLoadedOrder(ControlState& state, const QString& orderId);

    /**
     * Takes up @p orderId: lets go of the panel, runs @p readOrder (the read of its
     * line items), then takeUpLoadedOrder. The segment changes once, from the
     * previous order's to this one's (a host hears no passing 0 when the same
     * order is taken up again); should the read throw, it is let go as well.
     */
    Task<void> takeUp(ControlState& state, QString orderId, std::function<Task<void>()> readOrder);

    /**
     * Lets go of the order taken up: no segment, no line item, no shown order, the
     * carton field free and empty. Taking up another order starts here, so that a
     * failure on the way leaves nothing of the previous order to be saved.
     */
    void release(ControlState& state);

    /// Empties the grid's cells, both labels and the unit weight (the carton count stays).
    void clear();
    /**
     * Empties both labels and the unit weight, leaving the grid's cells: for a caller
     * that reads the grid again at once, so that the grid is drawn once, refilled (or
     * cut back to its headings when the read fails), not blank in between.
     */
    void clearFields();

    /**
     * Where the entry of the line item taken up goes on: the carton field while it
     * is free and empty, else the unit weight; none while no line item is taken up.
     */
    QWidget* nextField() const;

    /// The order whose line items were loaded into the grid (empty: none).
    void setShownOrder(const QString& orderId) { m_shownOrder = orderId; }
    /**
     * That order while the grid still shows its line items: empty once the grid
     * was cleared or cut back to its headings since.
     */
    QString shownOrder() const;

    /// The validation's numeric test: a plain decimal number (see Conversion) that a double can hold.
    static bool isNumber(const QString& text) { return number(text).has_value(); }
    /// That number, or nothing when @p text is not one.
    static std::optional<double> number(const QString& text);

private:
    /// The panel and the order it shows, emptied; the segment is left to the caller.
    void clearPanel();
    LineItemPanel m_panel;
    MessageBoxes& m_boxes;
    ErrorSink& m_errors;
    QString m_shownOrder;
};

} // namespace palletry
