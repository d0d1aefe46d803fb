#pragma once

#include "core/DataSetWalk.h"
#include "core/Task.h"
#include "core/XmlText.h"
#include "transport/HttpExchange.h"

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <string>

namespace palletry {

class ErrorSink;
class TransferRunner;

/// A reply parsed in place: the nodes' text lives in the bytes as received, which live as long as they do.
struct ServiceReply
{
    QByteArray bytes; ///< a read's result may be cut out of them where it lies

    pugi::xml_document document;
    XmlText::SetAside aside; ///< the long text a step is handed in the bytes (see ServiceCall::call())
    QByteArray result; ///< what the caller's step made of it (a read's DataSet text)
    std::shared_ptr<DataSetWalk::Document> rows; ///< and the result's rows, when the step read them
    int statusCode = 0;
    QString statusLine; ///< for a report on what the reply holds
};

/**
 * One call of the web service, as ReturnWebserviceXML makes it: posts the
 * envelope and returns once the reply is in. The reply is handed up parsed;
 * turning it into text is the SOAP layer's part (SoapCall).
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
 *  - a call the clerk cancelled: number 18 (RunTime), "The clerk cancelled the
 *    call of <Operation> before the service answered", within a save or a
 *    removal followed by the writes the service had already confirmed; that
 *    action then sends no further write;
 *  - a call while another is in flight: number 10 (RunTime), nothing is sent.
 * Text from the network is cut to 2,000 characters, the cut marked "…".
 *
 * The transfer runs where the TransferRunner, when one is set, runs it (the
 * call then waits on the event loop); without one it runs where the call is made.
 */
class ServiceCall
{
public:
    explicit ServiceCall(ErrorSink& sink);

    ServiceCall(const ServiceCall&) = delete;
    ServiceCall& operator=(const ServiceCall&) = delete;

    /// What the caller makes of a reply that passed the checks, as part of reading it (see call()).
    using ReplyStep = std::function<void(ServiceReply& reply)>;

    /**
     * One call. Returns the reply when a read reply was read or a write was
     * accepted, parsed in place from the bytes received; null after a failure,
     * which has been reported. @p then runs on the checked reply right after the
     * checks, where they run: for a large reply on a worker thread (the runner's),
     * so it must hold everything it uses and touch no widget. Its failure is
     * reported as the call's. With @p setTextAside, the long text that makes the bulk
     * of a read's reply may be set aside (XmlText::loadSettingTextAside): the step
     * reads it from the reply's bytes, where its aside notes it, or leaves them as they
     * are and sets the aside refused, and is then run again on the reply loaded whole.
     */
    Task<std::unique_ptr<ServiceReply>> call(QString AsmxUrl, QString SOAPAction, QString SOAPEnvelope,
                                             bool UpdateAddDeleteOnly, ReplyStep then = {}, bool setTextAside = false);

    /// Where transfers and the reading of large replies run; null: on the calling thread.
    TransferRunner* runner() const { return m_runner; }

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
    static std::unique_ptr<ServiceReply> parsed(HttpExchange& http);
    static void check(const ServiceReply& reply, const QString& AsmxUrl, const QString& SOAPAction,
                      bool UpdateAddDeleteOnly);

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
