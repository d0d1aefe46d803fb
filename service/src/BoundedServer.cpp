#include "BoundedServer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
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

/// The connection as the request parser sees it: what was received before a worker took it,
/// then the socket; reads end at the deadline or the byte budget.
class BoundedStream : public httplib::Stream {
public:
    BoundedStream(socket_t sock, const std::atomic<socket_t>& listener, Clock::time_point readDeadline,
                  Clock::time_point writeDeadline, std::size_t budget, std::string received)
        : sock_(sock), listener_(listener), readDeadline_(readDeadline), writeDeadline_(writeDeadline),
          budget_(budget - std::min(budget, received.size())), buffer_(std::move(received))
    {
    }

    // A request still to come is not waited for once the server stops; a reply being sent is.
    bool is_readable() const override
    {
        return begin_ < buffer_.size() || waitFor(sock_, POLLIN, readDeadline_, &listener_);
    }
    bool is_writable() const override { return waitFor(sock_, POLLOUT, writeDeadline_); }

    ssize_t read(char* ptr, size_t size) override
    {
        if (begin_ == buffer_.size()) {
            if (budget_ == 0 || !is_readable())
                return -1;
            buffer_.resize(std::min<std::size_t>(4096, budget_));
            begin_ = 0;
            ssize_t got;
            do {
                got = recv(sock_, &buffer_[0], buffer_.size(), 0);
            } while (got < 0 && errno == EINTR);
            buffer_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            if (got <= 0)
                return got;
            budget_ -= static_cast<std::size_t>(got);
        }
        const std::size_t n = std::min(size, buffer_.size() - begin_);
        std::memcpy(ptr, buffer_.data() + begin_, n);
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
    std::string buffer_;
    std::size_t begin_ = 0;
};

/// Answers a connection that cannot be served in its time, without waiting for the client.
void shed(socket_t sock)
{
    static const std::string text = "The service is busy; try again.\n";
    static const std::string reply = "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\nContent-Length: "
                                     + std::to_string(text.size()) + "\r\nConnection: close\r\n\r\n" + text;
    send(sock, reply.data(), reply.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    close(sock);
}

// The body that is read while the connection waits for a worker; a larger one is read by a worker.
constexpr std::size_t SmallBody = std::size_t(64) << 10;

enum class Progress { Arriving, Whole, BodyToRead };

bool hasHeader(const std::string& lowerHead, const char* name)
{
    return lowerHead.find(std::string("\r\n") + name + ":") != std::string::npos;
}

// How far the request in @p received has come. A head the parser will refuse counts as whole;
// what outgrows the waiting room's share is left to a worker.
Progress progressOf(const std::string& received, std::size_t maxHeaderBytes)
{
    if (received.size() >= maxHeaderBytes + SmallBody)
        return Progress::BodyToRead;
    const auto headEnd = received.find("\r\n\r\n");
    if (headEnd == std::string::npos)
        return received.size() >= maxHeaderBytes ? Progress::Whole : Progress::Arriving;
    std::string head = received.substr(0, headEnd + 2);
    for (char& c : head)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The client may wait for "100 Continue", or the parser refuse the body unread: its call.
    if (hasHeader(head, "expect") || hasHeader(head, "content-encoding"))
        return Progress::BodyToRead;
    const auto length = head.find("\r\ncontent-length:");
    if (length == std::string::npos || hasHeader(head, "transfer-encoding"))
        return Progress::Whole;
    // Unreadable digits read as 0: the parser refuses that head without waiting for a body.
    const unsigned long long bytes = std::strtoull(head.c_str() + length + 17, nullptr, 10);
    if (bytes > SmallBody)
        return Progress::BodyToRead;
    return received.size() - (headEnd + 4) >= bytes ? Progress::Whole : Progress::Arriving;
}

} // namespace

/**
 * The accept loop's task queue. The loop hands each accepted connection over at once; one
 * thread reads the requests as they arrive, and the workers serve those that have arrived.
 */
class BoundedServer::Admission : public httplib::TaskQueue {
public:
    explicit Admission(BoundedServer& server)
        : server_(server), limits_(server.limits_),
          bodyReaders_(std::max<std::size_t>(1, limits_.workers - limits_.workers / 4))
    {
        if (pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0)
            throw std::runtime_error("cannot create a pipe");
        watcher_ = std::thread([this] { watch(); });
        for (std::size_t i = 0; i < std::max<std::size_t>(1, limits_.workers); ++i)
            workers_.emplace_back([this] { work(); });
    }
    ~Admission() override
    {
        shutdown();
        close(wake_[0]);
        close(wake_[1]);
    }

    // The accept loop's call: it runs process_and_close_socket, which only admits.
    void enqueue(std::function<void()> fn) override { fn(); }

