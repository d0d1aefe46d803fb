#pragma once

#include "LoopbackHttpServer.h"
#include "QtPrinters.h"
#include "ReportRecorder.h"

#include "core/ControlState.h"
#include "transport/ErrorReport.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"
#include "soap/ServiceRequests.h"
#include "soap/SoapCall.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace palletry::test {

// The control's service machinery without its screen: fields, outlets (recorded),
// a SoapCall, the requests and a loopback server whose address the fields and the
// requests already hold, as LoadData would have given it.
struct ServiceRig
{
    ServiceRig();
    void useShortLimits(qint64 totalTimeoutMs = 400);
    LoopbackHttpServer server;
    ControlState state;
    MessageBoxes boxes{nullptr};
    EventLog log;
    ErrorReport report{boxes, log};
    ReportRecorder recorder{boxes, log};
    SoapCall call{report};
    ServiceRequests requests{call, report};
};

void pointAt(ControlState& state, const LoopbackHttpServer& server);
/// The requests given the server's address, as LoadData gives it.
void pointAt(ServiceRequests& requests, const LoopbackHttpServer& server);
std::string soapReply(const std::string& bodyContent);
std::string writeReply(const std::string& operation);
std::string soapFaultReply(const std::string& faultString);
std::string operationReply(const std::string& operation, const std::string& resultText);
std::string escapeText(const std::string& text);

using DataSetRow = std::vector<std::pair<std::string, std::string>>;
std::string dataSetText(const std::vector<DataSetRow>& rows);

} // namespace palletry::test
