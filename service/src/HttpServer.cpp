#include "HttpServer.h"

#include "XmlShapeLimit.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <list>
#include <mutex>
#include <thread>

namespace palletry_service {

namespace {

using Clock = std::chrono::steady_clock;

// Requests and replies from this size on give their memory back to the system when done; so do
// requests of this many nodes, whose parse costs some 70 bytes a node in small blocks.
constexpr std::size_t LargeBytes = std::size_t(1) << 20;
constexpr std::size_t ManyNodes = 10000;

void giveMemoryBack()
{
#ifdef __GLIBC__
    // The parse of a large body leaves pages free in its thread's arena; without a trim each of
    // the pool's threads would keep the high-water mark of its largest request.
    malloc_trim(0);
#endif
}

const char* statusText(int status)
{
    switch (status) {
    case 400:
        return "The request's framing is ambiguous, or it ended before its announced length.\n";
    case 408:
        return "The request did not arrive in time.\n";
    case 411:
        return "A request body must announce its length (Content-Length).\n";
    case 413:
        return "The request body is too large.\n";
    case 415:
        return "Compressed request bodies are not accepted.\n";
    case 503:
        return "The service is busy; try again.\n";
    default:
        return "";
    }
}

/// Answers @p fd with @p status and cuts it off, beside libmicrohttpd, which then sees the
/// connection end and closes it. Only for a connection it is not writing to: one whose
/// request is still arriving.
void answerAndCut(int fd, int status, const char* reason)
{
    const std::string text = statusText(status);
    const std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + reason
                              + "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(text.size())
                              + "\r\nConnection: close\r\n\r\n" + text;
    [[maybe_unused]] const ssize_t sent = send(fd, reply.data(), reply.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    shutdown(fd, SHUT_RDWR);
}

bool hasBodyMethod(const char* method)
{
    return std::strcmp(method, MHD_HTTP_METHOD_POST) == 0 || std::strcmp(method, MHD_HTTP_METHOD_PUT) == 0
        || std::strcmp(method, "PATCH") == 0;
}

} // namespace

struct HttpServer::Private {
    /// An accepted connection.
    struct Connection {
        int fd = -1;
        Clock::time_point deadline;
        bool arriving = false; // its request is still to come; in Private::arriving
        bool cut = false;      // answered beside libmicrohttpd; never served
        std::list<Connection*>::iterator place;
    };

    /// The request on a connection, while it is read.
    struct Exchange {
        Connection* connection = nullptr;
        std::string body;
        XmlShapeLimit shape;
        std::string refusal;
        bool large = false;
    };

    Private(HttpLimits l, Handler h) : limits(l), handler(std::move(h)) {}

    // libmicrohttpd's callbacks.
    static void onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                             MHD_ConnectionNotificationCode code);
    static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url, const char* method,
                                const char* version, const char* data, size_t* size, void** requestContext);
    static void onCompleted(void* cls, MHD_Connection* connection, void** requestContext,
                            MHD_RequestTerminationCode code);

    int framingRefusal(MHD_Connection* connection, const char* method) const;
    bool takeForServing(Connection* connection);
    MHD_Result queue(MHD_Connection* connection, Exchange& exchange, HttpReply reply);
    void watchArrivals();

    const HttpLimits limits;
    const Handler handler;
    MHD_Daemon* daemon = nullptr;
    std::atomic<std::uint16_t> port{0}; // read by the pool's threads

    std::mutex mutex;
    std::condition_variable changed;
    std::list<Connection*> arriving; // accepted in this order, so the front's deadline comes first
    std::size_t open = 0;
    bool stopping = false;
    std::thread watch;
};

void HttpServer::Private::onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                                       MHD_ConnectionNotificationCode code)
{
    auto* d = static_cast<Private*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        auto* accepted = new Connection;
        accepted->fd = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
        accepted->deadline = Clock::now() + d->limits.requestTime;
        *socketContext = accepted;
        std::lock_guard<std::mutex> lock(d->mutex);
        if (++d->open > d->limits.maxConnections) {
            accepted->cut = true;
            answerAndCut(accepted->fd, 503, "Service Unavailable");
            return;
        }
        accepted->arriving = true;
        accepted->place = d->arriving.insert(d->arriving.end(), accepted);
        if (d->arriving.size() == 1)
            d->changed.notify_one();
        return;
    }
    auto* closed = static_cast<Connection*>(*socketContext);
    if (!closed)
        return;
    {
        // Called before libmicrohttpd closes the socket: the watch never touches a reused one.
        std::lock_guard<std::mutex> lock(d->mutex);
        --d->open;
        if (closed->arriving)
            d->arriving.erase(closed->place);
    }
    delete closed;
    *socketContext = nullptr;
}

