#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace palletry::test {
namespace {

constexpr int pollSliceMs = 50;

int listenOnLoopback(quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

} // namespace

std::string RecordedRequest::header(const std::string& name) const
{
    const std::size_t headEnd = raw.find("\r\n\r\n");
    for (std::size_t pos = raw.find("\r\n"); pos < headEnd; pos = raw.find("\r\n", pos + 2)) {
        const char* line = raw.c_str() + pos + 2;
        if (::strncasecmp(line, name.c_str(), name.size()) == 0 && line[name.size()] == ':') {
            const std::size_t from = raw.find_first_not_of(" \t", pos + 3 + name.size());
            return raw.substr(from, raw.find("\r\n", from) - from);
        }
    }
    return {};
}

CannedReply CannedReply::xml(std::string body, int status, std::string reason)
{
    return {status, std::move(reason), {{"Content-Type", "text/xml; charset=utf-8"}}, std::move(body)};
}

CannedReply CannedReply::html(std::string body, int status, std::string reason)
{
    return {status, std::move(reason), {{"Content-Type", "text/html; charset=utf-8"}}, std::move(body)};
}

CannedReply CannedReply::silent()
{
    CannedReply reply;
    reply.neverAnswer = true;
    return reply;
}

LoopbackHttpServer::LoopbackHttpServer()
{
    m_listener = listenOnLoopback(&m_port);
    m_thread = std::thread([this] { run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

quint16 LoopbackHttpServer::unusedPort()
{
    quint16 port = 0;
    ::close(listenOnLoopback(&port)); // nothing listens there any more: connections are refused
    return port;
}

void LoopbackHttpServer::run()
{
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, pollSliceMs) <= 0)
            continue;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        serve(connection);
        ::close(connection);
    }
}

void LoopbackHttpServer::serve(int connection)
{
    // Read until the head is complete, then as many body bytes as Content-Length says.
    RecordedRequest request;
    std::string& data = request.raw;
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = 0;
    char buffer[65536];
    while (headEnd == std::string::npos || data.size() < headEnd + 4 + wanted) {
        pollfd p{connection, POLLIN, 0};
        const int ready = ::poll(&p, 1, pollSliceMs);
        if (m_stop)
            return;
        if (ready <= 0)
            continue;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        data.append(buffer, std::size_t(n));
        if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
            const std::string length = request.header("Content-Length");
            wanted = length.empty() ? 0 : std::stoul(length);
        }
    }
    request.body = data.substr(headEnd + 4, wanted);
    std::function<CannedReply(const RecordedRequest&)> handler;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        handler = m_handler;
    }
    const CannedReply reply = handler ? handler(request) : CannedReply();
    // A silent reply holds the connection without a word until the client hangs up or the server stops.
    while (reply.neverAnswer && !m_stop) {
        pollfd p{connection, POLLIN, 0};
        if (::poll(&p, 1, pollSliceMs) > 0 && ::recv(connection, buffer, sizeof buffer, 0) <= 0)
            return;
    }
    if (reply.neverAnswer)
        return;
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + ' ' + reply.reason + "\r\n";
    for (const auto& h : reply.headers)
        out += h.first + ": " + h.second + "\r\n";
    if (!reply.omitContentLength)
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n" + reply.body;
    for (std::size_t sent = 0; sent < out.size();) {
        const ssize_t n = ::send(connection, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += std::size_t(n);
    }
    ::shutdown(connection, SHUT_WR);
}

} // namespace palletry::test
