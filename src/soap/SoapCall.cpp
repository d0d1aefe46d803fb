#include "soap/SoapCall.h"

#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "transport/ReplyChecks.h"

namespace palletry {

SoapCall::SoapCall(ErrorSink& sink)
    : m_sink(sink)
    , m_call(sink)
{
}

Task<std::unique_ptr<ServiceReply>> SoapCall::call(QString AsmxUrl, QString SOAPAction, QString SOAPEnvelope,
                                                   bool UpdateAddDeleteOnly, ServiceCall::ReplyStep then,
                                                   bool setTextAside)
{
    std::unique_ptr<ServiceReply> reply =
        co_await m_call.call(AsmxUrl, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly, std::move(then), setTextAside);
    m_lastCallSucceeded = reply != nullptr;
    co_return reply;
}

Task<QString> SoapCall::ReturnWebserviceXML(QString AsmxUrl, QString Host, QString SOAPAction, QString SOAPEnvelope,
                                            bool UpdateAddDeleteOnly)
{
    // The Host header is derived from AsmxUrl, as HTTP clients do; the server
    // text callers pass carries the scheme and is no valid header value.
    Q_UNUSED(Host);
    const std::unique_ptr<ServiceReply> reply = co_await call(AsmxUrl, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
    if (!reply || UpdateAddDeleteOnly)
        co_return QString();
    QString text;
    trap(m_sink, "ReturnWebserviceXML",
         [&] { text = QString::fromUtf8(Unwrap::replyText(reply->document, static_cast<std::size_t>(reply->bytes.size()))); });
    co_return text;
}

Task<QByteArray> SoapCall::readDataSet(Unwrap::Operation operation, QString AsmxUrl, QString SOAPAction,
                                       QString SOAPEnvelope, std::shared_ptr<DataSetWalk::Document>* rows)
{
    // Read where the reply is checked (a large one on a worker thread); its failure is the call's.
    ServiceCall::ReplyStep unwrap = [operation, AsmxUrl](ServiceReply& reply) {
        // The text is cut out of the received bytes where it can be, else copied; the nodes
        // and the received bytes go before its rows are read, and where they were made,
        // not on the screen's thread. A result that is no DataSet would read as an empty
        // one: the clerk would see no orders and no report.
        QByteArray text;
        if (!Unwrap::readDataSet(operation, reply.document, reply.bytes, text, reply.rows, reply.aside)) {
            if (reply.aside.refused)
                return; // read again from the reply loaded whole
            throw RuntimeError(ErrorRecord{reply.statusCode,
                                           ReplyChecks::networkText(reply.statusLine
                                                                    + QStringLiteral(": the reply holds no DataSet")),
                                           AsmxUrl, ErrorKind::HttpStatus});
        }
        reply.result = std::move(text);
    };
    // Only rows asked for can be read without the text: the parser need not walk it then.
    const std::unique_ptr<ServiceReply> reply = co_await call(AsmxUrl, SOAPAction, SOAPEnvelope, false, unwrap, rows != nullptr);
    if (reply && rows)
        *rows = std::move(reply->rows);
    co_return reply ? std::move(reply->result) : QByteArray();
}

} // namespace palletry
