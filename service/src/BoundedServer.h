#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>

namespace palletry_service {

/// What one connection may cost the service.
struct ConnectionLimits {
    /// Time to receive a whole request, from the moment a worker takes the connection.
    std::chrono::milliseconds requestTime{10000};
    /// Time to send the reply after that.
    std::chrono::milliseconds replyTime{30000};
    /// Largest request body; a larger announced one is refused with 413 unread.
    std::size_t maxBodyBytes = std::size_t(4) << 20;
    /// Request line and header bytes allowed on top of the body.
    std::size_t maxHeaderBytes = std::size_t(64) << 10;
    /// Connections served at once; more wait for a worker.
    std::size_t workers = 32;
};

/**
 * cpp-httplib's server with every connection bounded: one request per
 * connection, read within ConnectionLimits::requestTime and at most
 * maxHeaderBytes + maxBodyBytes bytes, so a client that sends slowly, or
 * endlessly, holds one worker for a bounded time while the others serve.
 *
 * Request bodies must announce their length (411 otherwise), stay within
 * maxBodyBytes (413, refused before a byte of the body is read) and come
 * uncompressed (415 for any Content-Encoding but identity).
 */
class BoundedServer : public httplib::Server {
public:
    explicit BoundedServer(ConnectionLimits limits = {});

    /// After binding: lets connections queue as deep as the system allows (the library's
    /// backlog of 5 drops a burst of clients into a second's retransmission wait).
    void widenBacklog();

    /// The status a request is refused with before its body is read; 0 when it may be read.
    static int refusalStatus(const httplib::Request& request, std::size_t maxBodyBytes);

private:
    bool process_and_close_socket(socket_t sock) override;

    ConnectionLimits limits_;
};

} // namespace palletry_service
