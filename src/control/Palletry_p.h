#pragma once

#include <palletry/Palletry.h>

#include "actions/Browsing.h"
#include "actions/FindPO.h"
#include "actions/LineItemEntry.h"
#include "actions/LoadManifest.h"
#include "actions/LoadReview.h"
#include "actions/LoadSheet.h"
#include "actions/ManualPOEntry.h"
#include "actions/OrderMoves.h"
#include "actions/OpenLoad.h"
#include "actions/OrderRecording.h"
#include "actions/ScannerEntry.h"
#include "actions/SortHandlers.h"
#include "actions/VendorDetailsSaving.h"
#include "control/ActionRunner.h"
#include "core/ControlState.h"
#include "loaders/Loaders.h"
#include "screen/CallProgress.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"
#include "soap/ServiceRequests.h"
#include "soap/SoapCall.h"
#include "transport/ErrorReport.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"

/**
 * Everything the control owns: its fields, its screen, its outlets and the
 * parts that act on them. Palletry itself only forwards to this. Hidden: a
 * nested class of an exported one would otherwise be exported with it.
 */
class Q_DECL_HIDDEN Palletry::Private
{
public:
    explicit Private(Palletry* q);
    ~Private();

    static Private* get(Palletry* control) { return control->d.get(); }

    /// Creation: tab flags, current tab and the version caption.
    void UserControl_Initialize();
    /// The version caption, in the language now installed.
    void showVersion();

    Palletry* const q;
    palletry::ControlState state;
    palletry::MessageBoxes messageBoxes;
    palletry::EventLog eventLog;
    palletry::ErrorReport errorReport;
    palletry::SoapCall soapCall;
    palletry::Screen screen;
    palletry::CallProgress* callProgress; // owned by the control
    palletry::ActionRunner runner;
    palletry::Navigation navigation;
    palletry::SortHandlers sorting;
    palletry::ServiceRequests requests;
    palletry::Loaders loaders;
    palletry::LineItemEntry orderDetailsEntry;
    palletry::LineItemEntry manualPOEntry;
    palletry::OrderRecording recording;
    palletry::VendorDetailsSaving vendorDetailsSaving;
    palletry::Browsing browsing;
    palletry::OrderMoves orderMoves;
    palletry::FindPO findPO;
    palletry::ManualPOEntry manualPO;
    palletry::LoadReview loadReview;
    palletry::ScannerEntry scanner;
    palletry::LoadSheet loadSheet;
    palletry::LoadManifest manifest;
    palletry::OpenLoad opening;

    /**
     * Starts opening load @p lLoadID on @p ptServerName; loadOpened tells its end.
     * Returns the action's number, 0 when it was refused (an action is under way).
     */
    quint64 openLoad(const QString& ptServerName, qint32 lLoadID);

    /**
     * A clerk's handler that waits for nothing, run as an action (its messages are steps of it);
     * @p then runs once it has ended (not when raised by a running action's own steps).
     */
    void act(std::function<void()> handler, std::function<void()> then = {});
    /// A clerk's handler that waits for the service, run as an action; @p then runs at its end.
    void act(std::function<palletry::Task<void>()> handler, std::function<void()> then = {});
    /**
     * A clerk's handler that may write, run as an action; @p then runs at its end, and
     * when the service accepted a write during it, loadChanged tells the host after that.
     */
    void actWriting(std::function<palletry::Task<void>()> handler, std::function<void()> then = {});

    /// With scanner entry on, where the next scan goes once the load is open or a tab left.
    void scanIntoVendors();

    /**
     * True, after reporting it under @p member, while an action is under way: a
     * host's call of a public member then must not start or change anything.
     */
    bool refusedWhileBusy(const char* member);

    void connectHandlers();
    /// "Export load…" and "Print manifest…" in the load list's context menu, after "Copy".
    void addLoadMenu();
    QMetaObject::Connection focusLink;
};
