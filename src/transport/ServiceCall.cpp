#include "transport/ServiceCall.h"

#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "core/XmlText.h"
#include "transport/ReplyChecks.h"
#include "transport/ServiceAddress.h"
#include "transport/TransferRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <optional>

// One line per call, off unless a host enables "palletry.service.debug": sizes, status and time, never a body.
Q_LOGGING_CATEGORY(lcService, "palletry.service", QtInfoMsg)

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

[[noreturn]] void failTransfer(const HttpExchange& http)
{
    throw RuntimeError(
        ErrorRecord{http.curlCode(), ReplyChecks::networkText(ServiceAddress::quotedForReport(http.curlError())),
                    QStringLiteral("libcurl"),
                    ErrorKind::Transfer});
}

[[noreturn]] void failReply(const ServiceReply& reply, const QString& address, const QString& description,
                            ErrorKind kind = ErrorKind::HttpStatus)
{
    // The address was let through by ServiceAddress::refusal(): it holds nothing to hide.
    throw RuntimeError(ErrorRecord{reply.statusCode, ReplyChecks::networkText(description), address, kind});
}

/// A reply at least this large is parsed and read on a worker thread: it would hold the screen up for more than a frame.
constexpr std::size_t AsideBytes = 256 * 1024;

// The body is the envelope as the serialiser writes it: whitespace between
// elements gone, nothing at all when it is not well-formed.
// The operation a SOAP action names: its last part.
QString operationOf(const QString& soapAction)
{
    return soapAction.mid(soapAction.lastIndexOf(QLatin1Char('/')) + 1);
}

std::string requestBody(const QString& envelope)
{
    pugi::xml_document request;
    XmlText::load(request, envelope);
    return XmlText::serialiseUtf8(request, static_cast<std::size_t>(envelope.size()));
}

} // namespace

ServiceCall::ServiceCall(ErrorSink& sink)
    : m_sink(sink)
{
}

namespace {

/// Waits for a transfer the runner runs on the event loop. Holds pointers only: it is a temporary.
struct RunTransfer
{
    TransferRunner* runner;
    TransferRunner::Transfer* transfer;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting) { runner->run(std::move(*transfer), waiting); }
    void await_resume() const noexcept {}
};

} // namespace

Task<std::unique_ptr<ServiceReply>> ServiceCall::call(QString AsmxUrl, QString SOAPAction, QString SOAPEnvelope,
                                                      bool UpdateAddDeleteOnly, ReplyStep then, bool setTextAside)
{
    // The clerk stopped this action: its remaining writes are not made (already reported).
    if (UpdateAddDeleteOnly && m_cancelledInAction)
        co_return nullptr;
    const char* const label = "ReturnWebserviceXML";
    const QString operation = operationOf(SOAPAction);
    HttpExchange http(m_limits);
    TransferRunner::Transfer transfer{operation, &http, AsmxUrl.toUtf8(), SOAPAction.toUtf8(), {}};
    std::size_t sentBytes = 0;
    const bool ready = trap(m_sink, label, [&] {
        if (const std::optional<ErrorRecord> refused = ServiceAddress::refusal(AsmxUrl))
            throw RuntimeError(*refused);
        transfer.body = requestBody(SOAPEnvelope);
        sentBytes = transfer.body.size();
    });
    if (!ready)
        co_return nullptr;
    QElapsedTimer took;
    took.start();
    if (m_runner) {
        co_await RunTransfer{m_runner, &transfer};
    } else {
        BusyCursor busy;
        http.post(transfer.url, transfer.soapAction, std::move(transfer.body));
    }
    const bool transferred = trap(m_sink, label, [&] {
        qCDebug(lcService).noquote() << QStringLiteral("%1: %2 bytes sent, %3 bytes received, HTTP %4, libcurl %5, %6 ms")
                                            .arg(operation)
                                            .arg(sentBytes)
                                            .arg(http.replyBytes())
                                            .arg(http.statusCode())
                                            .arg(http.curlCode())
                                            .arg(took.elapsed());
        if (http.cancelled()) {
            m_cancelledInAction = m_inAction;
            throw RuntimeError(RuntimeErrorCode::UserInterrupt, cancelDescription(operation, UpdateAddDeleteOnly));
        }
        if (http.curlCode() != 0)
            failTransfer(http);
        if (!http.complete())
            throw RuntimeError(
                ErrorRecord{0, QStringLiteral("ReturnWebservice Method could not load XML data"), QString(),
                            ErrorKind::Transfer});
    });
    if (!transferred)
        co_return nullptr;
    // Parsed, checked and read by the caller's step in one go; a large reply on a
    // worker thread, holding all it uses, so that a dropped action leaves it nothing to touch.
    auto received = std::make_shared<std::unique_ptr<ServiceReply>>(parsed(http));
    const bool large = static_cast<std::size_t>((*received)->bytes.size()) >= AsideBytes;
    Aside reading(large ? m_runner : nullptr, [received, AsmxUrl, SOAPAction, UpdateAddDeleteOnly, then, setTextAside] {
        ServiceReply& reply = **received;
        auto loadWhole = [&reply] {
            reply.aside = XmlText::SetAside();
            reply.document.reset();
            if (!reply.bytes.isEmpty())
                XmlText::loadEncodedInPlace(reply.document, reply.bytes.data(), static_cast<std::size_t>(reply.bytes.size()));
        };
        // A step reads a read's long text itself: the parser need not walk it first.
        if (then && setTextAside && !reply.bytes.isEmpty())
            XmlText::loadSettingTextAside(reply.document, reply.bytes, reply.aside);
        else
            loadWhole();
        try {
            check(reply, AsmxUrl, SOAPAction, UpdateAddDeleteOnly);
        } catch (...) {
            if (!reply.aside)
                throw;
            // A reply that fails a check is told from the whole of it: the text may be a fault's.
            loadWhole();
            check(reply, AsmxUrl, SOAPAction, UpdateAddDeleteOnly);
        }
        if (!then)
            return;
        then(reply);
        if (reply.aside.refused) {
            // The step could not read the text where it stands: the reply is read again, whole.
            loadWhole();
            check(reply, AsmxUrl, SOAPAction, UpdateAddDeleteOnly);
            then(reply);
        }
    });
    std::exception_ptr readingFailure;
    try {
        co_await reading;
    } catch (...) {
        readingFailure = std::current_exception();
    }
    std::unique_ptr<ServiceReply> reply;
    trap(m_sink, label, [&] {
        // Awaited outside the trap's lambda; a failure in it is rethrown here.
        if (readingFailure)
            std::rethrow_exception(readingFailure);
        if (UpdateAddDeleteOnly && m_inAction)
            m_confirmedWrites << operation;
        reply = std::move(*received);
    });
    co_return reply;
}

