#pragma once

#include <palletry/Palletry.h>

#include "control/ControlState.h"
#include "transport/ErrorReport.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"
#include "transport/SoapCall.h"

namespace palletry {
class Screen;
}

/**
 * Everything the control owns: its fields, its screen, its outlets and the
 * parts that act on them. Palletry itself only forwards to this.
 */
class Palletry::Private
{
public:
    explicit Private(Palletry* q);
    ~Private();

    static Private* get(Palletry* control) { return control->d.get(); }

    Palletry* const q;
    palletry::ControlState state;
    palletry::MessageBoxes messageBoxes;
    palletry::EventLog eventLog;
    palletry::ErrorReport errorReport;
    palletry::SoapCall soapCall;
};
