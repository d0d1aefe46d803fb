#pragma once

#include "core/Task.h"

namespace palletry {

struct ControlState;
class ErrorSink;
class Loaders;
class Navigation;
class Screen;

/**
 * Moving around the screen from the first tab: picking a vendor, opening its
 * orders ("View &Details") or the whole load ("View &All").
 */
class Browsing
{
public:
    Browsing(ControlState& state, Screen& screen, ErrorSink& errors, Navigation& navigation, Loaders& loaders);

    /// A vendor row click: SelectedVendorID from the row's leading number; View Details available.
    void lstVendors_Click();
    /**
     * Opens the current vendor row's orders on "Vendor Details", taking that row's
     * vendor as SelectedVendorID. Does nothing while lstVendors has no rows.
     */
    Task<void> cmdViewDetails_Click();
    /// Opens "All Selected POs"; asks the service for the load's orders only when the list is empty.
    Task<void> cmdViewAll_Click();

private:
    /// SelectedVendorID from the vendor row at @p pos.
    void takeVendor(int pos);

    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    Navigation& m_navigation;
    Loaders& m_loaders;
};

} // namespace palletry