    void shutdown() override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        wake();
        if (watcher_.joinable())
            watcher_.join();
        for (std::thread& worker : workers_)
            if (worker.joinable())
                worker.join();
        for (auto* queue : {&incoming_, &whole_, &bodies_}) {
            for (Arrival& arrival : *queue)
                close(arrival.sock);
            queue->clear();
        }
    }

    void admit(socket_t sock)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            incoming_.push_back({sock, Clock::now() + limits_.requestTime, {}});
        }
        wake();
    }

private:
    void wake()
    {
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
    }

    // Reads what arrives on every connection still waiting for its request; hands over
    // those whose request has come, sheds those out of time and the oldest beyond the limit.
    void watch()
    {
        std::vector<Arrival> waiting;
        std::vector<pollfd> fds;
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (stopping_)
                    break;
                for (Arrival& arrival : incoming_)
                    waiting.push_back(std::move(arrival));
                incoming_.clear();
            }
            const auto now = Clock::now();
            std::size_t excess = waiting.size() > limits_.maxWaiting ? waiting.size() - limits_.maxWaiting : 0;
            std::vector<Arrival> kept;
            for (Arrival& arrival : waiting) {
                if (excess > 0 || arrival.deadline <= now) {
                    shed(arrival.sock);
                    excess -= excess > 0;
                } else {
                    kept.push_back(std::move(arrival));
                }
            }
            waiting.swap(kept);

            fds.assign(1, pollfd{wake_[0], POLLIN, 0});
            auto next = now + std::chrono::milliseconds(100);
            for (const Arrival& arrival : waiting) {
                fds.push_back({arrival.sock, POLLIN, 0});
                next = std::min(next, arrival.deadline);
            }
            if (poll(fds.data(), fds.size(), msLeft(next)) <= 0)
                continue;
            char sink[64];
            while (fds[0].revents && ::read(wake_[0], sink, sizeof sink) > 0) {
            }

            kept.clear();
            for (std::size_t i = 0; i < waiting.size(); ++i) {
                Arrival& arrival = waiting[i];
                if (fds[i + 1].revents == 0) {
                    kept.push_back(std::move(arrival));
                    continue;
                }
                char buffer[16384];
                const std::size_t room = limits_.maxHeaderBytes + SmallBody - arrival.received.size();
                const ssize_t got = recv(arrival.sock, buffer, std::min(sizeof buffer, room), MSG_DONTWAIT);
                if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                    close(arrival.sock); // the client gave up
                    continue;
                }
                if (got > 0)
                    arrival.received.append(buffer, static_cast<std::size_t>(got));
                const Progress progress = progressOf(arrival.received, limits_.maxHeaderBytes);
                if (progress == Progress::Arriving) {
                    kept.push_back(std::move(arrival));
                    continue;
                }
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    (progress == Progress::Whole ? whole_ : bodies_).push_back(std::move(arrival));
                }
                ready_.notify_one();
            }
            waiting.swap(kept);
        }
        for (Arrival& arrival : waiting)
            close(arrival.sock);
    }

    // Serves requests that have arrived, oldest first; a body still to read only while
    // other workers stay free for those.
    void work()
    {
        for (;;) {
            Arrival arrival;
            bool readsBody = false;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [&] { return stopping_ || !whole_.empty() || (!bodies_.empty() && bodyReaders_ > 0); });
                if (stopping_)
                    return;
                readsBody = whole_.empty();
                std::deque<Arrival>& queue = readsBody ? bodies_ : whole_;
                arrival = std::move(queue.front());
                queue.pop_front();
                bodyReaders_ -= readsBody;
            }
            if (Clock::now() >= arrival.deadline)
                shed(arrival.sock);
            else
                server_.serve(std::move(arrival));
            if (readsBody) {
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    ++bodyReaders_;
                }
                ready_.notify_one();
            }
        }
    }

    BoundedServer& server_;
    const ConnectionLimits limits_;
    int wake_[2] = {-1, -1};
    std::mutex mutex_;
    std::condition_variable ready_;
    bool stopping_ = false;
    std::size_t bodyReaders_; // workers that may still take a body to read
    std::deque<Arrival> incoming_;
    std::deque<Arrival> whole_;
    std::deque<Arrival> bodies_;
    std::thread watcher_;
    std::vector<std::thread> workers_;
};

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
    new_task_queue = [this] { return admission_ = new Admission(*this); };
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
    admission_->admit(sock);
    return true;
}

void BoundedServer::serve(Arrival arrival)
{
    const socket_t sock = arrival.sock;
    BoundedStream stream(sock, svr_sock_, arrival.deadline, arrival.deadline + limits_.replyTime,
                         limits_.maxHeaderBytes + limits_.maxBodyBytes, std::move(arrival.received));
    bool closed = true;
    process_request(stream, /*close_connection=*/true, closed, nullptr);

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
}

} // namespace palletry_service
