#include "BoundedServer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace palletry_service {

namespace {

using Clock = std::chrono::steady_clock;

bool equalsIgnoringCase(const std::string& a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void addressOf(socket_t sock, bool peer, std::string& ip, int& port)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int got = peer ? getpeername(sock, reinterpret_cast<sockaddr*>(&address), &length)
                         : getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
    if (got != 0)
        return;
    char text[INET6_ADDRSTRLEN] = {0};
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
        port = ntohs(in->sin6_port);
    }
    ip = text;
}

const char* refusalText(int status)
{
    switch (status) {
    case 411:
        return "A request body must announce its length (Content-Length).\n";
    case 413:
        return "The request body is too large.\n";
    case 415:
        return "Compressed request bodies are not accepted.\n";
    default:
        return "Bad request.\n";
    }
}

// Milliseconds left until @p deadline (0 when past it), as poll() takes them.
int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60000));
}

/**
 * Waits for @p events on @p sock until @p deadline. With @p listener, also gives up
 * once the server has closed its listening socket (it is stopping): checked every
 * 100 ms, so an idle client does not hold the shutdown for its whole deadline.
 */
bool waitFor(socket_t sock, short events, Clock::time_point deadline,
             const std::atomic<socket_t>* listener = nullptr)
{
    for (;;) {
        const int left = msLeft(deadline);
        if (left == 0 || (listener && *listener == INVALID_SOCKET))
            return false;
        pollfd fd{sock, events, 0};
        const int ready = poll(&fd, 1, listener ? std::min(left, 100) : left);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

/// The connection as the request parser sees it: reads end at the deadline or the byte budget.
class BoundedStream : public httplib::Stream {
public:
    BoundedStream(socket_t sock, const std::atomic<socket_t>& listener, Clock::time_point readDeadline,
                  Clock::time_point writeDeadline, std::size_t budget)
        : sock_(sock), listener_(listener), readDeadline_(readDeadline), writeDeadline_(writeDeadline), budget_(budget)
    {
    }

    // A request still to come is not waited for once the server stops; a reply being sent is.
    bool is_readable() const override { return begin_ < end_ || waitFor(sock_, POLLIN, readDeadline_, &listener_); }
    bool is_writable() const override { return waitFor(sock_, POLLOUT, writeDeadline_); }

    ssize_t read(char* ptr, size_t size) override
    {
        if (begin_ == end_) {
            if (budget_ == 0 || !is_readable())
                return -1;
            ssize_t got;
            do {
                got = recv(sock_, buffer_, std::min(sizeof buffer_, budget_), 0);
            } while (got < 0 && errno == EINTR);
            if (got <= 0)
                return got;
            budget_ -= static_cast<std::size_t>(got);
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
        }
        const std::size_t n = std::min(size, end_ - begin_);
        std::memcpy(ptr, buffer_ + begin_, n);
        begin_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override
    {
        if (!is_writable())
            return -1;
        ssize_t sent;
        do {
            sent = send(sock_, ptr, size, MSG_NOSIGNAL);
        } while (sent < 0 && errno == EINTR);
        return sent;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, false, ip, port); }
    socket_t socket() const override { return sock_; }

private:
    socket_t sock_;
    const std::atomic<socket_t>& listener_;
    Clock::time_point readDeadline_;
    Clock::time_point writeDeadline_;
    std::size_t budget_;
    char buffer_[4096];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

} // namespace

BoundedServer::BoundedServer(ConnectionLimits limits) : limits_(limits)
{
#ifdef __GLIBC__
    // Request bodies and replies of megabytes are allocated on the workers' threads. Left to
    // itself, glibc raises its mmap threshold past them once one is freed and from then on
    // keeps such blocks in each thread's arena: a few large requests, and every worker holds
    // megabytes it never returns. Fixed, blocks from 1 MiB go back to the system when freed.
    static std::once_flag fixed;
    std::call_once(fixed, [] { mallopt(M_MMAP_THRESHOLD, 1 << 20); });
#endif
    const std::size_t workers = limits_.workers;
    new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    set_payload_max_length(limits_.maxBodyBytes);
    const std::size_t maxBody = limits_.maxBodyBytes;
    // Refused before the body is read: the pre-routing handler runs between headers and body.
    set_pre_routing_handler([maxBody](const httplib::Request& request, httplib::Response& response) {
        const int status = refusalStatus(request, maxBody);
        if (status == 0)
            return HandlerResponse::Unhandled;
        response.status = status;
        response.set_content(refusalText(status), "text/plain");
        return HandlerResponse::Handled;
    });
    // A client that waits for "100 Continue" learns the refusal instead.
    set_expect_100_continue_handler([maxBody](const httplib::Request& request, httplib::Response&) {
        const int status = refusalStatus(request, maxBody);
        return status == 0 ? 100 : status;
    });
}

void BoundedServer::widenBacklog()
{
    ::listen(svr_sock_, SOMAXCONN);
}

int BoundedServer::refusalStatus(const httplib::Request& request, std::size_t maxBodyBytes)
{
    static const char* const withBody[] = {"POST", "PUT", "PATCH", "DELETE", "PRI"};
    if (std::none_of(std::begin(withBody), std::end(withBody), [&](const char* m) { return request.method == m; }))
        return 0;
    // Without a length the body would be read until the client stops sending.
    if (request.has_header("Transfer-Encoding") || !request.has_header("Content-Length"))
        return 411;
    const std::string length = request.get_header_value("Content-Length");
    if (length.empty() || length.size() > 19 || length.find_first_not_of("0123456789") != std::string::npos)
        return 400;
    if (std::stoull(length) > maxBodyBytes)
        return 413;
    const std::string encoding = request.get_header_value("Content-Encoding");
    if (request.has_header("Content-Encoding") && !equalsIgnoringCase(encoding, "identity"))
        return 415;
    return 0;
}

bool BoundedServer::process_and_close_socket(socket_t sock)
{
    const auto start = Clock::now();
    const auto readDeadline = start + limits_.requestTime;
    BoundedStream stream(sock, svr_sock_, readDeadline, readDeadline + limits_.replyTime,
                         limits_.maxHeaderBytes + limits_.maxBodyBytes);
    bool closed = true;
    const bool served = process_request(stream, /*close_connection=*/true, closed, nullptr);

    // A refused request may leave body bytes unread; closing on them would reset the
    // connection before the client reads the answer. Drain a little, briefly, then close.
    shutdown(sock, SHUT_WR);
    const auto drainDeadline = Clock::now() + std::chrono::milliseconds(500);
    char sink[16384];
    std::size_t drained = 0;
    while (drained < (std::size_t(1) << 20) && waitFor(sock, POLLIN, drainDeadline)) {
        const ssize_t got = recv(sock, sink, sizeof sink, 0);
        if (got <= 0)
            break;
        drained += static_cast<std::size_t>(got);
    }
    close(sock);
    return served;
}

} // namespace palletry_service
