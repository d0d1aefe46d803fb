#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace palletry_service {

/// What one connection may cost the service.
struct HttpLimits {
    /// Time to receive a whole request, from the moment the connection is accepted.
    std::chrono::milliseconds requestTime{10000};
    /// Time a connection may go without any progress once its request is in (a reply the
    /// client does not read).
    std::chrono::seconds idleTime{30};
    /// Largest request body; a larger announced one is refused with 413 unread.
    std::size_t maxBodyBytes = std::size_t(4) << 20;
    /// Memory for one connection's request line, headers and read buffer.
    std::size_t connectionMemory = std::size_t(128) << 10;
    /// Threads that read requests and run the handler, each for many connections.
    unsigned threads = 32;
    /// Connections open at once; beyond them a new one is answered 503 at once.
    unsigned maxConnections = 768;
};

/// A request whose body has arrived whole.
struct HttpRequest {
    std::uint16_t port = 0;            ///< the server's, on 127.0.0.1
    std::string method;
    std::string path;                  ///< without the query
    std::vector<std::string> argumentNames; ///< of the query, in order
    std::string soapAction;            ///< the SOAPAction header as sent
    std::string body;
    /// Why the body was dropped as it arrived (more elements or depth than any request
    /// needs); the body is empty then.
    std::string bodyRefusal;
};

struct HttpReply {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

/**
 * The service's HTTP server, on libmicrohttpd: one epoll loop per thread of a pool reads
 * every connection's request as it arrives, so a slow client holds no thread, and the
 * handler runs once a request is in whole. One request per connection.
 *
 * libmicrohttpd bounds connections by inactivity; a client that keeps sending a byte now and
 * then would never reach that bound. So each connection also has requestTime from its
 * acceptance to send its whole request, watched by one thread here; one that does not make
 * it is answered 408 and cut off, any number of them, while the others are served. A request
 * the library gives up while it arrives (the client half-closed before sending all it
 * announced) is answered 400 rather than closed in silence.
 *
 * Before a body is read: no length announced 411, a chunked body 411, two different
 * Content-Length headers 400, over maxBodyBytes 413, compressed 415. As a body arrives its
 * XML is counted (XmlShapeLimit); once beyond the limits the rest is dropped unkept and the
 * handler learns why.
 */
class HttpServer {
public:
    using Handler = std::function<HttpReply(HttpRequest&)>;

    HttpServer(HttpLimits limits, Handler handler);
    ~HttpServer();

    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Listens on 127.0.0.1:port (0 picks a free port); false when it cannot.
    bool start(std::uint16_t port);
    /// Closes every connection and waits for the threads. Safe to call more than once.
    void stop();
    /// The port listened on; 0 while stopped.
    std::uint16_t port() const;

    struct Private;

private:
    std::unique_ptr<Private> d;
};

} // namespace palletry_service
