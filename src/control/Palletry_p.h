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
#include "actions/OrderRecording.h"
#include "actions/ScannerEntry.h"
#include "actions/SortHandlers.h"
#include "actions/VendorDetailsSaving.h"
#include "control/CallRunner.h"
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
    palletry::CallRunner runner;
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

    /// Error reports so far: a count that moves during an action tells that something in it failed.
    quint64 errorReports = 0;

    /// Opening a load: see Palletry::LoadData.
    void LoadData(const QString& ptServerName, qint32 lLoadID);

    /**
     * Runs a clerk's action; when the service accepted a write during it, tells
     * the host once the action has ended (loadChanged).
     */
    template <typename Action>
    void writing(Action&& action)
    {
        const quint64 before = requests.acceptedWrites();
        struct Scope
        {
            palletry::SoapCall& call;
            explicit Scope(palletry::SoapCall& c) : call(c) { call.beginAction(); }
            ~Scope() { call.endAction(); }
        } scope(soapCall);
        std::forward<Action>(action)();
        if (requests.acceptedWrites() != before)
            emit q->loadChanged();
    }

    /**
     * True, after reporting it under @p member, when a call is in flight: a host's
     * call of a public member then must not start or change anything.
     */
    bool refusedWhileBusy(const char* member);
    /// A delete asked for during a call, carried out once the call has ended.
    bool deleteAfterCall = false;

    void connectHandlers();
    /// "Export load…" and "Print manifest…" in the load list's context menu, after "Copy".
    void addLoadMenu();
    QMetaObject::Connection focusLink;
};
