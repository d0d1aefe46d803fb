#pragma once

#include "transport/HttpExchange.h"

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <memory>
#include <string>

namespace palletry {

class ErrorSink;
class TransferRunner;

/// A reply parsed in place: the nodes' text lives in the bytes as received, which live as long as they do.
struct ServiceReply
{
    std::string bytes;
    pugi::xml_document document;
};

/**
 * One call of the web service, as ReturnWebserviceXML makes it: posts the
 * envelope and returns once the reply is in. The reply is handed up parsed;
 * turning it into text is the SOAP layer's part (SoapCall).
 *
 * Failures are reported once through the error sink under
 * "ReturnWebserviceXML" and give no reply:
 *  - the server cannot be reached, a time-out, a reply over the size limit
 *    (libcurl's error number and text, source "libcurl");
 *  - a reply with a status outside 2xx, a read reply that is not XML, or a
 *    SOAP fault (the HTTP status as number, the fault string or status line as
 *    description, the address as source);
 *  - a reply, read or write alike, that is anything but a SOAP envelope whose
 *    body starts with the operation's response element ("<operation>Response"
 *    in the namespace the SOAP action names);
 *  - an address that ServiceAddress refuses (nothing is sent);
 *  - a call the clerk cancelled while it was in flight (number 18, the
 *    control's own; the description names the operation and, within an
 *    action, the writes the service had already confirmed). Within that
 *    action no further write is sent, and nothing more is reported for it;
 *  - a call while another is in flight (number 10; nothing is sent).
 * Text from the network is cut to ReplyChecks::MaxNetworkText characters first.
 *
 * The transfer runs where the TransferRunner, when one is set, runs it; the
 * call returns only when it is done.
 */
class ServiceCall
{
public:
    explicit ServiceCall(ErrorSink& sink);

    ServiceCall(const ServiceCall&) = delete;
    ServiceCall& operator=(const ServiceCall&) = delete;

    /**
     * One call. Returns the reply when a read reply was read or a write was
     * accepted, parsed in place from the bytes received; null after a failure,
     * which has been reported.
     */
    std::unique_ptr<ServiceReply> call(const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope,
                                       bool UpdateAddDeleteOnly);

    /// Time-outs, size limit, certificate authorities and proxy for the following calls.
    void setLimits(const HttpLimits& limits) { m_limits = limits; }
    const HttpLimits& limits() const { return m_limits; }

    /// Where transfers run from now on; null: on the calling thread.
    void setRunner(TransferRunner* runner) { m_runner = runner; }

    /**
     * A clerk's action that may write begins: the writes the service confirms
     * are counted from here, for the report of a cancel, until endAction().
     */
    void beginAction();
    void endAction();

private:
    void send(HttpExchange& http, const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope);
    static std::unique_ptr<ServiceReply> parsed(HttpExchange& http);
    static void check(const HttpExchange& http, const ServiceReply& reply, const QString& AsmxUrl,
                      const QString& SOAPAction, bool UpdateAddDeleteOnly);

    /// The report of a call the clerk cancelled.
    QString cancelDescription(const QString& operation, bool write) const;

    ErrorSink& m_sink;
    HttpLimits m_limits;
    TransferRunner* m_runner = nullptr;
    bool m_inAction = false;
    bool m_cancelledInAction = false;
    QStringList m_confirmedWrites; // within the action, in the order the service confirmed them
};

} // namespace palletry
