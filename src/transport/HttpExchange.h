#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <functional>
#include <string>

#include <curl/curl.h>

namespace palletry {

class HttpMulti;

/// The bounds of one service call; a call that meets one of them fails.
struct HttpLimits
{
    /// Time allowed to connect to the server.
    qint64 connectTimeoutMs = 15'000;
    /// Time allowed for the whole call, reply included.
    qint64 totalTimeoutMs = 120'000;
    /// Largest reply body accepted.
    qint64 maxReplyBytes = qint64(64) * 1024 * 1024;
    /// A file of trusted certificate authorities (PEM) instead of the system's; empty: the system's.
    QByteArray caFile;
    /// The proxy for every call (libcurl's syntax); empty: libcurl's proxy environment variables.
    QByteArray proxy;
};

/**
 * One HTTP POST of a SOAP request, made with libcurl's easy interface and
 * blocking until the reply is in (or the call failed). The request carries
 * exactly these headers, in this order: Host (host[:port] of the address, as
 * HTTP clients derive it), Content-Type "text/xml; charset=utf-8",
 * Content-Length, SOAPAction. HTTP/1.1, http and https only, no redirects,
 * TLS certificates verified.
 *
 * Afterwards the object keeps what happened: the curl result, the status code
 * and line, the reply body until it is taken.
 *
 * post() blocks until the reply is in and may run on any thread; begin() starts
 * the transfer on an HttpMulti and returns at once, the end told later on the
 * event loop's thread. cancel() ends a running transfer as cancelled; destroying
 * the exchange ends it without telling anybody.
 */
class HttpExchange
{
public:
    explicit HttpExchange(HttpLimits limits = HttpLimits());
    ~HttpExchange();

    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    /// Sends @p body to @p url; returns true when a complete reply arrived (whatever its status).
    bool post(const QByteArray& url, const QByteArray& soapAction, std::string body);

    /**
     * Starts sending @p body to @p url on @p multi and returns: @p ended is called
     * once the transfer has ended (or was cancelled), on the event loop. False, with
     * the failure recorded as a transfer's and nothing sent, when it cannot start.
     */
    bool begin(HttpMulti& multi, const QByteArray& url, const QByteArray& soapAction, std::string body,
               std::function<void()> ended);

    /**
     * Ends a running transfer as cancelled (CURLE_ABORTED_BY_CALLBACK): one begun
     * on a multi at once, a blocking post() as soon as libcurl next asks whether
     * to go on; a transfer not yet started does not start.
     */
    void cancel();
    bool cancelRequested() const { return m_cancelRequested.load(); }
    /// True when the transfer ended because cancel() was asked for before it completed.
    bool cancelled() const;

    /// The Host header value for @p url: host, plus ":port" unless the port is the scheme's default.
    static QByteArray hostHeaderFor(const QByteArray& url);

    /// libcurl's result code of the transfer (0 when it completed).
    int curlCode() const { return m_curlCode; }
    /// libcurl's description of a failed transfer.
    QString curlError() const { return m_curlError; }
    /// True once a complete reply with a status line is in.
    bool complete() const { return m_curlCode == 0 && m_statusCode != 0; }
    int statusCode() const { return m_statusCode; }
    bool statusIsSuccess() const { return m_statusCode >= 200 && m_statusCode <= 299; }
    /// The reply's status line without its line break, e.g. "HTTP/1.1 500 Internal Server Error".
    QString statusLine() const { return m_statusLine; }
    /// Size of the reply body received (until it is taken).
    std::size_t replyBytes() const { return static_cast<std::size_t>(m_reply.size()); }
    /// Hands the reply body, as received, over (the exchange keeps none).
    QByteArray takeReplyBody() { return std::move(m_reply); }

    /// True while a transfer begun on a multi is under way.
    bool running() const { return m_multi != nullptr; }

    /// libcurl's easy handle of the transfer under way (HttpMulti's side).
    CURL* handle() const { return m_curl; }
    void setMulti(HttpMulti* multi) { m_multi = multi; }
    /// The transfer on the multi ended with libcurl's @p result (HttpMulti's side).
    void transferEnded(int result);

    static void globalInit();

private:
    /// A fresh handle with every option set; false, with the failure recorded, when none can be made.
    bool prepare(const QByteArray& url, const QByteArray& soapAction, std::string body);
    /// Lets go of the handle and its headers (and takes it off its multi).
    void release();
    /// Forgets any earlier exchange; @p body is what the next transfer sends.
    void start(std::string body);
    /// Sets the transfer's options on the curl @p handle: address, body, headers, limits, callbacks.
    void configure(void* handle, const QByteArray& url, curl_slist* headers, char* errorBuffer);
    /// Records the outcome of the transfer: curl's result, the status, the error text.
    void finish(void* handle, int result, const char* errorBuffer);

    static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);

    HttpLimits m_limits;
    std::string m_request; // sent from here: curl reads it during the transfer
    QByteArray m_reply;
    QString m_statusLine;
    QString m_curlError;
    int m_statusCode = 0;
    int m_curlCode = -1;
    bool m_tooLarge = false;
    CURL* m_curl = nullptr; // the handle while a transfer runs
    curl_slist* m_headers = nullptr;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
    QByteArray m_url; // curl reads it during the transfer
    HttpMulti* m_multi = nullptr;
    std::function<void()> m_ended;
    std::atomic<bool> m_cancelRequested{false};
};

} // namespace palletry
