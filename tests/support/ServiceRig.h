#pragma once

#include "LoopbackHttpServer.h"
#include "ReportRecorder.h"

#include "core/ControlState.h"
#include "transport/ErrorReport.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"
#include "soap/SoapCall.h"

#include <QVector>

namespace palletry::test {

/// A SoapCall that also keeps every call's arguments (the envelope as handed over, before serialising).
class RecordingSoapCall : public SoapCall
{
public:
    struct Call
    {
        QString AsmxUrl;
        QString Host;
        QString SOAPAction;
        QString SOAPEnvelope;
        bool UpdateAddDeleteOnly = false;
        QString result;
        bool succeeded = false;
    };

    using SoapCall::SoapCall;

    QString ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                const QString& SOAPEnvelope, bool UpdateAddDeleteOnly = false) override;

    QVector<Call> calls;
};

/**
 * The control's service machinery without its screen: fields, outlets (recorded),
 * a recording SoapCall and a loopback server whose address is already in
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
    RecordingSoapCall call{state, report};
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

} // namespace palletry::test
