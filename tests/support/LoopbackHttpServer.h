#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace palletry::test {

/// One request exactly as it arrived, plus its parts.
struct RecordedRequest
{
    std::string raw;         ///< every byte received: request line, headers, blank line, body
    std::string requestLine; ///< e.g. "POST /x HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers; ///< in the order sent
    std::string body;

    /// Value of the first header named @p name (case-insensitive); empty when absent.
    std::string header(const std::string& name) const;
    QString bodyText() const { return QString::fromUtf8(body.data(), qsizetype(body.size())); }
};

/// What the server answers to one request.
struct CannedReply
{
    int status = 200;
    std::string reason = "OK";
    std::vector<std::pair<std::string, std::string>> headers; ///< added after the status line, in order
    std::string body;
    bool neverAnswer = false;       ///< read the request, then stay silent until the client gives up
    bool omitContentLength = false; ///< body delimited by closing the connection

    static CannedReply xml(std::string body, int status = 200, std::string reason = "OK");
    static CannedReply html(std::string body, int status, std::string reason);
    static CannedReply silent();
};

/**
 * A small HTTP/1.1 server on 127.0.0.1 (ephemeral port) on its own thread. It records
 * every request's raw bytes and answers with the reply set, or whatever a handler returns.
 * One connection at a time.
 */
class LoopbackHttpServer
{
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    quint16 port() const { return m_port; }
    /// "http://127.0.0.1:<port>": what a host gives the control as its server text.
    QString serverName() const;
    /// serverName() + the service path.
    QString url() const;

    void setReply(CannedReply reply);
    /// Answers every request (runs on the server's thread); overrides the canned replies.
    void setHandler(std::function<CannedReply(const RecordedRequest&)> handler);

    std::vector<RecordedRequest> requests() const;
    /// The last request received (an empty record when none came).
    RecordedRequest lastRequest() const;
    void clearRequests();

    /// A loopback port on which nothing listens (connections are refused).
    static quint16 unusedPort();

private:
    void run();
    void serve(int connection);

    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<RecordedRequest> m_requests;
    CannedReply m_default;
    std::function<CannedReply(const RecordedRequest&)> m_handler;
    std::thread m_thread;
};

} // namespace palletry::test
