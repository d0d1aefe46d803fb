#pragma once

#include "transport/HttpExchange.h"

#include <QString>

#include <cstddef>

namespace palletry {

struct ControlState;
class ErrorSink;

/**
 * One call of the web service, as ReturnWebserviceXML makes it: posts the
 * envelope and blocks until the reply is in. A read reply is handed up parsed,
 * as ReplyDocument; turning it into text is the SOAP layer's part (SoapCall).
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
class ServiceCall
{
public:
    ServiceCall(ControlState& state, ErrorSink& sink);

    ServiceCall(const ServiceCall&) = delete;
    ServiceCall& operator=(const ServiceCall&) = delete;

    /**
     * One call. Returns true when a read reply was read (it is then in
     * ReplyDocument, parsed in place from the bytes received, which live as
     * long as it) or a write was accepted; failures have been reported.
     */
    bool call(const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope,
              bool UpdateAddDeleteOnly);

    /// The size in bytes of the last read reply: room to reserve for its text.
    std::size_t lastReplySize() const { return m_lastReplySize; }

    /// True when the last call got a reply that the service accepted (a write) or that was read (a read).
    bool lastCallSucceeded() const { return m_lastCallSucceeded; }

    /// Time-outs and size limit for the following calls.
    void setLimits(const HttpLimits& limits) { m_limits = limits; }
    const HttpLimits& limits() const { return m_limits; }

private:
    ControlState& m_state;
    ErrorSink& m_sink;
    HttpLimits m_limits;
    bool m_lastCallSucceeded = false;
    std::size_t m_lastReplySize = 0;
};

} // namespace palletry
