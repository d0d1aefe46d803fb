#pragma once

#include <QMainWindow>

class Palletry;

/// The demo's main window: one Palletry control, nothing else.
class DemoWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DemoWindow(QWidget* parent = nullptr);

    Palletry* control() const { return m_control; }

    /// Renders each tab of the control to "<dir>/tab<N>.png"; returns the files written.
    QStringList renderTabs(const QString& dir);
    /// Renders tab @p index to @p file as in use; false when it could not be written.
    bool renderTab(int index, const QString& file);

    /**
     * Works on the control as a clerk would, by clicks on its named widgets: picks
     * the first vendor (by name) with at least three open orders, opens its orders,
     * moves two of them onto the load, opens the first and takes up its second line
     * item with a carton count and a unit weight typed in (nothing is saved).
     * Returns false when no vendor has enough open orders.
     */
    bool showVendorDetails();

    /**
     * Goes to "All Selected POs", types the PO number of the load's first order into
     * the PO field and presses "Add P O": the manual-PO panel opens with that PO's line
     * items, and its second line item is taken up with a unit weight typed in (nothing
     * is saved). Returns false when the load has no order.
     */
    bool showManualPO();

    /// Renders the control as it is to @p file.
    bool render(const QString& file);

private:
    Palletry* m_control;
};
