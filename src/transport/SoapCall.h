#pragma once

#include "transport/HttpExchange.h"

#include <QString>

#include <string>

namespace palletry {

struct ControlState;
class ErrorSink;

/**
 * ReturnWebserviceXML: one call of the web service. Posts the envelope,
 * blocks until the reply is in, and returns the reply with its SOAP envelope
 * removed (the caller removes the operation's own wrappers).
 *
 * Works on the control's fields: HttpRequest holds the call's HttpExchange,
 * and is released after a successful read call (it stays after a write call
 * or a failure); ReplyDocument is a fresh empty document at the start of every
 * call and holds the reply after a successful read call.
 *
 * Failures are reported once through the error sink under
 * "ReturnWebserviceXML" and give the empty text:
 *  - the server cannot be reached, a time-out, a reply over the size limit
 *    (libcurl's error number and text, source "libcurl");
 *  - a read reply with a status outside 2xx, a body that is not XML, or a
 *    SOAP fault (the HTTP status as number, the fault string or status line as
 *    description, the address as source);
 *  - a write call whose reply has a status outside 2xx, is a SOAP fault, or is
 *    anything but a SOAP envelope whose body holds the operation's response
 *    element ("<operation>Response" in the namespace the SOAP action names);
 *  - an address that ServiceAddress refuses (nothing is sent).
 * Text from the network is cut to ReplyChecks::MaxNetworkText characters first.
 * lastCallSucceeded() tells the senders whether their write was accepted.
 */
class SoapCall
{
public:
    SoapCall(ControlState& state, ErrorSink& sink);
    virtual ~SoapCall() = default;

    SoapCall(const SoapCall&) = delete;
    SoapCall& operator=(const SoapCall&) = delete;

    /// Virtual so that a test can watch the envelopes the control hands over.
    virtual QString ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                const QString& SOAPEnvelope, bool UpdateAddDeleteOnly = false);

    /**
     * A read call whose result stays UTF-8 (std::string): the same call, reports
     * and field effects as ReturnWebserviceXML, without turning a large reply into
     * UTF-16 before the caller has unwrapped it.
     */
    std::string readUtf8(const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope);

    /// True when the last call got a reply that the service accepted (a write) or that was read (a read).
    bool lastCallSucceeded() const { return m_lastCallSucceeded; }

    /// Time-outs and size limit for the following calls.
    void setLimits(const HttpLimits& limits) { m_limits = limits; }
    const HttpLimits& limits() const { return m_limits; }

private:
    /// One call; a read call's text (envelope removed) goes to @p result.
    void perform(const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope,
                 bool UpdateAddDeleteOnly, std::string& result);

    ControlState& m_state;
    ErrorSink& m_sink;
    HttpLimits m_limits;
    bool m_lastCallSucceeded = false;
};

} // namespace palletry
