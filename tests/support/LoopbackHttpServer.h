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

struct RecordedRequest
{
    std::string raw; ///< every byte received: request line, headers, blank line, body
    std::string body;
    std::string header(const std::string& name) const; ///< the first header line of that name, trimmed
    QString bodyText() const { return QString::fromUtf8(body.data(), qsizetype(body.size())); }
};

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

// A small HTTP/1.1 server on 127.0.0.1 (ephemeral port) on its own thread, one connection at a
// time: it records every request's raw bytes and answers with the reply set or the handler's.
class LoopbackHttpServer
{
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    quint16 port() const { return m_port; }
    QString serverName() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    QString url() const { return serverName() + QStringLiteral("/WebServices/KLTVWebservice/KLTVWebservice.asmx"); }
    void setReply(CannedReply reply)
    {
        setHandler([reply = std::move(reply)](const RecordedRequest&) { return reply; });
    }
    void setHandler(std::function<CannedReply(const RecordedRequest&)> handler)
    {
        std::lock_guard lock(m_mutex);
        m_handler = std::move(handler);
    }
    std::vector<RecordedRequest> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    RecordedRequest lastRequest() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests.empty() ? RecordedRequest() : m_requests.back();
    }
    void clearRequests()
    {
        std::lock_guard lock(m_mutex);
        m_requests.clear();
    }
    static quint16 unusedPort();

private:
    void run();
    void serve(int connection);
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<RecordedRequest> m_requests;
    std::function<CannedReply(const RecordedRequest&)> m_handler;
    std::thread m_thread;
};

} // namespace palletry::test
