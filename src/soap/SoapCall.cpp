#include "soap/SoapCall.h"

#include "core/ControlState.h"
#include "core/Trap.h"

namespace palletry {

SoapCall::SoapCall(ControlState& state, ErrorSink& sink)
    : m_state(state)
    , m_sink(sink)
    , m_call(state, sink)
{
}

QString SoapCall::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                      const QString& SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    // The Host header is derived from AsmxUrl, as HTTP clients do; the server
    // text callers pass carries the scheme and is no valid header value.
    Q_UNUSED(Host);
    if (!m_call.call(AsmxUrl, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly) || UpdateAddDeleteOnly)
        return QString();
    QString text;
    trap(m_sink, "ReturnWebserviceXML",
         [&] { text = QString::fromUtf8(Unwrap::replyText(*m_state.ReplyDocument, m_call.lastReplySize())); });
    return text;
}

QByteArray SoapCall::readDataSet(Unwrap::Operation operation, const QString& AsmxUrl, const QString& SOAPAction,
                                 const QString& SOAPEnvelope)
{
    if (!m_call.call(AsmxUrl, SOAPAction, SOAPEnvelope, false))
        return QByteArray();
    QByteArray text;
    trap(m_sink, "ReturnWebserviceXML",
         [&] { text = Unwrap::dataSetText(operation, *m_state.ReplyDocument, m_call.lastReplySize()); });
    return text;
}

} // namespace palletry