void HttpServer::Private::watchArrivals()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (arriving.empty()) {
            changed.wait(lock);
            continue;
        }
        Connection* oldest = arriving.front();
        // A copy: the connection may close and be gone while this waits.
        const Clock::time_point deadline = oldest->deadline;
        if (Clock::now() < deadline) {
            changed.wait_until(lock, deadline);
            continue;
        }
        arriving.pop_front();
        oldest->arriving = false;
        oldest->cut = true;
        answerAndCut(oldest->fd, 408, "Request Timeout");
    }
}

bool HttpServer::Private::takeForServing(Connection* connection)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (connection->cut)
        return false;
    if (connection->arriving) {
        arriving.erase(connection->place);
        connection->arriving = false;
    }
    return true;
}

int HttpServer::Private::framingRefusal(MHD_Connection* connection, const char* method) const
{
    struct Lengths {
        const char* first = nullptr;
        bool differ = false;
    } lengths;
    MHD_get_connection_values(
        connection, MHD_HEADER_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char* value) {
            auto* found = static_cast<Lengths*>(cls);
            if (strcasecmp(key, MHD_HTTP_HEADER_CONTENT_LENGTH) == 0) {
                if (found->first && std::strcmp(found->first, value) != 0)
                    found->differ = true;
                if (!found->first)
                    found->first = value;
            }
            return MHD_YES;
        },
        &lengths);
    // Without a length the body would be read until the client stops sending.
    if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING))
        return 411;
    // Which of two lengths frames the body is not ours to guess (RFC 9112 section 6.3).
    if (lengths.differ)
        return 400;
    if (!lengths.first)
        return hasBodyMethod(method) ? 411 : 0;
    // libmicrohttpd has read the length already and refused one it could not.
    if (std::strtoull(lengths.first, nullptr, 10) > limits.maxBodyBytes)
        return 413;
    const char* encoding = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_ENCODING);
    if (encoding && strcasecmp(encoding, "identity") != 0)
        return 415;
    return 0;
}

MHD_Result HttpServer::Private::queue(MHD_Connection* connection, Exchange& exchange, HttpReply reply)
{
    if (!takeForServing(exchange.connection))
        return MHD_NO;
    auto* text = new std::string(std::move(reply.body));
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        text->size(), text->data(),
        [](void* cls) {
            auto* sent = static_cast<std::string*>(cls);
            const bool large = sent->capacity() >= LargeBytes;
            delete sent;
            if (large)
                giveMemoryBack();
        },
        text);
    if (!response) {
        delete text;
        return MHD_NO;
    }
    if (!reply.contentType.empty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    for (const auto& [name, value] : reply.headers)
        MHD_add_response_header(response, name.c_str(), value.c_str());
    // One request per connection: its time to arrive counts from the connection's start.
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    return queued;
}

MHD_Result HttpServer::Private::onRequest(void* cls, MHD_Connection* connection, const char* url,
                                          const char* method, const char*, const char* data, size_t* size,
                                          void** requestContext)
{
    auto* d = static_cast<Private*>(cls);
    auto* exchange = static_cast<Exchange*>(*requestContext);
    if (!exchange) {
        // The head is in; nothing of the body has been read yet.
        exchange = new Exchange;
        *requestContext = exchange;
        exchange->connection = static_cast<Connection*>(
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT)->socket_context);
        if (const int status = d->framingRefusal(connection, method))
            return d->queue(connection, *exchange, {status, "text/plain", statusText(status), {}});
        if (const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH))
            // Up to a quarter of the largest body at once: a connection that announces much and
            // sends little does not hold address space for all of it.
            exchange->body.reserve(std::min<unsigned long long>(std::strtoull(length, nullptr, 10),
                                                                d->limits.maxBodyBytes / 4));
        return MHD_YES;
    }
    if (*size > 0) {
        if (exchange->refusal.empty()) {
            if (exchange->shape.feed({data, *size})) {
                exchange->body.append(data, *size);
            } else {
                exchange->refusal = exchange->shape.reason();
                exchange->large = exchange->body.capacity() >= LargeBytes;
                std::string().swap(exchange->body);
            }
        }
        *size = 0;
        return MHD_YES;
    }

    // The request is in: from here the connection is served, and the watch leaves it alone; one
    // the watch has answered already is not served, so a write the client was told timed out is not made.
    if (!d->takeForServing(exchange->connection))
        return MHD_NO;
    HttpRequest request;
    request.port = d->port;
    request.method = method;
    request.path = url;
    MHD_get_connection_values(
        connection, MHD_GET_ARGUMENT_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char*) {
            static_cast<std::vector<std::string>*>(cls)->emplace_back(key);
            return MHD_YES;
        },
        &request.argumentNames);
    if (const char* action = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "SOAPAction"))
        request.soapAction = action;
    exchange->large = exchange->large || exchange->body.capacity() >= LargeBytes
        || exchange->shape.nodes() >= ManyNodes;
    request.body = std::move(exchange->body);
    request.bodyRefusal = exchange->refusal;
    HttpReply reply;
    try {
        reply = d->handler(request);
    } catch (const std::exception&) {
        // Nothing may leave a callback of the library; out of memory, most likely.
        reply = {500, "text/plain", "The service could not process the request.\n", {}};
    }
    request = HttpRequest();
    if (exchange->large)
        giveMemoryBack();
    return d->queue(connection, *exchange, std::move(reply));
}

