#include "palletry_service/ReferenceService.h"

#include "BoundedServer.h"
#include "DemoData.h"
#include "LoadDatabase.h"
#include "ServiceDispatcher.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

namespace palletry_service {

struct ReferenceService::Private {
    explicit Private(const Options& options)
        : requestTime(options.requestTime), record(options.record), database(options.dbPath),
          dispatcher(database, databaseMutex)
    {
        if (!database.isEmpty())
            return; // a database file that already holds data is served as it is
        if (options.vendors > 0 || options.orders > 0 || options.lines > 0)
            DemoData::seedBig(database, options.vendors, options.orders, options.lines);
        else if (options.demoData)
            DemoData::seedDemo(database);
    }

    void remember(RecordedRequest request)
    {
        if (record.maxRequests == 0)
            return;
        std::lock_guard<std::mutex> lock(requestsMutex);
        requestBytes += request.body.size();
        requests.push_back(std::move(request));
        while (requests.size() > 1
               && (requests.size() > record.maxRequests || requestBytes > record.maxBodyBytes)) {
            requestBytes -= requests.front().body.size();
            requests.pop_front();
        }
    }

    std::chrono::milliseconds requestTime;
    RequestRecord record;
    mutable std::mutex databaseMutex; // SQLite is used from the server's pool threads
    LoadDatabase database;
    ServiceDispatcher dispatcher;

    mutable std::mutex requestsMutex;
    std::deque<RecordedRequest> requests;
    std::size_t requestBytes = 0; // of the bodies in requests

    std::mutex lifeMutex; // start and stop
    std::unique_ptr<BoundedServer> server;
    std::thread thread;
    std::uint16_t port = 0;
};

ReferenceService::ReferenceService(Options options) : d(std::make_unique<Private>(options)) {}

ReferenceService::~ReferenceService()
{
    stop();
}

bool ReferenceService::start(std::uint16_t port)
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    if (d->server)
        return false;
    ConnectionLimits limits;
    limits.requestTime = d->requestTime;
    auto server = std::make_unique<BoundedServer>(limits);
    // SO_REUSEADDR only: the library's default adds SO_REUSEPORT, with which a second
    // instance would silently share a taken port.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->Post(ServicePath, [this](const httplib::Request& request, httplib::Response& response) {
        const std::string action = request.get_header_value("SOAPAction");
        ServiceReply reply = d->dispatcher.handle(action, request.body);
        // Recorded before the reply goes out, so a client that has its answer sees it.
        d->remember({action, request.body, reply.status});
        response.status = reply.status;
        response.body = std::move(reply.body);
        response.set_header("Content-Type", "text/xml; charset=utf-8");
    });

    int bound = 0;
    if (port == 0) {
        bound = server->bind_to_any_port("127.0.0.1");
    } else if (server->bind_to_port("127.0.0.1", port)) {
        bound = port;
    }
    if (bound <= 0)
        return false;
    server->widenBacklog();
    // The socket listens once bound; connections wait in its backlog until the thread accepts.
    BoundedServer* raw = server.get();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    d->thread = std::thread([raw, ended] {
        raw->listen_after_bind();
        *ended = true;
    });
    // Wait until the accept loop runs: a stop() before that would not reach it and the
    // loop would never end.
    while (!raw->is_running() && !*ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (*ended) {
        d->thread.join();
        return false;
    }
    d->server = std::move(server);
    d->port = static_cast<std::uint16_t>(bound);
    return true;
}

void ReferenceService::stop()
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    if (!d->server)
        return;
    d->server->stop();
    if (d->thread.joinable())
        d->thread.join();
    d->server.reset();
    d->port = 0;
}

bool ReferenceService::isRunning() const
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    return d->server != nullptr;
}

std::uint16_t ReferenceService::port() const
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    return d->port;
}

std::string ReferenceService::serverName() const
{
    return "http://127.0.0.1:" + std::to_string(port());
}

std::string ReferenceService::url() const
{
    return serverName() + ServicePath;
}

std::int32_t ReferenceService::demoLoadId() const
{
    std::lock_guard<std::mutex> lock(d->databaseMutex);
    return d->database.demoLoadId();
}

std::int32_t ReferenceService::emptyLoadId() const
{
    std::lock_guard<std::mutex> lock(d->databaseMutex);
    return d->database.emptyLoadId();
}

std::vector<RecordedRequest> ReferenceService::requests() const
{
    std::lock_guard<std::mutex> lock(d->requestsMutex);
    return {d->requests.begin(), d->requests.end()};
}

void ReferenceService::clearRequests()
{
    std::lock_guard<std::mutex> lock(d->requestsMutex);
    d->requests.clear();
    d->requestBytes = 0;
}

QueryRows ReferenceService::query(const std::string& sql) const
{
    std::lock_guard<std::mutex> lock(d->databaseMutex);
    return d->database.query(sql);
}

} // namespace palletry_service
