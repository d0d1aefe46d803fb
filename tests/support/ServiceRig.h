#pragma once

#include "LoopbackHttpServer.h"
#include "ReportRecorder.h"

#include "core/ControlState.h"
#include "transport/ErrorReport.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"
#include "soap/SoapCall.h"

#include <string>
#include <utility>
#include <vector>

namespace palletry::test {

/**
 * The control's service machinery without its screen: fields, outlets (recorded),
 * a SoapCall and a loopback server whose address is already in
 * ServerName / ServiceUrl / SoapActionPrefix, as LoadData would set them.
 */
struct ServiceRig
{
    ServiceRig();

    /// Short limits so failure tests end quickly.
    void useShortLimits(qint64 totalTimeoutMs = 400);

    LoopbackHttpServer server;
    ControlState state;
    MessageBoxes boxes{nullptr};
    EventLog log;
    ErrorReport report{boxes, log};
    ReportRecorder recorder{boxes, log};
    SoapCall call{state, report};
};

/// A SOAP 1.1 reply as the service writes it, with @p bodyContent inside soap:Body.
std::string soapReply(const std::string& bodyContent);
/// The service's confirmation of a write: an empty <operation>Response in the service's namespace.
std::string writeReply(const std::string& operation);
/// A SOAP fault reply with the given fault string.
std::string soapFaultReply(const std::string& faultString);
/// A read reply of operation @p operation whose result holds @p resultText, escaped as the service escapes text.
std::string operationReply(const std::string& operation, const std::string& resultText);
/// @p text with "&", "<" and ">" escaped as an XML writer escapes element text.
std::string escapeText(const std::string& text);

/// One DataSet row: its column elements in order (name, value); a left-out column is a null.
using DataSetRow = std::vector<std::pair<std::string, std::string>>;
/// A DataSet result as a .NET service writes it: Root / DataSet with an inline schema beside
/// diffgr:diffgram / NewDataSet / Table rows, values escaped.
std::string dataSetText(const std::vector<DataSetRow>& rows);

} // namespace palletry::test
