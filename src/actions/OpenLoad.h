#pragma once

#include "core/Task.h"

#include <QString>
#include <QtGlobal>

namespace palletry {

struct ControlState;
class ErrorSink;
class LineItemEntry;
class Loaders;
class ManualPOEntry;
class Navigation;
class Screen;
class ServiceRequests;

/**
 * Opening a load (LoadData): the load header, the vendor master list and the
 * orders on the load, read one after the other, then shown together, the
 * vendors sorted by name. Whatever a previous load left on screen or in an
 * entry is let go first, so nothing of it can be saved onto this one.
 */
class OpenLoad
{
public:
    OpenLoad(ControlState& state, Screen& screen, ErrorSink& errors, ServiceRequests& requests, Loaders& loaders,
             Navigation& navigation, ManualPOEntry& manualPO, LineItemEntry& orderDetails,
             LineItemEntry& manualPOItems);

    /**
     * Opens load @p lLoadID on @p ptServerName. A load id the requests cannot
     * carry (outside -32768..32767) is reported under "LoadData" before anything
     * changes; a failed read is reported by its call and leaves its part empty.
     */
    Task<void> LoadData(QString ptServerName, qint32 lLoadID);

private:
    /// Nothing of the load shown before stays on screen, in an entry or in the segment table.
    void forgetPreviousLoad();

    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    ServiceRequests& m_requests;
    Loaders& m_loaders;
    Navigation& m_navigation;
    ManualPOEntry& m_manualPO;
    LineItemEntry& m_orderDetails;
    LineItemEntry& m_manualPOItems;
};

} // namespace palletry
