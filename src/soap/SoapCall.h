#pragma once

#include "soap/Unwrap.h"
#include "transport/ServiceCall.h"
#include "transport/TransferRunner.h"

#include <QByteArray>
#include <QString>

namespace palletry {

class ErrorSink;

/**
 * ReturnWebserviceXML: one call of the web service. Posts the envelope,
 * waits for the reply (on the event loop when a runner is set), and gives the reply with its SOAP envelope
 * removed (the caller removes the operation's own wrappers). The call itself
 * is the transport's (ServiceCall: reports, limits); this turns the reply it
 * hands up into text, UTF-8 all the way and UTF-16 once at the end.
 *
 * Failures are reported once, under "ReturnWebserviceXML", and give no result:
 *  - an address that is not http or https or that holds a user name or password:
 *    number 5 (RunTime), nothing is sent;
 *  - the server cannot be reached, a time-out, a reply over 64 MiB: libcurl's
 *    error number and text (Transfer), source "libcurl";
 *  - a status outside 2xx, or a SOAP fault: the HTTP status as number, the
 *    status line or the fault string as description (HttpStatus, SoapFault),
 *    the address as source;
 *  - a reply, read or write alike, that is not XML or whose SOAP body does not
 *    start with the operation's <Operation>Response element in the namespace the
 *    SOAP action names: the HTTP status, "<status line>: the reply is not XML"
 *    or "…: the reply holds no <Operation>Response" (HttpStatus);
 *  - a read whose result is neither empty nor a DataSet (plain text, another
 *    element tree, a document type or entity declaration): "<status line>: the
 *    reply holds no DataSet" (HttpStatus);
 *  - a call the clerk cancelled: number 18 (RunTime), "The clerk cancelled the
 *    call of <Operation> before the service answered", within a save or a
 *    removal followed by the writes the service had already confirmed; that
 *    action then sends no further write;
 *  - a call while another is in flight: number 10 (RunTime), nothing is sent.
 * Text from the network is cut to 2,000 characters, the cut marked "…". The empty text is the result.
 * lastCallSucceeded() tells the senders whether their write was accepted.
 */
class SoapCall
{
public:
    explicit SoapCall(ErrorSink& sink);
    virtual ~SoapCall() = default;

    SoapCall(const SoapCall&) = delete;
    SoapCall& operator=(const SoapCall&) = delete;

    /// Virtual so that a test can watch the envelopes the control hands over.
    virtual Task<QString> ReturnWebserviceXML(QString AsmxUrl, QString Host, QString SOAPAction, QString SOAPEnvelope,
                                              bool UpdateAddDeleteOnly = false);

    /**
     * A read call of @p operation whose result is its DataSet text in UTF-8: the
     * same call and reports as ReturnWebserviceXML followed by the
     * operation's unwrapper, the same bytes, without a UTF-16 copy of a large reply.
     * With @p rows, the rows may be read where the text stands escaped in the reply,
     * without the text: the result is then empty and the rows are all there is.
     */
    Task<QByteArray> readDataSet(Unwrap::Operation operation, QString AsmxUrl, QString SOAPAction,
                                 QString SOAPEnvelope, std::shared_ptr<DataSetWalk::Document>* rows = nullptr);

    /// True when the last call got a reply that the service accepted (a write) or that was read (a read).
    bool lastCallSucceeded() const { return m_lastCallSucceeded; }

    /// Time-outs, size limit, certificate authorities and proxy for the following calls.
    void setLimits(const HttpLimits& limits) { m_call.setLimits(limits); }
    const HttpLimits& limits() const { return m_call.limits(); }

    /// Where transfers run (see ServiceCall::setRunner).
    void setRunner(TransferRunner* runner) { m_call.setRunner(runner); }
    /// Where long work on a reply runs; null: on the calling thread.
    AsideRunner* asideRunner() const { return m_call.runner(); }

    /// A clerk's action that may write: see ServiceCall::beginAction.
    void beginAction() { m_call.beginAction(); }
    void endAction() { m_call.endAction(); }

private:
    /// The call through the transport; also records whether it succeeded.
    Task<std::unique_ptr<ServiceReply>> call(QString AsmxUrl, QString SOAPAction, QString SOAPEnvelope,
                                             bool UpdateAddDeleteOnly, ServiceCall::ReplyStep then = {},
                                             bool setTextAside = false);

    ErrorSink& m_sink;
    ServiceCall m_call;
    bool m_lastCallSucceeded = false;
};

} // namespace palletry
