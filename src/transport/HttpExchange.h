#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <string>

struct curl_slist;

namespace palletry {

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
 * post() may run on a worker thread; cancel() may be called from another thread
 * while it runs.
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
     * Asks a running (or the next) transfer to end as soon as libcurl next asks
     * whether to go on; it then fails with CURLE_ABORTED_BY_CALLBACK.
     */
    void cancel() { m_cancelRequested.store(true); }
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
    std::size_t replyBytes() const { return m_reply.size(); }
    /// Hands the reply body, as received, over (the exchange keeps none).
    std::string takeReplyBody() { return std::move(m_reply); }

private:
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
    std::string m_reply;
    QString m_statusLine;
    QString m_curlError;
    int m_statusCode = 0;
    int m_curlCode = -1;
    bool m_tooLarge = false;
    void* m_curl = nullptr; // the handle while a transfer runs
    std::atomic<bool> m_cancelRequested{false};
};

} // namespace palletry
