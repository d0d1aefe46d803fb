#pragma once

#include "core/Task.h"

#include <QObject>

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
 * Adding a PO by hand on "All Selected POs": the PO number typed into txtAddPO,
 * the manual-PO panel (fraAdPOManually) with the PO's line items, its save and
 * its cancel. Watches txtAddPO's keys so that only digits, "-" and backspace
 * can be typed there.
 */
class ManualPOEntry : public QObject
{
    Q_OBJECT

public:
    ManualPOEntry(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes,
                  Loaders& loaders, Navigation& navigation, OrderRecording& recording,
                  LineItemEntry& manualPO);

    /**
     * "Add P O": opens the panel at the large height for the typed PO, with its line
     * items, its segment on this load as CurrentSegmentNumber (0 when it is not on
     * this load, so that a save registers it under a segment of its own), its recorded
     * cartons locked (or the field free and empty) and the grid's line item taken up.
     */
    Task<void> cmdAddPO_Click();
    /// "Add P O" is available only while txtAddPO holds text.
    void txtAddPO_Change();
    /// Focus on txtAddPO selects its whole text.
    void txtAddPO_GotFocus();
    /// Lets digits, "-" and backspace through; any other typed character becomes 0 (discarded).
    void txtAddPO_KeyPress(int& KeyAscii);
    /// A digit or "-": what a PO number is typed with.
    static bool isTypedPOCharacter(int code);

    /**
     * "&Save": validates, records the line item through AddPO, re-reads the orders on
     * the load and closes the panel; the success message only when AddPO recorded it.
     */
    Task<void> cmdManualPOSave_Click();
    /// "&Cancel": closes the panel, back to the compact height, txtAddPO free and empty.
    void cmdManualPOCancel_Click();
    /// Empties the panel's grid, labels and unit weight and frees the carton field.
    void ClearManualPOEntry();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
