#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace palletry_service {

/// What one connection may cost the service.
struct ConnectionLimits {
    /// Time to receive a whole request, from the moment the connection is accepted.
    std::chrono::milliseconds requestTime{10000};
    /// Time to send the reply after that.
    std::chrono::milliseconds replyTime{30000};
    /// Largest request body; a larger announced one is refused with 413 unread.
    std::size_t maxBodyBytes = std::size_t(4) << 20;
    /// Request line and header bytes allowed on top of the body.
    std::size_t maxHeaderBytes = std::size_t(64) << 10;
    /// Requests served at once; a quarter of them only ever serves requests already received whole.
    std::size_t workers = 32;
    /// Connections whose request is still arriving; beyond this, the longest waiting is shed.
    std::size_t maxWaiting = 256;
};

/**
 * cpp-httplib's server with every connection bounded: one request per connection, received
 * within ConnectionLimits::requestTime of its acceptance and in at most maxHeaderBytes +
 * maxBodyBytes bytes.
 *
 * A connection gets a worker only once its request has arrived: its head, and its body as
 * well when that is small. Until then one thread watches all such connections, so clients
 * that send slowly hold no worker, and a request that arrives whole is served while any
 * number of them keep trying. Larger bodies are read by the workers, never by all of them.
 * A connection not served within its time is shed with 503.
 *
 * Request bodies must announce their length (411 otherwise), stay within maxBodyBytes (413,
 * refused before a byte of the body is read) and come uncompressed (415 for any
 * Content-Encoding but identity).
 */
class BoundedServer : public httplib::Server {
public:
    explicit BoundedServer(ConnectionLimits limits = {});

    /// After binding: lets connections queue as deep as the system allows (the library's
    /// backlog of 5 drops a burst of clients into a second's retransmission wait).
    void widenBacklog();

    /// The status a request is refused with before its body is read; 0 when it may be read.
    static int refusalStatus(const httplib::Request& request, std::size_t maxBodyBytes);

    /// A connection with what has been read of its request.
    struct Arrival {
        socket_t sock;
        std::chrono::steady_clock::time_point deadline; ///< accepted + requestTime
        std::string received;
    };

private:
    class Admission;

    bool process_and_close_socket(socket_t sock) override;
    void serve(Arrival arrival);

    ConnectionLimits limits_;
    Admission* admission_ = nullptr; // the accept loop's task queue, alive while it runs
};

} // namespace palletry_service
