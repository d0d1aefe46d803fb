#pragma once

#include <QCoreApplication>
#include <QString>

class QLabel;
class QLineEdit;

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

    const LineItemPanel& panel() const { return m_panel; }

    /// grdOrdItems_Click / grdManualPOItems_Click.
    void gridClick();

    /**
     * ValidateLineItemEntry / ValidateManualPOEntry: true when both fields hold
     * numbers. Otherwise shows the first failing check's message, puts the focus
     * in that field and returns false. No trap: a failure goes to the caller's.
     */
    bool validate();

    /**
     * After an order's line items were loaded: the order's segment on the load
     * becomes CurrentSegmentNumber (0 when it has none, so that a save registers
     * it), a carton count already recorded is shown as a number and locked (the
     * field is free and empty otherwise), and the grid's line item is taken up.
     */
    void takeUpLoadedOrder(ControlState& state);

    /// Empties the grid's cells, both labels and the unit weight (the carton count stays).
    void clear();

    /// The order whose line items were loaded into the grid (empty: none).
    void setShownOrder(const QString& orderId) { m_shownOrder = orderId; }
    /**
     * That order while the grid still shows its line items: empty once the grid
     * was cleared or cut back to its headings since.
     */
    QString shownOrder() const;

    /// The validation's numeric test: a plain decimal number (see Conversion) that a double can hold.
    static bool isNumber(const QString& text);

private:
    LineItemPanel m_panel;
    MessageBoxes& m_boxes;
    ErrorSink& m_errors;
    QString m_shownOrder;
};

} // namespace palletry
