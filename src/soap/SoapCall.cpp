#include "soap/SoapCall.h"

#include "core/Trap.h"

namespace palletry {

SoapCall::SoapCall(ErrorSink& sink)
    : m_sink(sink)
    , m_call(sink)
{
}

std::unique_ptr<ServiceReply> SoapCall::call(const QString& AsmxUrl, const QString& SOAPAction,
                                             const QString& SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    std::unique_ptr<ServiceReply> reply = m_call.call(AsmxUrl, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
    m_lastCallSucceeded = reply != nullptr;
    return reply;
}

QString SoapCall::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                      const QString& SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    // The Host header is derived from AsmxUrl, as HTTP clients do; the server
    // text callers pass carries the scheme and is no valid header value.
    Q_UNUSED(Host);
    const std::unique_ptr<ServiceReply> reply = call(AsmxUrl, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
    if (!reply || UpdateAddDeleteOnly)
        return QString();
    QString text;
    trap(m_sink, "ReturnWebserviceXML",
         [&] { text = QString::fromUtf8(Unwrap::replyText(reply->document, reply->bytes.size())); });
    return text;
}

QByteArray SoapCall::readDataSet(Unwrap::Operation operation, const QString& AsmxUrl, const QString& SOAPAction,
                                 const QString& SOAPEnvelope)
{
    const std::unique_ptr<ServiceReply> reply = call(AsmxUrl, SOAPAction, SOAPEnvelope, false);
    if (!reply)
        return QByteArray();
    QByteArray text;
    trap(m_sink, "ReturnWebserviceXML",
         [&] { text = Unwrap::dataSetText(operation, reply->document, reply->bytes.size()); });
    return text;
}

} // namespace palletry