void ServiceCall::beginAction()
{
    m_inAction = true;
    m_cancelledInAction = false;
    m_confirmedWrites.clear();
}

void ServiceCall::endAction()
{
    m_inAction = false;
    m_cancelledInAction = false;
    m_confirmedWrites.clear();
}

QString ServiceCall::cancelDescription(const QString& operation, bool write) const
{
    QString text = QStringLiteral("The clerk cancelled the call of %1 before the service answered").arg(operation);
    if (write)
        text += QStringLiteral("; whether the service carried it out is not known");
    if (m_inAction)
        text += m_confirmedWrites.isEmpty()
                    ? QStringLiteral("; the service had confirmed no write before it")
                    : QStringLiteral("; the service had already confirmed %1").arg(m_confirmedWrites.join(QStringLiteral(", ")));
    return text;
}

std::unique_ptr<ServiceReply> ServiceCall::parsed(HttpExchange& http)
{
    // call() parses the bytes where they were received: a large reply is not copied
    // again. It is not loaded a second time from its own serialisation either, which
    // would give the same nodes but turn a carriage return sent as a character
    // reference into a line feed; the value is kept as sent.
    auto reply = std::make_unique<ServiceReply>();
    reply->bytes = http.takeReplyBody();
    reply->statusCode = http.statusCode();
    reply->statusLine = http.statusLine();
    return reply;
}

void ServiceCall::check(const ServiceReply& reply, const QString& AsmxUrl, const QString& SOAPAction,
                        bool UpdateAddDeleteOnly)
{
    // A reply that is not well-formed XML was left with no nodes.
    const bool isXml = reply.document.document_element();
    const std::optional<QString> fault = isXml ? ReplyChecks::soapFault(reply.document) : std::nullopt;
    if (fault)
        failReply(reply, AsmxUrl, fault->isEmpty() ? reply.statusLine : *fault, ErrorKind::SoapFault);
    if (reply.statusCode < 200 || reply.statusCode > 299)
        failReply(reply, AsmxUrl, reply.statusLine);

    if (!isXml && !UpdateAddDeleteOnly)
        failReply(reply, AsmxUrl, reply.statusLine + QStringLiteral(": the reply is not XML"));
    // Only the operation's response is the service's answer: a 2xx login page from a
    // proxy, an empty body or another operation's response is no write confirmed and
    // no result to read.
    if (!isXml || !ReplyChecks::holdsResponse(reply.document, SOAPAction))
        failReply(reply, AsmxUrl,
                  reply.statusLine + QStringLiteral(": the reply holds no ") + ReplyChecks::responseName(SOAPAction));
}

} // namespace palletry
