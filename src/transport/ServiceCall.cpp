#include "transport/ServiceCall.h"

#include "core/ControlState.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "core/XmlText.h"
#include "transport/ReplyChecks.h"
#include "transport/ServiceAddress.h"

#include <QApplication>

#include <pugixml.hpp>

#include <optional>

namespace palletry {
namespace {

/// The wait cursor while the thread blocks on the network; gone before any report is shown.
class BusyCursor
{
public:
    BusyCursor()
        : m_active(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (m_active)
            QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_active;
};

// A reply parsed in place: the document's text lives in the bytes as received.
struct ParsedReply
{
    std::string bytes;
    pugi::xml_document document;
};

[[noreturn]] void failTransfer(const HttpExchange& http)
{
    throw RuntimeError(
        ErrorRecord{http.curlCode(), ReplyChecks::networkText(http.curlError()), QStringLiteral("libcurl")});
}

[[noreturn]] void failReply(const HttpExchange& http, const QString& address, const QString& description)
{
    throw RuntimeError(ErrorRecord{http.statusCode(), ReplyChecks::networkText(description), address});
}

} // namespace

ServiceCall::ServiceCall(ControlState& state, ErrorSink& sink)
    : m_state(state)
    , m_sink(sink)
{
}

bool ServiceCall::call(const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope,
                       bool UpdateAddDeleteOnly)
{
    m_lastCallSucceeded = false;
    m_lastReplySize = 0;
    trap(m_sink, "ReturnWebserviceXML", [&] {
        m_state.HttpRequest = std::make_shared<HttpExchange>(m_limits);
        m_state.ReplyDocument = std::make_shared<pugi::xml_document>();
        if (const std::optional<ErrorRecord> refused = ServiceAddress::refusal(AsmxUrl))
            throw RuntimeError(*refused);

        // The body is the envelope as the serialiser writes it: whitespace
        // between elements gone, nothing at all when it is not well-formed.
        std::string body;
        {
            pugi::xml_document request;
            XmlText::load(request, SOAPEnvelope);
            body = XmlText::serialiseUtf8(request, static_cast<std::size_t>(SOAPEnvelope.size()));
        }

        HttpExchange& http = *m_state.HttpRequest;
        {
            BusyCursor busy;
            http.post(AsmxUrl.toUtf8(), SOAPAction.toUtf8(), std::move(body));
        }
        if (http.curlCode() != 0)
            failTransfer(http);
        if (!http.complete())
            throw RuntimeError(
                ErrorRecord{0, QStringLiteral("ReturnWebservice Method could not load XML data"), QString()});

        // Parsed where it was received: a large reply is not copied again.
        auto reply = std::make_shared<ParsedReply>();
        reply->bytes = http.takeReplyBody();
        const std::size_t replySize = reply->bytes.size();
        const bool isXml = replySize != 0 && XmlText::loadEncodedInPlace(reply->document, reply->bytes.data(), replySize);
        const std::optional<QString> fault = isXml ? ReplyChecks::soapFault(reply->document) : std::nullopt;
        if (fault)
            failReply(http, AsmxUrl, fault->isEmpty() ? http.statusLine() : *fault);
        if (!http.statusIsSuccess())
            failReply(http, AsmxUrl, http.statusLine());

        if (UpdateAddDeleteOnly) {
            // A write counts only when the service confirms it: a 2xx page from a proxy
            // or an empty body is no answer of the service. HttpRequest keeps the exchange.
            if (!isXml || !ReplyChecks::confirmsWrite(reply->document, SOAPAction))
                failReply(http, AsmxUrl,
                          http.statusLine() + QStringLiteral(": the reply holds no ")
                              + ReplyChecks::writeResponseName(SOAPAction));
            m_lastCallSucceeded = true;
            return;
        }
        if (!isXml)
            failReply(http, AsmxUrl, http.statusLine() + QStringLiteral(": the reply is not XML"));

        // The parsed reply becomes ReplyDocument directly: loading it again from
        // its own serialisation gives the same nodes, so the round trip is skipped.
        // (It differs only where the service sent a carriage return as a character
        // reference, which a reload would turn into a line feed; the value is kept as sent.)
        m_state.ReplyDocument = std::shared_ptr<pugi::xml_document>(reply, &reply->document);
        m_state.HttpRequest.reset();
        m_lastReplySize = replySize;
        m_lastCallSucceeded = true;
    });
    return m_lastCallSucceeded;
}

} // namespace palletry