void HttpServer::Private::onCompleted(void* cls, MHD_Connection*, void** requestContext,
                                      MHD_RequestTerminationCode code)
{
    auto* exchange = static_cast<Exchange*>(*requestContext);
    // A request the library gives up while it is still arriving: most often the client has
    // half-closed before sending all it announced. Told why, not left in silence.
    if (exchange && code != MHD_REQUEST_TERMINATED_COMPLETED_OK && code != MHD_REQUEST_TERMINATED_DAEMON_SHUTDOWN) {
        auto* d = static_cast<Private*>(cls);
        std::lock_guard<std::mutex> lock(d->mutex);
        Connection* connection = exchange->connection;
        if (connection->arriving) {
            d->arriving.erase(connection->place);
            connection->arriving = false;
            connection->cut = true;
            if (code == MHD_REQUEST_TERMINATED_TIMEOUT_REACHED)
                answerAndCut(connection->fd, 408, "Request Timeout");
            else
                answerAndCut(connection->fd, 400, "Bad Request");
        }
    }
    const bool large = exchange && exchange->body.capacity() >= LargeBytes;
    delete exchange;
    *requestContext = nullptr;
    if (large)
        giveMemoryBack();
}

HttpServer::HttpServer(HttpLimits limits, Handler handler) : d(std::make_unique<Private>(limits, std::move(handler)))
{
#ifdef __GLIBC__
    // Request bodies and replies of megabytes are allocated on the pool's threads. Left to
    // itself, glibc raises its mmap threshold past them once one is freed and from then on
    // keeps such blocks in each thread's arena. Fixed, blocks from 1 MiB go back when freed.
    static std::once_flag fixed;
    std::call_once(fixed, [] { mallopt(M_MMAP_THRESHOLD, 1 << 20); });
#endif
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::start(std::uint16_t port)
{
    if (d->daemon)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto idle = std::max<long long>(
        d->limits.idleTime.count(),
        std::chrono::duration_cast<std::chrono::seconds>(d->limits.requestTime).count() + 1);
    d->stopping = false;
    d->daemon = MHD_start_daemon(
        // Turbo: among other things the library does not shut a connection's sending side
        // before telling onCompleted it gives the request up, so that the client can be answered.
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC | MHD_USE_TURBO, port, nullptr, nullptr, &Private::onRequest, d.get(),
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&address),
        MHD_OPTION_THREAD_POOL_SIZE, d->limits.threads,
        MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(idle),
        // The hard limit; from maxConnections on, new ones are answered 503 and closed.
        MHD_OPTION_CONNECTION_LIMIT, d->limits.maxConnections + d->limits.threads * 4,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, d->limits.connectionMemory,
        MHD_OPTION_LISTEN_BACKLOG_SIZE, static_cast<unsigned>(SOMAXCONN),
        MHD_OPTION_NOTIFY_CONNECTION, &Private::onConnection, d.get(),
        MHD_OPTION_NOTIFY_COMPLETED, &Private::onCompleted, d.get(),
        MHD_OPTION_END);
    if (!d->daemon)
        return false;
    d->port = MHD_get_daemon_info(d->daemon, MHD_DAEMON_INFO_BIND_PORT)->port;
    d->watch = std::thread([this] { d->watchArrivals(); });
    return true;
}

void HttpServer::stop()
{
    if (!d->daemon)
        return;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->changed.notify_all();
    d->watch.join();
    MHD_stop_daemon(d->daemon);
    d->daemon = nullptr;
    d->port = 0;
}

std::uint16_t HttpServer::port() const
{
    return d->port;
}

} // namespace palletry_service
